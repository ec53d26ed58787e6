// ReportOutOfMemory; see out_of_memory.h. It must not allocate from the
// runtime's heap, which is what just failed.
#include "objects/out_of_memory.h"

#include <windows.h>

#include "objects/fatal_hooks.h"

void ReportOutOfMemory() {
  ShowFatalMessage(kOutOfMemoryMessage);
  ExitProcess(1);
}
