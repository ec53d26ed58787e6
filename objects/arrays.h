// Arrays inside the runtime: the vector operations and checks that the array
// entry points share. Every index check has a pure form here, so the rules can
// be tested without raising; the Require* forms raise OutOfBoundsException when
// the rule fails and return false only if raising ever comes back.
#pragma once
// Entry points are declared once more in the SDK; both must agree.
#include "sdk/vellory.h"
#include <cstdint>
#include <cstring>

#include "objects/assertion.h"
#include "sdk/array_records.h"

// What the slots at the deepest level of an array hold, which decides how
// they are released.
enum class SlotKind { kValue, kString, kObject };

// --- pure checks ------------------------------------------------------------------

// 0 <= index <= upper.
constexpr bool IndexWithin(int32_t index, int32_t upper) { return index >= 0 && index <= upper; }

// True when `dimension` is a dimension the record can hold and `index` lies
// within its declared bound.
inline bool ArrayIndexInBounds(const ArrayRecord& array, uint32_t dimension, int32_t index) {
  return dimension < kArrayMaxDimensions && IndexWithin(index, array.upperBound[dimension]);
}

// True when the record has room to declare one more dimension.
inline bool ArrayCanAddDimension(const ArrayRecord& array) {
  return array.dimensions < kArrayMaxDimensions;
}

// Levels of the array's tree: its declared dimensions, and at least one (an
// array used before any declaration keeps its elements at level 0).
inline uint32_t ArrayDepth(const ArrayRecord& array) {
  return array.dimensions > 1 ? array.dimensions : 1;
}

// The fast Boolean array's element count (0 for null).
uint32_t FastBooleanCount(const FastBooleanArray* array);

// True when `index` names an element (0 <= index < count); with `orEnd`, the
// position just past the last element is accepted too (inserting there appends).
bool FastBooleanIndexInBounds(const FastBooleanArray* array, int32_t index, bool orEnd);

// --- raising ----------------------------------------------------------------------

// Raises OutOfBoundsException.
[[noreturn]] void RaiseOutOfBounds();

// `holds`, raising OutOfBoundsException when it is false.
inline bool RequireInBounds(bool holds) {
  if (!holds) RaiseOutOfBounds();
  return holds;
}

// A non-null array; null goes to the assertion hook (reported as `what`).
inline bool RequireArray(const void* array, const char* what) {
  return array != nullptr || RuntimeCheck(false, what);
}

// --- vectors -----------------------------------------------------------------------

template <typename T>
T LoadSlot(const ArrayVector& v, uint32_t i) {
  T value;
  memcpy(&value, v.data + i * v.slotSize, sizeof(T));
  return value;
}

template <typename T>
void StoreSlot(ArrayVector& v, uint32_t i, T value) {
  memcpy(v.data + i * v.slotSize, &value, sizeof(T));
}

inline ArrayVector* ChildAt(const ArrayVector& v, uint32_t i) {
  return i < v.count ? LoadSlot<ArrayVector*>(v, i) : nullptr;
}

// Reallocates the block to `slots` slots, zero-filling those added; count and
// capacity become `slots`. Slots cut off are dropped unreleased (callers
// release them first). More than the address space can hold is reported as
// running out of memory.
void ResizeVector(ArrayVector& v, int64_t slots);

// Resizes to `slots` when fewer are in use; never shrinks.
void GrowVector(ArrayVector& v, int64_t slots);

// Switches the vector to 8-byte slots. Slots that held 4-byte values carry no
// Double and read 0.0 afterwards.
void UseDoubleSlots(ArrayVector& v);

// Makes room at `at` (0 <= at <= count): the later slots move up, the new
// slot is zero and count grows by one. A full vector first grows by 16 slots.
void OpenVectorSlot(ArrayVector& v, uint32_t at);

// Removes the slot at `at` (< count), moving the later slots down; the slot
// left behind at the end is zeroed.
void CloseVectorSlot(ArrayVector& v, uint32_t at);

// Releases slots [from, count) of a vector whose subtree has `levelsBelow`
// levels under it: values of `kind` at the last level, vectors above it.
void ReleaseVectorSlots(ArrayVector& v, uint32_t from, uint32_t levelsBelow, SlotKind kind);

// A new empty vector (4-byte slots), and freeing one with everything below.
ArrayVector* NewVector();
void FreeVectorTree(ArrayVector* v, uint32_t levelsBelow, SlotKind kind);

// --- counted slots -----------------------------------------------------------------

// Stores a string or object in slot i, locking the new value and unlocking
// the one it replaces.
void StoreCounted(ArrayVector& v, uint32_t i, StringRecord* value);
void StoreCounted(ArrayVector& v, uint32_t i, ObjectRecord* value);
