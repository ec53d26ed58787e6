// A library import whose name does not fit the import record's length byte.
#define TEN "abcdefghij"
#define HUNDRED TEN TEN TEN TEN TEN TEN TEN TEN TEN TEN
extern "C" int Long(int a) __asm__("\"!Xlib!" HUNDRED HUNDRED HUNDRED "\"");
extern "C" int UsesLong() { return Long(1) + 1; }
