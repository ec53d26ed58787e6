// A strong definition that replaces the weak default of weak_default.cpp.
extern "C" int Hook(int a) { return a + 200; }
