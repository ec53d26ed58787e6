// Storage for the start-up globals; see process_globals.h.
#include "startup/process_globals.h"

HINSTANCE gModuleHandle = nullptr;
uint8_t* gCodeBase = nullptr;
uint8_t* gDataBase = nullptr;
uint32_t gArchiveOffset = 0;
