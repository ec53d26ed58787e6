// The library's own memory (menu rows, receiver nodes). One allocator for
// all of it, serialised by a critical section, so that a control routine
// running on another thread never races the user-interface thread's lists.
#pragma once
#include <stddef.h>

// Made once when the library is attached to the process.
void InitPlugAllocator();
void ClosePlugAllocator();

// Zero-filled block of `size` bytes, or null when memory is exhausted.
void* PlugAlloc(size_t size);
// Frees a block from PlugAlloc; null is ignored.
void PlugFree(void* block);
