// The tick counters compiled code reads for timing. Ticks count from the
// runtime's start so that they stay small and positive however long Windows
// has been running; the unsigned subtraction carries them across the tick
// count's wrap after 49.7 days.
#include <windows.h>

#include <cstdint>

#include "objects/process_globals.h"
#include "sdk/vellory.h"

extern "C" int32_t RuntimeTicks() {
  uint32_t elapsed = GetTickCount() - gStartTicks;
  return static_cast<int32_t>(elapsed / kTickMs);
}

extern "C" double RuntimeMicroseconds() { return GetTickCount() * 1000.0; }
