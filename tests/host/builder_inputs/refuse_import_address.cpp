extern "C" int StringLen(const char* s);
extern "C" void* LenAddress() { return reinterpret_cast<void*>(&StringLen); }
