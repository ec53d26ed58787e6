// Sorting one-dimensional arrays in place: an iterative quicksort that takes
// the middle element as pivot and leaves ranges of fewer than six elements to
// a selection pass. Numbers sort ascending; strings in the user's locale
// order, case-sensitive. The sort is not stable, and applications see its
// exact order of equal elements, so the steps below are not to be "improved".
#include <algorithm>
#include <cstring>
#include <type_traits>

#include "objects/arrays.h"
#include "objects/strings.h"
#include "objects/tagged_alloc.h"

namespace {

struct Range {
  int32_t lo;
  int32_t hi;
};

// The ranges still to sort, on the heap: sorted data can push one range per
// partition step, far more than the machine stack should carry.
class RangeStack {
 public:
  RangeStack() = default;
  RangeStack(const RangeStack&) = delete;
  RangeStack& operator=(const RangeStack&) = delete;
  ~RangeStack() { TaggedFree(ranges_); }

  void Push(Range r) {
    if (size_ == capacity_) {
      capacity_ = capacity_ ? capacity_ * 2 : 32;
      ranges_ = static_cast<Range*>(TaggedResize(ranges_, capacity_ * sizeof(Range)));
    }
    ranges_[size_++] = r;
  }
  bool Pop(Range& r) {
    if (size_ == 0) return false;
    r = ranges_[--size_];
    return true;
  }

 private:
  Range* ranges_ = nullptr;
  uint32_t size_ = 0;
  uint32_t capacity_ = 0;
};

void SwapSlots(ArrayVector& v, int32_t a, int32_t b) {
  if (a == b) return;
  uint8_t held[8];
  uint8_t* pa = v.data + a * v.slotSize;
  uint8_t* pb = v.data + b * v.slotSize;
  memcpy(held, pa, v.slotSize);
  memcpy(pa, pb, v.slotSize);
  memcpy(pb, held, v.slotSize);
}

// Numbers: a before b when a <= b.
template <typename T>
struct NumberOrder {
  const ArrayVector& v;
  bool operator()(int32_t a, int32_t b) const { return LoadSlot<T>(v, a) <= LoadSlot<T>(v, b); }
};

// Strings: a before b when a < b in the locale's case-sensitive order.
struct StringOrder {
  const ArrayVector& v;
  bool operator()(int32_t a, int32_t b) const {
    return StringStrCompare(LoadSlot<StringRecord*>(v, a), LoadSlot<StringRecord*>(v, b), 1) < 0;
  }
};

// Moves a largest element to the end of the range, then of the range one
// shorter, and so on. Which of equal elements moves depends on `before`:
// the last one under <=, the first under <.
template <typename Before>
void SelectionFinish(ArrayVector& v, Range r, const Before& before) {
  for (int32_t end = r.hi; end > r.lo; --end) {
    int32_t m = r.lo;
    for (int32_t j = r.lo + 1; j <= end; ++j)
      if (before(m, j)) m = j;
    SwapSlots(v, m, end);
  }
}

// One partition around the middle element, moved to lo first; returns the
// pivot's final position. Elements `before` the pivot end up below it.
template <typename Before>
int32_t Partition(ArrayVector& v, Range r, const Before& before) {
  SwapSlots(v, r.lo, r.lo + (r.hi - r.lo) / 2);
  int32_t store = r.lo + 1;
  for (int32_t i = r.lo + 1; i <= r.hi; ++i) {
    if (!before(i, r.lo)) continue;
    if (i > store) SwapSlots(v, i, store);
    ++store;
  }
  if (store - 1 != r.lo) SwapSlots(v, r.lo, store - 1);
  return store - 1;
}

// Ranges of fewer than two elements need no work, so they are never pushed.
template <typename Before>
void QuickSort(ArrayVector& v, int32_t n, const Before& before) {
  RangeStack pending;
  Range r{0, n - 1};
  for (;;) {
    while (r.hi - r.lo >= 5) {
      int32_t pivot = Partition(v, r, before);
      if (r.hi - (pivot + 1) >= 1) pending.Push({pivot + 1, r.hi});
      r.hi = pivot - 1;
    }
    SelectionFinish(v, r, before);
    if (!pending.Pop(r)) return;
  }
}

// Makes slots 0 … upperBound[0] real and returns how many there are, or -1
// when the array cannot be sorted.
template <typename T>
int32_t PrepareSort(ArrayRecord* array) {
  if (!RequireArray(array, "sort of a nil array")) return -1;
  if (!RequireInBounds(array->dimensions <= 1)) return -1;
  if constexpr (std::is_same_v<T, double>) UseDoubleSlots(array->vector);
  int64_t n = std::max<int64_t>(int64_t{array->upperBound[0]} + 1, 0);
  GrowVector(array->vector, n);  // more than memory can hold ends the program here
  return static_cast<int32_t>(n);
}

template <typename T>
void SortNumbers(ArrayRecord* array) {
  int32_t n = PrepareSort<T>(array);
  if (n > 1) QuickSort(array->vector, n, NumberOrder<T>{array->vector});
}

}  // namespace

extern "C" {

void RuntimeIntArraySort(ArrayRecord* array) { SortNumbers<int32_t>(array); }
void RuntimeSingleArraySort(ArrayRecord* array) { SortNumbers<float>(array); }
void RuntimeDoubleArraySort(ArrayRecord* array) { SortNumbers<double>(array); }

void RuntimeStringArraySort(ArrayRecord* array) {
  int32_t n = PrepareSort<StringRecord*>(array);
  if (n > 1) QuickSort(array->vector, n, StringOrder{array->vector});
}

}  // extern "C"
