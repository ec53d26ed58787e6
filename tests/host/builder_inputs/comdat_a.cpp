#include "comdat_shared.h"
extern "C" int FirstUser(int a) { return SharedInline(a) + Counter<int>::value; }
