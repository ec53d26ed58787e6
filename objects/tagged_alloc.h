// The tagged allocator, for runtime records whose size the owner does not
// keep: each block carries its size and a marker word ahead of the caller's
// bytes, 0xDEADBEEF while live and 0xDEADDEAD once released, so a block freed
// twice or a pointer that never came from here is recognised and left alone.
#pragma once
#include <cstdint>

inline constexpr uint32_t kTagLive = 0xDEADBEEFu;
inline constexpr uint32_t kTagReleased = 0xDEADDEADu;

// A block of `bytes` bytes, zero-filled. Never null (see SmallBlockAlloc).
void* TaggedAlloc(uint32_t bytes);

// Releases a block from TaggedAlloc. Null, a released block or a block
// without the live marker is ignored.
void TaggedFree(void* block);

// The size the block was allocated with; 0 for null or a block not live.
uint32_t TaggedSize(const void* block);

// A block of `bytes` bytes holding the old block's bytes (the rest zero);
// the old block is released. Null behaves as TaggedAlloc.
void* TaggedResize(void* block, uint32_t bytes);

// True when `block` is live memory from TaggedAlloc.
bool TaggedIsLive(const void* block);
