// Arrays used as lists: append, insert and remove move the upper bound with
// them. They work on the elements of one-dimensional arrays only; on a
// deeper array they would shift or overwrite the pointers to its rows.
#include <algorithm>
#include <type_traits>

#include "objects/arrays.h"
#include "objects/objects.h"
#include "objects/strings.h"

namespace {

// Locks strings and objects going into the list; plain values need nothing.
void Lock(int32_t) {}
void Lock(float) {}
void Lock(double) {}
void Lock(StringRecord* s) { RuntimeLockString(s); }
void Lock(ObjectRecord* o) { RuntimeLockObject(o); }

template <typename T>
void Prepare(ArrayVector& v) {
  if constexpr (std::is_same_v<T, double>) UseDoubleSlots(v);
}

bool RequireList(ArrayRecord* array) {
  if (!RequireArray(array, "list operation on a nil array")) return false;
  return RequireInBounds(array->dimensions <= 1);
}

bool RequireListIndex(ArrayRecord* array, int32_t i) {
  return RequireList(array) && RequireInBounds(ArrayIndexInBounds(*array, 0, i));
}

// The slots up to the bound are made real, then the new last slot opens, so
// repeated appends reallocate once per 16 elements. A bound below -1 counts
// as empty.
template <typename T>
void Append(ArrayRecord* array, T value) {
  if (!RequireList(array)) return;
  ArrayVector& v = array->vector;
  Prepare<T>(v);
  int64_t at = std::max<int64_t>(int64_t{array->upperBound[0]} + 1, 0);
  if (!RequireInBounds(at <= INT32_MAX)) return;
  GrowVector(v, at);
  OpenVectorSlot(v, static_cast<uint32_t>(at));
  Lock(value);
  StoreSlot(v, static_cast<uint32_t>(at), value);
  array->upperBound[0] = static_cast<int32_t>(at);
}

template <typename T>
void Insert(ArrayRecord* array, int32_t i, T value) {
  if (!RequireListIndex(array, i)) return;
  if (!RequireInBounds(array->upperBound[0] < INT32_MAX)) return;
  ArrayVector& v = array->vector;
  Prepare<T>(v);
  GrowVector(v, int64_t{i} + 1);
  OpenVectorSlot(v, static_cast<uint32_t>(i));
  Lock(value);
  StoreSlot(v, static_cast<uint32_t>(i), value);
  ++array->upperBound[0];
}

// The slot leaves the list before its value is unlocked: the unlock may run
// a destructor that uses this array.
void Remove(ArrayRecord* array, int32_t i, SlotKind kind) {
  if (!RequireListIndex(array, i)) return;
  ArrayVector& v = array->vector;
  --array->upperBound[0];
  if (static_cast<uint32_t>(i) >= v.count) return;
  void* old = LoadSlot<void*>(v, static_cast<uint32_t>(i));
  CloseVectorSlot(v, static_cast<uint32_t>(i));
  if (kind == SlotKind::kString) RuntimeUnlockString(static_cast<StringRecord*>(old));
  if (kind == SlotKind::kObject) RuntimeUnlockObject(static_cast<ObjectRecord*>(old));
}

}  // namespace

extern "C" {

void RuntimeIntArrayAppend(ArrayRecord* array, int32_t value) { Append(array, value); }
void RuntimeSingleArrayAppend(ArrayRecord* array, float value) { Append(array, value); }
void RuntimeDoubleArrayAppend(ArrayRecord* array, double value) { Append(array, value); }
void RuntimeStringArrayAppend(ArrayRecord* array, StringRecord* value) { Append(array, value); }
void RuntimeObjectArrayAppend(ArrayRecord* array, ObjectRecord* value) { Append(array, value); }

void RuntimeIntArrayInsert(ArrayRecord* array, int32_t index, int32_t value) {
  Insert(array, index, value);
}
void RuntimeSingleArrayInsert(ArrayRecord* array, int32_t index, float value) {
  Insert(array, index, value);
}
void RuntimeDoubleArrayInsert(ArrayRecord* array, int32_t index, double value) {
  Insert(array, index, value);
}
void RuntimeStringArrayInsert(ArrayRecord* array, int32_t index, StringRecord* value) {
  Insert(array, index, value);
}
void RuntimeObjectArrayInsert(ArrayRecord* array, int32_t index, ObjectRecord* value) {
  Insert(array, index, value);
}

void RuntimeIntArrayRemove(ArrayRecord* array, int32_t index) {
  Remove(array, index, SlotKind::kValue);
}
void RuntimeStringArrayRemove(ArrayRecord* array, int32_t index) {
  Remove(array, index, SlotKind::kString);
}
void RuntimeObjectArrayRemove(ArrayRecord* array, int32_t index) {
  Remove(array, index, SlotKind::kObject);
}

}  // extern "C"
