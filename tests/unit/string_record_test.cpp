// String records: the buffer layout that compiled code reads directly, the
// reference counts that decide when heap blocks go back, copy-on-write, and
// the value semantics of the runtime's string handle.
#include <gtest/gtest.h>

#include <string>

#include "objects/assertion.h"
#include "objects/small_heap.h"
#include "objects/strings.h"

namespace {

class StringRecordTest : public testing::Test {
 protected:
  void SetUp() override { heapBefore_ = SmallBlockBytesInUse(); }
  void TearDown() override { EXPECT_EQ(SmallBlockBytesInUse(), heapBefore_) << "a reference leaked"; }

 private:
  uint32_t heapBefore_ = 0;
};

TEST_F(StringRecordTest, TheBufferHoldsALengthByteSaturatingAt255TheTextAndAZero) {
  for (size_t length : {1, 3, 254, 255, 256, 300}) {
    SCOPED_TRACE(length);
    std::string text(length, 'x');
    text.back() = 'y';
    StringRecord* s = NewString(text);
    EXPECT_EQ(s->refCount, 1u);
    EXPECT_EQ(s->length, length);
    EXPECT_EQ(s->bufferSize, length + 2);
    EXPECT_EQ(s->buffer[0], length < 256 ? length : 255);
    EXPECT_EQ(s->buffer[length], 'y');
    EXPECT_EQ(s->buffer[length + 1], 0);
    EXPECT_EQ(StringGetPString(s), s->buffer);  // both forms point into the one buffer
    EXPECT_EQ(StringToCString(s), reinterpret_cast<const char*>(s->buffer + 1));
    RuntimeUnlockString(s);
  }
}

TEST_F(StringRecordTest, NothingBelowOneByteIsARecordAndTheNullHandleIsEmpty) {
  EXPECT_EQ(NewString("abc", 0), nullptr);
  EXPECT_EQ(NewString("abc", -5), nullptr);
  EXPECT_EQ(ZORBBuildString("abc", 0), nullptr);
  StringRecord* s = ZORBBuildString("abcdef", 2);
  EXPECT_EQ(StringView(s), "ab");
  ZORBUnlockString(s);
  RuntimeLockString(nullptr);
  ZORBUnlockString(nullptr);
  EXPECT_STREQ(StringGetCString(nullptr), "");
  EXPECT_EQ(StringToPString(nullptr)[0], 0);
}

TEST_F(StringRecordTest, LastUnlockReturnsBothBlocks) {
  uint32_t before = SmallBlockBytesInUse();
  StringRecord* s = NewString(std::string(100, 'q'));
  EXPECT_EQ(SmallBlockBytesInUse() - before, 16u + 104u);  // record + (100 + 2) rounded to words
  RuntimeLockString(s);
  ZORBLockString(s);
  EXPECT_EQ(s->refCount, 3u);
  RuntimeUnlockString(s);
  ZORBUnlockString(s);
  EXPECT_GT(SmallBlockBytesInUse(), before);
  RuntimeUnlockString(s);
  EXPECT_EQ(SmallBlockBytesInUse(), before);
}

std::string gLastAssertion;

TEST_F(StringRecordTest, RecordsOffTheHeapAreNeverFreed) {
  // A count of zero is reported and left alone: freeing would corrupt the heap.
  uint8_t deadText[] = {1, 'z', 0};
  StringRecord dead{0, deadText, 3, 1};
  AssertionRecorder previous = SetAssertionRecorder([](const char* what) { gLastAssertion = what; });
  for (void (*call)(StringRecord*) : {RuntimeUnlockString, RuntimeLockString}) {
    gLastAssertion.clear();
    call(&dead);
    EXPECT_FALSE(gLastAssertion.empty());
  }
  SetAssertionRecorder(previous);
  EXPECT_EQ(dead.refCount, 0u);
  // The image's constants: bufferSize equal to the length, one permanent reference.
  uint8_t buffer[] = {3, 'a', 'b', 'c', 0};
  StringRecord constant{1, buffer, 3, 3};
  RuntimeLockString(&constant);
  RuntimeUnlockString(&constant);
  EXPECT_EQ(constant.refCount, 1u);
  EXPECT_EQ(StringView(&constant), "abc");
}

TEST_F(StringRecordTest, MakePrivateCopiesOnlyWhenShared) {
  StringRecord* only = NewString("abc");
  StringRecord* handle = only;
  MakeStringPrivate(handle);
  EXPECT_EQ(handle, only);
  RuntimeLockString(only);  // now shared by two holders
  MakeStringPrivate(handle);
  ASSERT_NE(handle, only);
  EXPECT_EQ(only->refCount, 1u);
  EXPECT_EQ(handle->refCount, 1u);
  handle->buffer[1] = 'X';
  EXPECT_EQ(StringView(only), "abc");
  EXPECT_EQ(StringView(handle), "Xbc");
  RuntimeUnlockString(handle);
  RuntimeUnlockString(only);
  StringRecord* none = nullptr;
  MakeStringPrivate(none);
  EXPECT_EQ(none, nullptr);
}

TEST_F(StringRecordTest, StringRefCopiesLockAndDropsUnlock) {
  StringRecord* s = NewString("abc");
  {
    StringRef borrowed = StringRef::Borrow(s);
    StringRef copy = borrowed;
    EXPECT_EQ(s->refCount, 3u);
    copy = borrowed;  // the same record: no change
    copy = copy;
    EXPECT_EQ(s->refCount, 3u);
    StringRef moved = std::move(copy);
    EXPECT_EQ(copy.get(), nullptr);
    EXPECT_EQ(s->refCount, 3u);
    moved = StringRef::Adopt(NewString("xyz"));  // the old record goes, the new one is kept
    EXPECT_EQ(s->refCount, 2u);
    borrowed = moved;
    EXPECT_EQ(s->refCount, 1u);
    EXPECT_EQ(borrowed.View(), "xyz");
    StringRecord* released = moved.Release();
    EXPECT_EQ(moved.get(), nullptr);
    EXPECT_EQ(released->refCount, 2u);
    RuntimeUnlockString(released);
  }
  EXPECT_EQ(s->refCount, 1u);
  RuntimeUnlockString(s);
}

TEST_F(StringRecordTest, OSTypePacksTheFirstFourBytes) {
  EXPECT_EQ(StringToOSType(StringRef::Adopt(NewString("TEXT")).get()), 0x54455854u);
  EXPECT_EQ(StringToOSType(StringRef::Adopt(NewString("APPLxyz")).get()), 0x4150504Cu);
  EXPECT_EQ(StringToOSType(nullptr), 0x3F3F3F3Fu);
}

}  // namespace
