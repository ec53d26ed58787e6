// The tagged allocator; see tagged_alloc.h. The header is two words: the
// size, then the marker. A released block's first word becomes the free-list
// link of the small-block heap, so the marker is the word that survives.
#include "objects/tagged_alloc.h"

#include <cstring>

#include "objects/small_heap.h"

namespace {

struct TagHeader {
  uint32_t size;
  uint32_t marker;
};
static_assert(sizeof(TagHeader) == 8);

TagHeader* HeaderOf(const void* block) {
  return reinterpret_cast<TagHeader*>(const_cast<uint8_t*>(static_cast<const uint8_t*>(block)) -
                                      sizeof(TagHeader));
}

uint32_t TotalBytes(uint32_t size) {
  return size > UINT32_MAX - sizeof(TagHeader) ? UINT32_MAX : size + sizeof(TagHeader);
}

}  // namespace

void* TaggedAlloc(uint32_t bytes) {
  auto* header = static_cast<TagHeader*>(SmallBlockAlloc(TotalBytes(bytes)));
  header->size = bytes;
  header->marker = kTagLive;
  void* block = header + 1;
  memset(block, 0, bytes);
  return block;
}

bool TaggedIsLive(const void* block) { return block && HeaderOf(block)->marker == kTagLive; }

void TaggedFree(void* block) {
  if (!TaggedIsLive(block)) return;
  TagHeader* header = HeaderOf(block);
  header->marker = kTagReleased;
  SmallBlockFree(header, TotalBytes(header->size));
}

uint32_t TaggedSize(const void* block) { return TaggedIsLive(block) ? HeaderOf(block)->size : 0; }

void* TaggedResize(void* block, uint32_t bytes) {
  void* grown = TaggedAlloc(bytes);
  uint32_t old = TaggedSize(block);
  if (old) memcpy(grown, block, old < bytes ? old : bytes);
  TaggedFree(block);
  return grown;
}
