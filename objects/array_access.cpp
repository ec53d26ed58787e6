// Reading and writing array elements: directly by index for one-dimensional
// arrays, and through the record's cursor for deeper ones, which compiled
// code moves one dimension at a time. Reads never allocate: a slot that was
// never stored reads as the empty value. Writes allocate what the path needs.
#include <algorithm>
#include <type_traits>

#include "objects/arrays.h"
#include "objects/objects.h"
#include "objects/strings.h"

namespace {

// --- element kinds ------------------------------------------------------------------

// How each element kind is read, stored and defaulted. Strings and objects
// go out with a reference of their own and are counted when stored.
template <typename T>
struct Element {
  static T Read(const ArrayVector& v, uint32_t i) { return LoadSlot<T>(v, i); }
  static void Write(ArrayVector& v, uint32_t i, T value) { StoreSlot(v, i, value); }
  static void Prepare(ArrayVector&) {}
};

template <>
struct Element<double> {
  // A vector still on 4-byte slots holds no Double.
  static double Read(const ArrayVector& v, uint32_t i) {
    return v.slotSize == 8 ? LoadSlot<double>(v, i) : 0.0;
  }
  static void Write(ArrayVector& v, uint32_t i, double value) { StoreSlot(v, i, value); }
  static void Prepare(ArrayVector& v) { UseDoubleSlots(v); }
};

template <>
struct Element<StringRecord*> {
  static StringRecord* Read(const ArrayVector& v, uint32_t i) {
    StringRecord* s = LoadSlot<StringRecord*>(v, i);
    RuntimeLockString(s);
    return s;
  }
  static void Write(ArrayVector& v, uint32_t i, StringRecord* value) { StoreCounted(v, i, value); }
  static void Prepare(ArrayVector&) {}
};

template <>
struct Element<ObjectRecord*> {
  static ObjectRecord* Read(const ArrayVector& v, uint32_t i) {
    ObjectRecord* o = LoadSlot<ObjectRecord*>(v, i);
    RuntimeLockObject(o);
    return o;
  }
  static void Write(ArrayVector& v, uint32_t i, ObjectRecord* value) { StoreCounted(v, i, value); }
  static void Prepare(ArrayVector&) {}
};

template <typename T>
T ReadSlot(const ArrayVector& v, int32_t i) {
  return static_cast<uint32_t>(i) < v.count ? Element<T>::Read(v, i) : T{};
}

// --- direct access ----------------------------------------------------------------

// The Integer forms also serve arrays used before any dimension was declared;
// the others need exactly one. Neither may reach the vector pointers of a
// deeper array.
template <typename T>
bool RequireDirect(ArrayRecord* array, int32_t i) {
  if (!RequireArray(array, "direct access to a nil array")) return false;
  bool shapeHolds = std::is_same_v<T, int32_t> ? array->dimensions <= 1 : array->dimensions == 1;
  return RequireInBounds(shapeHolds) && RequireInBounds(ArrayIndexInBounds(*array, 0, i));
}

template <typename T>
T DirectRead(ArrayRecord* array, int32_t i) {
  if (!RequireDirect<T>(array, i)) return T{};
  return ReadSlot<T>(array->vector, i);
}

// Storage grows by up to 16 slots at a time and never past the bound.
template <typename T>
void DirectWrite(ArrayRecord* array, int32_t i, T value) {
  if (!RequireDirect<T>(array, i)) return;
  ArrayVector& v = array->vector;
  Element<T>::Prepare(v);
  if (static_cast<uint32_t>(i) >= v.count)
    GrowVector(v, std::min<int64_t>(int64_t{i} + 16, int64_t{array->upperBound[0]} + 1));
  Element<T>::Write(v, i, value);
}

// --- cursor ---------------------------------------------------------------------------

// The vector at slot i of `v`, created (with the slots up to it) when absent.
ArrayVector* ChildForWrite(ArrayVector& v, int32_t i) {
  GrowVector(v, int64_t{i} + 1);
  ArrayVector* child = LoadSlot<ArrayVector*>(v, i);
  if (child) return child;
  child = NewVector();
  StoreSlot(v, i, child);
  return child;
}

void StartAccess(ArrayRecord* array, int32_t i, bool write) {
  if (!RequireArray(array, "access to a nil array")) return;
  if (!RequireInBounds(array->dimensions >= 2)) return;
  if (!RequireInBounds(ArrayIndexInBounds(*array, 0, i))) return;
  array->cursorLevel = 1;
  array->cursor = write ? ChildForWrite(array->vector, i) : ChildAt(array->vector, i);
}

// The cursor may move only through the middle dimensions: the last one
// holds elements, not vectors.
void AddIndex(ArrayRecord* array, int32_t i, bool write) {
  if (!RequireArray(array, "access to a nil array")) return;
  uint32_t level = array->cursorLevel;
  if (!RequireInBounds(level >= 1 && level + 1 < array->dimensions)) return;
  if (!RequireInBounds(ArrayIndexInBounds(*array, level, i))) return;
  if (array->cursor)
    array->cursor = write ? ChildForWrite(*array->cursor, i) : ChildAt(*array->cursor, i);
  array->cursorLevel = level + 1;
}

// The cursor must stand on the last dimension, where slots are elements.
bool RequireLastIndex(ArrayRecord* array, int32_t i) {
  if (!RequireArray(array, "access to a nil array")) return false;
  uint32_t level = array->cursorLevel;
  if (!RequireInBounds(array->dimensions >= 2 && level + 1 == array->dimensions)) return false;
  return RequireInBounds(ArrayIndexInBounds(*array, level, i));
}

template <typename T>
T CursorRead(ArrayRecord* array, int32_t i) {
  if (!RequireLastIndex(array, i) || !array->cursor) return T{};
  return ReadSlot<T>(*array->cursor, i);
}

template <typename T>
void CursorWrite(ArrayRecord* array, int32_t i, T value) {
  if (!RequireLastIndex(array, i) || !array->cursor) return;
  ArrayVector& v = *array->cursor;
  Element<T>::Prepare(v);
  GrowVector(v, int64_t{i} + 1);
  Element<T>::Write(v, i, value);
}

}  // namespace

