// Arrays, under a fixture that fails a test that leaks; refusals that raise are the unwinder test's.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "objects/arrays.h"
#include "objects/classes.h"
#include "objects/objects.h"
#include "objects/small_heap.h"
#include "objects/strings.h"
#include "objects/tagged_alloc.h"
#include "recorded_assertions.h"

namespace {

class ArrayTest : public testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(SmallBlockBytesInUse(), heapBefore_) << "a vector or a reference leaked"; }
  RecordedAssertions assertions;
  const uint32_t heapBefore_ = SmallBlockBytesInUse();
};

// An array with the given upper bounds, declared as compiled code does.
ArrayRecord* NewArray(std::initializer_list<int32_t> bounds) {
  ArrayRecord* a = RuntimeCreateArray();
  for (int32_t upper : bounds) RuntimeArrayCreateAddIndex(a, 0, upper);
  return a;
}

// The text of a string an entry point returned; the reference is dropped.
std::string Take(StringRecord* s) { return std::string(StringRef::Adopt(s).View()); }

std::vector<int32_t> Ints(ArrayRecord* a) {
  std::vector<int32_t> out;
  for (int32_t i = 0; i <= RuntimeUBound(a); ++i) out.push_back(RuntimeDirectReadIntArray(a, i));
  return out;
}

ArrayRecord* IntArrayOf(const std::vector<int32_t>& values) {
  ArrayRecord* a = NewArray({-1});
  for (int32_t v : values) RuntimeIntArrayAppend(a, v);
  return a;
}

// Twenty dimensions fill the record; a 21st raises (the unwinder test's).
TEST_F(ArrayTest, ReadsInsideTheBoundAllocateNothingWritesGrowNoFurtherAndCallerErrorsAssert) {
  ArrayRecord* a = NewArray({9});
  for (int32_t i : {0, 9, 10, -1}) EXPECT_EQ(ArrayIndexInBounds(*a, 0, i), i == 0 || i == 9) << i;
  EXPECT_FALSE(ArrayIndexInBounds(*a, kArrayMaxDimensions, 0)) << "no such dimension in the record";
  uint32_t heap = SmallBlockBytesInUse();
  EXPECT_EQ(RuntimeDirectReadIntArray(a, 9), 0);
  EXPECT_EQ(RuntimeDirectReadDoubleArray(a, 9), 0.0);
  EXPECT_EQ(RuntimeDirectReadStringArray(a, 9), nullptr);
  EXPECT_EQ(RuntimeDirectReadObjectArray(a, 9), nullptr);
  EXPECT_EQ(SmallBlockBytesInUse(), heap) << "reads allocate nothing";
  RuntimeDisposeStringArray(a);
  a = NewArray({100});
  for (int32_t index : {3, 18, 19, 95}) RuntimeDirectWriteIntArray(a, index, index + 1000);
  EXPECT_EQ(TaggedSize(a->vector.data), 101u * 4);
  for (int32_t i : {3, 94, 95}) EXPECT_EQ(RuntimeDirectReadIntArray(a, i), i == 94 ? 0 : i + 1000) << i;
  RuntimeDisposeIntArray(a);

  a = RuntimeCreateArray();
  for (int32_t d = 0; d < 20; ++d) RuntimeArrayCreateAddIndex(a, 2, 2 + d);  // upper - lower is the bound
  for (int32_t i : {19, 20}) EXPECT_EQ(ArrayIndexInBounds(*a, 19, i), i == 19) << i;
  RuntimeDisposeIntArray(a);
  EXPECT_EQ(RuntimeDirectReadStringArray(nullptr, 0), nullptr);
  EXPECT_EQ(RuntimeUBound(nullptr), -1);
  a = NewArray({3});
  RuntimeDirectWriteIntArray(a, 0, 1);
  RuntimeArrayCreateAddIndex(a, 0, 3);  // would turn the stored element into a row
  EXPECT_EQ(a->dimensions, 1u);
  RuntimeDisposeIntArray(a);
  EXPECT_EQ(assertions.seen.size(), 3u);
}

