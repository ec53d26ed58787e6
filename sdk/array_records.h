// Array layouts that compiled code, plug-ins and the runtime share. Compiled
// code keeps every array variable as a pointer to an ArrayRecord and hands it
// to the array entry points; the fields sit at fixed offsets, so each layout
// is pinned by static_asserts.
#pragma once
#include <stddef.h>
#include <stdint.h>

// A growable run of 4- or 8-byte slots. Slots from count up to capacity are
// kept zero, so growing into them never exposes a stale value.
struct ArrayVector {
  uint8_t* data;      // tagged block of capacity * slotSize bytes, or null
  uint32_t count;     // slots in use
  uint32_t capacity;  // slots allocated
  uint32_t slotSize;  // 4; 8 once the vector holds Double values
};

inline constexpr uint32_t kArrayMaxDimensions = 20;

// An array variable. Level 0 holds the elements of a one-dimensional array,
// or pointers to the level-1 vectors of a deeper one (null where a row was
// never written). The cursor serves the index-by-index access of arrays
// with more than one dimension.
struct ArrayRecord {
  ArrayVector vector;
  uint32_t dimensions;                       // declared so far
  int32_t upperBound[kArrayMaxDimensions];   // inclusive; lower bounds are 0
  uint32_t cursorLevel;                      // the dimension the cursor has reached
  ArrayVector* cursor;                       // vector at cursorLevel, or null
};

// The compact Boolean array: one block with the element count followed by
// one byte (0 or 1) per element. Resizing may move the block, so compiled
// code holds the FastBooleanArray, whose block pointer follows it.
struct FastBooleanBlock {
  uint32_t count;  // upper bound + 1; the elements follow
};

struct FastBooleanArray {
  FastBooleanBlock* block;
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(ArrayVector) == 16);
static_assert(offsetof(ArrayVector, data) == 0);
static_assert(offsetof(ArrayVector, count) == 4);
static_assert(offsetof(ArrayVector, capacity) == 8);
static_assert(offsetof(ArrayVector, slotSize) == 12);
static_assert(sizeof(ArrayRecord) == 108);
static_assert(offsetof(ArrayRecord, vector) == 0);
static_assert(offsetof(ArrayRecord, dimensions) == 16);
static_assert(offsetof(ArrayRecord, upperBound) == 20);
static_assert(offsetof(ArrayRecord, cursorLevel) == 100);
static_assert(offsetof(ArrayRecord, cursor) == 104);
static_assert(sizeof(FastBooleanBlock) == 4);
static_assert(sizeof(FastBooleanArray) == 4);
#endif
