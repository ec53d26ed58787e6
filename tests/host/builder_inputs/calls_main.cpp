// Calls between application functions and to imports: several sites of one
// import, a tail call, a library import, and two static functions in a
// section of their own, reached through that section's symbol plus an
// offset (their addresses also sit in a table in data).
extern "C" int StringLen(const char* s);
extern "C" int StringMid2(const char* s, int from);
extern "C" int __stdcall MessageBoxA(void* owner, const char* text, const char* title,
                                     unsigned flags) __asm__("\"!Xuser32!MessageBoxA\"");
extern "C" int Callee(int a);

extern "C" int CallsCallee(int a) { return Callee(a) * 3; }
extern "C" int ThreeLens(const char* a, const char* b, const char* c) {
  return StringLen(a) * StringLen(b) - StringLen(c);
}
extern "C" int TailMid(const char* s, int from) { return StringMid2(s, from + 1); }
extern "C" int Ask(const char* text) { return MessageBoxA(0, text, "Vellory", 0) + 2; }

__attribute__((section(".text$later"), noinline)) static int Later1(int a) { return a * 7 + 1; }
__attribute__((section(".text$later"), noinline)) static int Later2(int a) { return a * 11 + 2; }
extern "C" int CallsLater(int a) { return Later2(a) - Later1(a + 1); }
extern "C" int (*const laterTable[2])(int) = {&Later1, &Later2};