TEST_F(ArrayTest, StringsAndObjectsAreCountedOnStoreAndRemoveAndListOperationsMoveTheElementsAfterThem) {
  StringRecord *first = NewString("first"), *second = NewString("second");
  ArrayRecord* a = NewArray({4});
  RuntimeDirectWriteStringArray(a, 1, first);
  EXPECT_EQ(first->refCount, 2u);
  StringRecord* read = RuntimeDirectReadStringArray(a, 1);
  EXPECT_EQ(first->refCount, 3u) << "a read hands out a reference of its own";
  RuntimeUnlockString(read);
  RuntimeDirectWriteStringArray(a, 1, first);  // the same string again
  EXPECT_EQ(first->refCount, 2u);
  RuntimeDirectWriteStringArray(a, 1, second);
  RuntimeDirectWriteStringArray(a, 4, second);
  EXPECT_EQ(first->refCount, 1u);
  EXPECT_EQ(second->refCount, 3u);
  RuntimeStringArrayRemove(a, 4);
  EXPECT_EQ(second->refCount, 2u);
  RuntimeDisposeStringArray(a);
  EXPECT_EQ(second->refCount, 1u);
  ArrayRecord* only = NewArray({-1});
  RuntimeStringArrayAppend(only, first);
  RuntimeStringArrayRemove(only, 0);  // removing the only string releases it
  EXPECT_EQ(first->refCount, 1u);
  EXPECT_EQ(RuntimeUBound(only), -1);
  RuntimeDisposeStringArray(only);
  RuntimeUnlockString(first);
  RuntimeUnlockString(second);

  ClassRecord* cls = NewClassRecord("ArrayElement");
  cls->instanceSize = sizeof(ObjectRecord);
  ObjectRecord* o = NewObjectOfClass(cls);
  ArrayRecord* objects = NewArray({2});
  RuntimeDirectWriteObjectArray(objects, 0, o);
  RuntimeDirectWriteObjectArray(objects, 2, o);
  EXPECT_EQ(o->refCount, 3u);
  RuntimeDirectWriteObjectArray(objects, 0, nullptr);
  EXPECT_EQ(o->refCount, 2u);
  RuntimeDisposeObjectArray(objects);
  EXPECT_EQ(o->refCount, 1u);
  RuntimeUnlockObject(o);
  DestroyClassRecord(cls);

  ArrayRecord* b = NewArray({2});  // three elements, none stored
  for (int32_t v = 1; v <= 20; ++v) RuntimeIntArrayAppend(b, v);
  EXPECT_EQ(RuntimeUBound(b), 22);
  for (auto [i, v] : {std::pair{2, 0}, {3, 1}, {22, 20}}) EXPECT_EQ(RuntimeDirectReadIntArray(b, i), v) << i;
  RuntimeDisposeIntArray(b);
  a = IntArrayOf({10, 20, 30});  // from bound -1: the first append is at 0
  RuntimeIntArrayInsert(a, 1, 15);
  EXPECT_EQ(Ints(a), (std::vector<int32_t>{10, 15, 20, 30}));
  RuntimeIntArrayRemove(a, 0);
  RuntimeIntArrayRemove(a, 2);
  EXPECT_EQ(Ints(a), (std::vector<int32_t>{15, 20}));
  RuntimeDisposeIntArray(a);
}

TEST_F(ArrayTest, RedimCutsALevelWithTheRowsBelowItAndTheCursorBuildsOnlyThePathItTakes) {
  StringRecord* s = NewString("cell");
  ArrayRecord* a = NewArray({2, 3});
  for (int32_t r = 0; r <= 2; ++r)
    for (int32_t c = 0; c <= 3; ++c) {
      RuntimeArrayStartWriteAccess(a, r);
      RuntimeWriteStringArray(a, c, s);
    }
  EXPECT_EQ(s->refCount, 13u);
  RuntimeRedimStringArrayLevel(a, 1, 1);  // every row keeps two elements
  EXPECT_EQ(s->refCount, 7u);
  RuntimeRedimStringArrayLevel(a, 0, 0);  // rows 1 and 2 go with their elements
  EXPECT_EQ(s->refCount, 3u);
  RuntimeRedimStringArrayLevel(a, 1, 3);  // growing only moves the bound
  EXPECT_EQ(a->upperBound[1], 3);
  EXPECT_EQ(ChildAt(a->vector, 0)->count, 2u);
  for (int32_t c = 0; c <= 3; ++c) {
    RuntimeArrayStartReadAccess(a, 0);
    EXPECT_EQ(Take(RuntimeReadStringArray(a, c)), c <= 1 ? "cell" : "") << c;
  }
  RuntimeDisposeStringArray(a);
  EXPECT_EQ(s->refCount, 1u);
  RuntimeUnlockString(s);
  // No cursor is left into a freed row: the write lands nowhere.
  a = NewArray({3, 3});
  RuntimeArrayStartWriteAccess(a, 3);
  RuntimeRedimIntArrayLevel(a, 0, 0);
  EXPECT_EQ(a->cursor, nullptr);
  RuntimeWriteIntArray(a, 2, 9);
  RuntimeRedimIntArrayLevel(a, 0, 3);
  RuntimeArrayStartReadAccess(a, 3);
  EXPECT_EQ(RuntimeReadIntArray(a, 2), 0);
  RuntimeDisposeIntArray(a);
  // A write through the cursor builds only the path it takes; reads build nothing.
  ArrayRecord* b = NewArray({4, 4, 4});
  RuntimeArrayStartWriteAccess(b, 1);
  RuntimeArrayAddWriteIndex(b, 2);
  RuntimeWriteDoubleArray(b, 3, 0.75);
  ASSERT_EQ(b->vector.count, 2u);
  EXPECT_EQ(ChildAt(b->vector, 0), nullptr);
  ASSERT_NE(ChildAt(b->vector, 1), nullptr);
  EXPECT_EQ(ChildAt(b->vector, 1)->count, 3u);
  uint32_t heap = SmallBlockBytesInUse();
  const struct {
    int32_t i, j, k;
    double value;
  } reads[] = {{1, 2, 3, 0.75}, {1, 2, 0, 0}, {1, 1, 3, 0}, {4, 4, 4, 0}};
  for (const auto& r : reads) {
    RuntimeArrayStartReadAccess(b, r.i);
    RuntimeArrayAddReadIndex(b, r.j);
    EXPECT_EQ(RuntimeReadDoubleArray(b, r.k), r.value) << r.i << "," << r.j << "," << r.k;
  }
  EXPECT_EQ(SmallBlockBytesInUse(), heap);
  RuntimeDisposeIntArray(b);
}

