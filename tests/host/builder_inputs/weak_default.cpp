// A weak function with its default body, and a caller.
extern "C" __attribute__((weak)) int Hook(int a) { return a + 100; }
extern "C" int CallsHook(int a) { return Hook(a) * 2; }
