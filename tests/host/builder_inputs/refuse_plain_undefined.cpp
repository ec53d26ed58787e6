// A call to an assembler name that is neither a C name nor an import.
extern "C" int Plain(int a) __asm__("plain_symbol");
extern "C" int UsesPlain() { return Plain(4) + 1; }
