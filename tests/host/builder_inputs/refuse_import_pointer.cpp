extern "C" int StringLen(const char* s);
extern "C" int (*const lenPointer)(const char*) = &StringLen;
