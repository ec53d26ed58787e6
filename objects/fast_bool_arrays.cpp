// The compact Boolean arrays: one byte per element in a block that starts
// with the element count. The block moves when it grows, so the array handle
// compiled code keeps points at the block rather than being it. Bytes past
// the count are kept zero, so growing exposes only false elements.
#include <algorithm>
#include <cstring>

#include "objects/arrays.h"
#include "objects/assertion.h"
#include "objects/out_of_memory.h"
#include "objects/tagged_alloc.h"

namespace {

constexpr int64_t kMaxElements = int64_t{0x7FFFFFF0} - int64_t{sizeof(FastBooleanBlock)};
// Growth beyond the count by inserts, so that appending one by one does not
// reallocate every time.
constexpr uint32_t kInsertSlack = 16;

uint8_t* Elements(FastBooleanBlock* block) { return reinterpret_cast<uint8_t*>(block + 1); }

uint32_t RoomFor(const FastBooleanBlock* block) {
  return TaggedSize(block) - static_cast<uint32_t>(sizeof(FastBooleanBlock));
}

// Reallocates the block for `elements` elements (new bytes zero); the count
// is left to the caller.
void Reallocate(FastBooleanArray* array, int64_t elements) {
  if (elements > kMaxElements) ReportOutOfMemory();
  uint32_t bytes = static_cast<uint32_t>(sizeof(FastBooleanBlock) + elements);
  array->block = static_cast<FastBooleanBlock*>(TaggedResize(array->block, bytes));
}

// Sets the element count to upper + 1 (none for an upper bound below -1).
void SetCount(FastBooleanArray* array, int32_t upper) {
  int64_t count = std::max<int64_t>(int64_t{upper} + 1, 0);
  uint32_t old = array->block->count;
  if (count < old) memset(Elements(array->block) + count, 0, old - count);
  Reallocate(array, count);
  array->block->count = static_cast<uint32_t>(count);
}

bool RequireFastArray(FastBooleanArray* array) {
  return RequireArray(array, "nil Boolean array");
}

bool RequireElement(FastBooleanArray* array, int32_t index, bool orEnd) {
  return RequireFastArray(array) && RequireInBounds(FastBooleanIndexInBounds(array, index, orEnd));
}

}  // namespace

uint32_t FastBooleanCount(const FastBooleanArray* array) {
  return array && array->block ? array->block->count : 0;
}

bool FastBooleanIndexInBounds(const FastBooleanArray* array, int32_t index, bool orEnd) {
  if (index < 0) return false;
  uint32_t count = FastBooleanCount(array);
  return static_cast<uint32_t>(index) < count || (orEnd && static_cast<uint32_t>(index) == count);
}

extern "C" {

FastBooleanArray* RuntimeCreateFastBooleanArray(int32_t upper) {
  auto* array = static_cast<FastBooleanArray*>(TaggedAlloc(sizeof(FastBooleanArray)));
  Reallocate(array, 0);
  SetCount(array, upper);
  return array;
}

int32_t RuntimeFastArrayUBound(FastBooleanArray* array) {
  if (!RequireFastArray(array)) return -1;
  return static_cast<int32_t>(array->block->count) - 1;
}

void RuntimeRedimFastBoolArray(FastBooleanArray* array, int32_t upper) {
  if (!RequireFastArray(array)) return;
  SetCount(array, upper);
}

bool RuntimeFastReadBoolArray(FastBooleanArray* array, int32_t index) {
  if (!RequireElement(array, index, false)) return false;
  return Elements(array->block)[index] != 0;
}

void RuntimeFastWriteBoolArray(FastBooleanArray* array, int32_t index, bool value) {
  if (!RequireElement(array, index, false)) return;
  Elements(array->block)[index] = value ? 1 : 0;
}

void RuntimeFastBooleanArrayInsert(FastBooleanArray* array, int32_t index, bool value) {
  if (!RequireElement(array, index, true)) return;
  uint32_t count = array->block->count;
  if (RoomFor(array->block) <= count) Reallocate(array, int64_t{count} + kInsertSlack);
  uint8_t* elements = Elements(array->block);
  memmove(elements + index + 1, elements + index, count - index);
  elements[index] = value ? 1 : 0;
  array->block->count = count + 1;
}

void RuntimeFastBooleanArrayAppend(FastBooleanArray* array, bool value) {
  if (!RequireFastArray(array)) return;
  RuntimeFastBooleanArrayInsert(array, static_cast<int32_t>(array->block->count), value);
}

void RuntimeFastBooleanArrayRemove(FastBooleanArray* array, int32_t index) {
  if (!RequireElement(array, index, false)) return;
  uint32_t count = array->block->count;
  uint8_t* elements = Elements(array->block);
  memmove(elements + index, elements + index + 1, count - index - 1);
  elements[count - 1] = 0;
  array->block->count = count - 1;
}

void RuntimeDisposeFastBooleanArray(FastBooleanArray* array) {
  if (!array) return;
  if (!RuntimeCheck(TaggedIsLive(array), "dispose of a Boolean array that is not live")) return;
  TaggedFree(array->block);
  TaggedFree(array);
}

}  // extern "C"
