// Array records: creating them, declaring their dimensions, redimming and
// disposing of them. Compiled code trusts the array entry points with every
// index and level it computes, so a request the record's shape cannot serve
// is refused before any slot is touched, and the raise tells the application.
#include <algorithm>

#include "objects/arrays.h"
#include "objects/assertion.h"
#include "objects/exceptions.h"
#include "objects/tagged_alloc.h"

namespace {

int32_t ClampToInt32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// `v` is a vector at level `at` of a tree of `depth` levels. Every vector at
// `level` under it is cut down to `keep` slots; what lies beyond is released.
void CutLevel(ArrayVector& v, uint32_t at, uint32_t level, uint32_t depth, uint32_t keep,
              SlotKind kind) {
  if (at < level) {
    for (uint32_t i = 0; i < v.count; ++i) {
      ArrayVector* child = LoadSlot<ArrayVector*>(v, i);
      if (child) CutLevel(*child, at + 1, level, depth, keep, kind);
    }
    return;
  }
  if (v.count <= keep) return;
  ReleaseVectorSlots(v, keep, depth - 1 - level, kind);
  ResizeVector(v, keep);
}

void Redim(ArrayRecord* array, int32_t dimension, int32_t newUpper, SlotKind kind) {
  if (!RequireArray(array, "redim of a nil array")) return;
  if (!RequireInBounds(dimension >= 0 && static_cast<uint32_t>(dimension) < kArrayMaxDimensions))
    return;
  array->upperBound[dimension] = newUpper;
  // A cut may free the vector the cursor stands on.
  array->cursor = nullptr;
  uint32_t depth = ArrayDepth(*array);
  if (static_cast<uint32_t>(dimension) >= depth) return;
  uint32_t keep = static_cast<uint32_t>(std::max<int64_t>(int64_t{newUpper} + 1, 0));
  CutLevel(array->vector, 0, static_cast<uint32_t>(dimension), depth, keep, kind);
}

void Dispose(ArrayRecord* array, SlotKind kind) {
  if (!array) return;
  if (!RuntimeCheck(TaggedIsLive(array), "dispose of an array that is not live")) return;
  ReleaseVectorSlots(array->vector, 0, ArrayDepth(*array) - 1, kind);
  TaggedFree(array->vector.data);
  TaggedFree(array);
}

}  // namespace

void RaiseOutOfBounds() { RaiseNewException("OutOfBoundsException"); }

extern "C" {

ArrayRecord* RuntimeCreateArray() {
  auto* array = static_cast<ArrayRecord*>(TaggedAlloc(sizeof(ArrayRecord)));
  array->vector.slotSize = 4;
  return array;
}

// A dimension added once elements are stored would turn those elements into
// vector pointers, so declarations come before the first store.
void RuntimeArrayCreateAddIndex(ArrayRecord* array, int32_t lower, int32_t upper) {
  if (!RequireArray(array, "dimension of a nil array")) return;
  if (!RequireInBounds(ArrayCanAddDimension(*array))) return;
  if (!RuntimeCheck(array->vector.count == 0, "dimension declared after elements were stored"))
    return;
  array->upperBound[array->dimensions++] = ClampToInt32(int64_t{upper} - lower);
}

int32_t RuntimeUBound(ArrayRecord* array) {
  if (!RequireArray(array, "UBound of a nil array")) return -1;
  return array->upperBound[0];
}

void RuntimeRedimIntArrayLevel(ArrayRecord* array, int32_t dimension, int32_t newUpper) {
  Redim(array, dimension, newUpper, SlotKind::kValue);
}

void RuntimeRedimStringArrayLevel(ArrayRecord* array, int32_t dimension, int32_t newUpper) {
  Redim(array, dimension, newUpper, SlotKind::kString);
}

void RuntimeRedimObjectArrayLevel(ArrayRecord* array, int32_t dimension, int32_t newUpper) {
  Redim(array, dimension, newUpper, SlotKind::kObject);
}

void RuntimeDisposeIntArray(ArrayRecord* array) { Dispose(array, SlotKind::kValue); }
void RuntimeDisposeStringArray(ArrayRecord* array) { Dispose(array, SlotKind::kString); }
void RuntimeDisposeObjectArray(ArrayRecord* array) { Dispose(array, SlotKind::kObject); }

}  // extern "C"
