// The process-wide values fixed during start-up and read by the rest of the
// runtime for the life of the process.
#pragma once
#include <windows.h>

#include <cstdint>

extern HINSTANCE gModuleHandle;  // the program file's own module
extern uint8_t* gCodeBase;       // the linked code block, executed in place
extern uint32_t gCodeLength;
extern uint8_t* gDataBase;       // the relocated data block
extern uint32_t gDataLength;
extern uint32_t gArchiveOffset;  // resource archive in the program file; 0 = data3.dat
extern uint32_t gStartTicks;     // GetTickCount when the runtime was initialised
extern uintptr_t gStackLimit;    // the stack check's limit