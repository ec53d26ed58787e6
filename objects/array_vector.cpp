// The storage under every array: vectors of slots in tagged blocks, and the
// trees of them that arrays of more dimensions build. Slots past count are
// kept zero so that any growth, whether by resizing or by reusing capacity
// left after a removal, exposes only empty values and never a reference
// that was already released.
#include <cstring>

#include "objects/arrays.h"
#include "objects/objects.h"
#include "objects/out_of_memory.h"
#include "objects/strings.h"
#include "objects/tagged_alloc.h"

namespace {

// Beyond this a block's size no longer fits the allocator's 32-bit sizes
// with room for its header.
constexpr uint64_t kMaxVectorBytes = 0x7FFFFFF0u;

uint32_t BlockBytes(int64_t slots, uint32_t slotSize) {
  uint64_t bytes = static_cast<uint64_t>(slots) * slotSize;
  if (bytes > kMaxVectorBytes) ReportOutOfMemory();
  return static_cast<uint32_t>(bytes);
}

// Unlocks a string or object taken out of a slot. A destructor may run and
// use the array again, so callers clear the slot before calling this.
void ReleaseValue(void* word, SlotKind kind) {
  if (kind == SlotKind::kString) RuntimeUnlockString(static_cast<StringRecord*>(word));
  if (kind == SlotKind::kObject) RuntimeUnlockObject(static_cast<ObjectRecord*>(word));
}

}  // namespace

void ResizeVector(ArrayVector& v, int64_t slots) {
  if (slots < 0) slots = 0;
  uint32_t bytes = BlockBytes(slots, v.slotSize);
  uint32_t keep = v.count < slots ? v.count : static_cast<uint32_t>(slots);
  if (bytes == 0) {
    TaggedFree(v.data);
    v.data = nullptr;
  } else {
    uint8_t* block = static_cast<uint8_t*>(TaggedAlloc(bytes));
    if (v.data) memcpy(block, v.data, keep * v.slotSize);
    TaggedFree(v.data);
    v.data = block;
  }
  v.count = v.capacity = static_cast<uint32_t>(slots);
}

void GrowVector(ArrayVector& v, int64_t slots) {
  if (slots > v.count) ResizeVector(v, slots);
}

void UseDoubleSlots(ArrayVector& v) {
  if (v.slotSize == 8) return;
  uint32_t count = v.count;
  TaggedFree(v.data);
  v.data = nullptr;
  v.count = v.capacity = 0;
  v.slotSize = 8;
  ResizeVector(v, count);
}

void OpenVectorSlot(ArrayVector& v, uint32_t at) {
  if (v.count == v.capacity) {
    uint32_t count = v.count;
    ResizeVector(v, static_cast<int64_t>(v.capacity) + 16);
    v.count = count;
  }
  uint8_t* slot = v.data + at * v.slotSize;
  memmove(slot + v.slotSize, slot, (v.count - at) * v.slotSize);
  memset(slot, 0, v.slotSize);
  ++v.count;
}

void CloseVectorSlot(ArrayVector& v, uint32_t at) {
  uint8_t* slot = v.data + at * v.slotSize;
  memmove(slot, slot + v.slotSize, (v.count - at - 1) * v.slotSize);
  --v.count;
  memset(v.data + v.count * v.slotSize, 0, v.slotSize);
}

void ReleaseVectorSlots(ArrayVector& v, uint32_t from, uint32_t levelsBelow, SlotKind kind) {
  for (uint32_t i = from; i < v.count; ++i) {
    void* word = LoadSlot<void*>(v, i);
    memset(v.data + i * v.slotSize, 0, v.slotSize);
    if (levelsBelow > 0) {
      FreeVectorTree(static_cast<ArrayVector*>(word), levelsBelow - 1, kind);
    } else {
      ReleaseValue(word, kind);
    }
  }
}

ArrayVector* NewVector() {
  auto* v = static_cast<ArrayVector*>(TaggedAlloc(sizeof(ArrayVector)));
  v->slotSize = 4;
  return v;
}

void FreeVectorTree(ArrayVector* v, uint32_t levelsBelow, SlotKind kind) {
  if (!v) return;
  ReleaseVectorSlots(*v, 0, levelsBelow, kind);
  TaggedFree(v->data);
  TaggedFree(v);
}

// The new value is in place before the old one is unlocked, because the
// unlock may run a destructor that reads or changes this array.
void StoreCounted(ArrayVector& v, uint32_t i, StringRecord* value) {
  RuntimeLockString(value);
  StringRecord* old = LoadSlot<StringRecord*>(v, i);
  StoreSlot(v, i, value);
  RuntimeUnlockString(old);
}

void StoreCounted(ArrayVector& v, uint32_t i, ObjectRecord* value) {
  RuntimeLockObject(value);
  ObjectRecord* old = LoadSlot<ObjectRecord*>(v, i);
  StoreSlot(v, i, value);
  RuntimeUnlockObject(old);
}
