// A program that runs out of memory at once: the heap must tell the user and
// end the program with status 1 rather than hand back a null block.
#include <windows.h>

#include "objects/small_heap.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  InitAllocatorLock();
  void* block = SmallBlockAlloc(0xFFFFFFF0u);
  return block ? 2 : 3;  // not reached when out-of-memory handling works
}
