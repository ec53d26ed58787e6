// A call to a runtime name the runtime does not offer.
extern "C" int StringFoo(const char* s);
extern "C" int UsesFoo() { return StringFoo("x") + 1; }