TEST_F(ArrayTest, IntegersOfEverySizeSortAscendingAndStringsInLocaleOrderKeepingTheirReferences) {
  // Sizes 0 to 60 with many repeats, then 300 ascending and 300 descending.
  uint32_t seed = 12345;
  for (int32_t n = 0; n <= 62; ++n) {
    std::vector<int32_t> values;
    for (int32_t i = 0; i < (n <= 60 ? n : 300); ++i) {
      seed = seed * 1103515245u + 12345u;
      values.push_back(n == 61 ? i : n == 62 ? 300 - i : static_cast<int32_t>((seed >> 16) % 23) - 11);
    }
    ArrayRecord* a = IntArrayOf(values);
    RuntimeIntArraySort(a);
    std::vector<int32_t> expected = values;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Ints(a), expected) << "n = " << values.size();
    RuntimeDisposeIntArray(a);
  }
  ArrayRecord* b = NewArray({-1});
  for (const char* text : {"b", "a", "D", "b", "a", "c", "b"}) {
    StringRecord* s = NewString(text);
    RuntimeStringArrayAppend(b, s);
    RuntimeUnlockString(s);
  }
  RuntimeStringArraySort(b);
  const char* expected[] = {"a", "a", "b", "b", "b", "c", "D"};  // byte order would put "D" first
  for (int32_t i = 0; i < 7; ++i) {
    StringRecord* s = RuntimeDirectReadStringArray(b, i);
    EXPECT_EQ(s->refCount, 2u) << "a sort moves references without counting them";
    EXPECT_EQ(Take(s), expected[i]) << i;
  }
  RuntimeDisposeStringArray(b);
}

TEST_F(ArrayTest, FastBooleanBoundFourAcceptsZeroThroughFourAndInsertAtFiveAppends) {
  FastBooleanArray* a = RuntimeCreateFastBooleanArray(4);
  auto bools = [a] {
    std::vector<int> out;
    for (int32_t i = 0; i <= RuntimeFastArrayUBound(a); ++i) out.push_back(RuntimeFastReadBoolArray(a, i));
    return out;
  };
  EXPECT_EQ(RuntimeFastArrayUBound(a), 4);
  const struct {
    int32_t index;
    bool forInsert, in;
  } bounds[] = {{4, false, true}, {5, false, false}, {-1, false, false}, {5, true, true}, {6, true, false}};
  for (auto b : bounds) EXPECT_EQ(FastBooleanIndexInBounds(a, b.index, b.forInsert), b.in) << b.index << b.forInsert;
  EXPECT_EQ(bools(), (std::vector<int>{0, 0, 0, 0, 0}));
  RuntimeFastWriteBoolArray(a, 1, true);
  RuntimeFastBooleanArrayInsert(a, 5, true);
  EXPECT_EQ(bools(), (std::vector<int>{0, 1, 0, 0, 0, 1}));
  RuntimeDisposeFastBooleanArray(a);
}

}  // namespace
