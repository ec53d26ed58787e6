// Storage for the start-up globals; see process_globals.h.
#include "objects/process_globals.h"

HINSTANCE gModuleHandle = nullptr;
uint8_t* gCodeBase = nullptr;
uint32_t gCodeLength = 0;
uint8_t* gDataBase = nullptr;
uint32_t gDataLength = 0;
uint32_t gArchiveOffset = 0;
uint32_t gStartTicks = 0;
uintptr_t gStackLimit = 0;
