// The small-block heap; see small_heap.h. A free block's first word links it
// to the next free block of its size. Chunks are never returned to the
// process heap: the lists only grow to the program's largest working set.
#include "objects/small_heap.h"

#include <windows.h>

#include "objects/out_of_memory.h"

namespace {

struct FreeBlock {
  FreeBlock* next;
};

CRITICAL_SECTION gAllocatorLock;
bool gLockReady = false;
FreeBlock* gFreeLists[kSmallBlockWords] = {};
uint32_t gBytesInUse = 0;

class AllocatorLock {
 public:
  AllocatorLock() { EnterCriticalSection(&gAllocatorLock); }
  ~AllocatorLock() { LeaveCriticalSection(&gAllocatorLock); }
};

uint32_t WordsFor(uint32_t bytes) {
  uint32_t words = static_cast<uint32_t>((uint64_t{bytes} + 3) / 4);
  return words ? words : 1;
}

// Cuts a fresh chunk into blocks of `words` words and puts them on the list.
bool Refill(uint32_t words) {
  auto* chunk = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, kSmallChunkBytes));
  if (!chunk) return false;
  uint32_t size = words * 4;
  for (uint32_t at = 0; at + size <= kSmallChunkBytes; at += size) {
    auto* block = reinterpret_cast<FreeBlock*>(chunk + at);
    block->next = gFreeLists[words];
    gFreeLists[words] = block;
  }
  return true;
}

void* TakeSmall(uint32_t words) {
  if (!gFreeLists[words] && !Refill(words)) return nullptr;
  FreeBlock* block = gFreeLists[words];
  gFreeLists[words] = block->next;
  return block;
}

}  // namespace

void InitAllocatorLock() {
  if (gLockReady) return;
  InitializeCriticalSection(&gAllocatorLock);
  gLockReady = true;
}

void* SmallBlockAlloc(uint32_t bytes) {
  uint32_t words = WordsFor(bytes);
  void* block;
  {
    AllocatorLock lock;
    block = words < kSmallBlockWords ? TakeSmall(words)
                                     : HeapAlloc(GetProcessHeap(), 0, SIZE_T{words} * 4);
    if (block) gBytesInUse += words * 4;
  }
  if (!block) ReportOutOfMemory();
  return block;
}

void SmallBlockFree(void* block, uint32_t bytes) {
  if (!block) return;
  uint32_t words = WordsFor(bytes);
  AllocatorLock lock;
  gBytesInUse -= words * 4;
  if (words >= kSmallBlockWords) {
    HeapFree(GetProcessHeap(), 0, block);
    return;
  }
  auto* freed = static_cast<FreeBlock*>(block);
  freed->next = gFreeLists[words];
  gFreeLists[words] = freed;
}

uint32_t SmallBlockBytesInUse() {
  AllocatorLock lock;
  return gBytesInUse;
}
