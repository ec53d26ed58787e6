#include "comdat_shared.h"
extern "C" int SecondUser(int a) { return SharedInline(a * 2) - Counter<int>::value; }
