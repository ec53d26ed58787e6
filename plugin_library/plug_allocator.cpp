// A private heap behind one critical section: every allocation and release of
// the library passes the same lock.
#include "plugin_library/plug_allocator.h"

#include <windows.h>

namespace {
CRITICAL_SECTION g_lock;
HANDLE g_heap = nullptr;
bool g_ready = false;
}  // namespace

void InitPlugAllocator() {
  if (g_ready) return;
  InitializeCriticalSection(&g_lock);
  g_heap = HeapCreate(0, 0, 0);
  g_ready = true;
}

void ClosePlugAllocator() {
  if (!g_ready) return;
  g_ready = false;
  if (g_heap) HeapDestroy(g_heap);
  g_heap = nullptr;
  DeleteCriticalSection(&g_lock);
}

void* PlugAlloc(size_t size) {
  if (!g_ready || !g_heap) return nullptr;
  EnterCriticalSection(&g_lock);
  void* block = HeapAlloc(g_heap, HEAP_ZERO_MEMORY, size);
  LeaveCriticalSection(&g_lock);
  return block;
}

void PlugFree(void* block) {
  if (!block || !g_ready) return;
  EnterCriticalSection(&g_lock);
  HeapFree(g_heap, 0, block);
  LeaveCriticalSection(&g_lock);
}
