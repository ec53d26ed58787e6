// The small-block heap: every object, string and runtime record comes from
// here. Sizes are rounded up to 4-byte words; blocks of fewer than 64 words
// come from per-size free lists fed by 8,192-byte chunks, larger ones straight
// from the process heap. Callers give the size back when they free a block.
// One critical section (the allocator lock) guards it all.
#pragma once
#include <cstdint>

// Creates the allocator lock. The window-program entry calls it before
// anything allocates; calling it again does nothing.
void InitAllocatorLock();

// A block of at least `bytes` bytes (0 gives one word). Never null: when
// memory runs out the program tells the user and ends.
void* SmallBlockAlloc(uint32_t bytes);

// Returns a block; `bytes` must be the size it was taken with. Null is ignored.
void SmallBlockFree(void* block, uint32_t bytes);

// Bytes currently handed out, counted in whole words.
uint32_t SmallBlockBytesInUse();

// Sizes below this many words are served from the free lists.
inline constexpr uint32_t kSmallBlockWords = 64;
inline constexpr uint32_t kSmallChunkBytes = 8192;