extern "C" {

int32_t RuntimeDirectReadIntArray(ArrayRecord* array, int32_t index) {
  return DirectRead<int32_t>(array, index);
}
float RuntimeDirectReadSingleArray(ArrayRecord* array, int32_t index) {
  return DirectRead<float>(array, index);
}
double RuntimeDirectReadDoubleArray(ArrayRecord* array, int32_t index) {
  return DirectRead<double>(array, index);
}
StringRecord* RuntimeDirectReadStringArray(ArrayRecord* array, int32_t index) {
  return DirectRead<StringRecord*>(array, index);
}
ObjectRecord* RuntimeDirectReadObjectArray(ArrayRecord* array, int32_t index) {
  return DirectRead<ObjectRecord*>(array, index);
}

void RuntimeDirectWriteIntArray(ArrayRecord* array, int32_t index, int32_t value) {
  DirectWrite(array, index, value);
}
void RuntimeDirectWriteSingleArray(ArrayRecord* array, int32_t index, float value) {
  DirectWrite(array, index, value);
}
void RuntimeDirectWriteDoubleArray(ArrayRecord* array, int32_t index, double value) {
  DirectWrite(array, index, value);
}
void RuntimeDirectWriteStringArray(ArrayRecord* array, int32_t index, StringRecord* value) {
  DirectWrite(array, index, value);
}
void RuntimeDirectWriteObjectArray(ArrayRecord* array, int32_t index, ObjectRecord* value) {
  DirectWrite(array, index, value);
}

void RuntimeArrayStartReadAccess(ArrayRecord* array, int32_t index) { StartAccess(array, index, false); }
void RuntimeArrayStartWriteAccess(ArrayRecord* array, int32_t index) { StartAccess(array, index, true); }
void RuntimeArrayAddReadIndex(ArrayRecord* array, int32_t index) { AddIndex(array, index, false); }
void RuntimeArrayAddWriteIndex(ArrayRecord* array, int32_t index) { AddIndex(array, index, true); }

int32_t RuntimeReadIntArray(ArrayRecord* array, int32_t index) {
  return CursorRead<int32_t>(array, index);
}
float RuntimeReadSingleArray(ArrayRecord* array, int32_t index) {
  return CursorRead<float>(array, index);
}
double RuntimeReadDoubleArray(ArrayRecord* array, int32_t index) {
  return CursorRead<double>(array, index);
}
StringRecord* RuntimeReadStringArray(ArrayRecord* array, int32_t index) {
  return CursorRead<StringRecord*>(array, index);
}
ObjectRecord* RuntimeReadObjectArray(ArrayRecord* array, int32_t index) {
  return CursorRead<ObjectRecord*>(array, index);
}

void RuntimeWriteIntArray(ArrayRecord* array, int32_t index, int32_t value) {
  CursorWrite(array, index, value);
}
void RuntimeWriteSingleArray(ArrayRecord* array, int32_t index, float value) {
  CursorWrite(array, index, value);
}
void RuntimeWriteDoubleArray(ArrayRecord* array, int32_t index, double value) {
  CursorWrite(array, index, value);
}
void RuntimeWriteStringArray(ArrayRecord* array, int32_t index, StringRecord* value) {
  CursorWrite(array, index, value);
}
void RuntimeWriteObjectArray(ArrayRecord* array, int32_t index, ObjectRecord* value) {
  CursorWrite(array, index, value);
}

}  // extern "C"
