// An import spelled in another case than the runtime lists it.
extern "C" int stringlen(const char* s);
extern "C" int LowerCaseCall(const char* s) { return stringlen(s) + 5; }
