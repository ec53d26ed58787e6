// The window-program entry of the runtime.
#pragma once
#include <windows.h>

// Stores the module handle, initialises the common controls and the allocator
// lock, then loads and runs the application image. Returns the process exit
// status: 0 after a normal run, 1 when the image could not be loaded. The
// command line and show state are not used.
int RuntimeWinMain(HINSTANCE module, HINSTANCE, LPSTR commandLine, int showCommand);
