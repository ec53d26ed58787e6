// Code taking the address of code: an absolute reference from code to code.
extern "C" int Target(int a) { return a * 2; }
extern "C" void* TargetAddress() { return reinterpret_cast<void*>(&Target); }
