// The other half of a call between objects; its own call to StringLen
// joins the chain of the sites in calls_main.cpp.
extern "C" int StringLen(const char* s);
extern "C" int Callee(int a) { return StringLen("callee") + a; }
