// String records: the buffer layout that compiled code reads directly, the
// reference counts that decide when heap blocks go back, copy-on-write, and
// the value semantics of the runtime's string handle.
#include <gtest/gtest.h>

#include <cstring>
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

TEST_F(StringRecordTest, LongStringKeepsFullLengthBehindA255LengthByte) {
  std::string text(300, 'x');
  text[299] = 'y';
  StringRecord* s = NewString(text);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->refCount, 1u);
  EXPECT_EQ(s->length, 300u);
  EXPECT_EQ(s->bufferSize, 302u);
  EXPECT_EQ(s->buffer[0], 255);
  EXPECT_EQ(s->buffer[300], 'y');
  EXPECT_EQ(s->buffer[301], 0);
  EXPECT_EQ(strlen(StringGetCString(s)), 300u);
  RuntimeUnlockString(s);
}

TEST_F(StringRecordTest, LengthByteSaturatesFrom256On) {
  for (int length : {1, 254, 255, 256}) {
    StringRecord* s = NewString(std::string(length, 'a'));
    EXPECT_EQ(s->buffer[0], length < 256 ? length : 255) << length;
    EXPECT_EQ(s->buffer[length + 1], 0) << length;
    RuntimeUnlockString(s);
  }
}

TEST_F(StringRecordTest, NothingBelowOneByteIsARecord) {
  EXPECT_EQ(NewString("abc", 0), nullptr);
  EXPECT_EQ(NewString("abc", -5), nullptr);
  EXPECT_EQ(ZORBBuildString("abc", 0), nullptr);
  StringRecord* s = ZORBBuildString("abcdef", 2);
  EXPECT_EQ(StringView(s), "ab");
  ZORBUnlockString(s);
}

TEST_F(StringRecordTest, FormsPointIntoTheBuffer) {
  StringRecord* s = NewString("abc");
  EXPECT_EQ(StringGetPString(s), s->buffer);
  EXPECT_EQ(StringToPString(s), s->buffer);
  EXPECT_EQ(StringGetCString(s), reinterpret_cast<const char*>(s->buffer + 1));
  EXPECT_EQ(StringToCString(s), StringGetCString(s));
  EXPECT_EQ(memcmp(StringGetPString(s), "\x03" "abc", 5), 0);
  RuntimeUnlockString(s);
}

TEST_F(StringRecordTest, TheNullHandleIsTheEmptyString) {
  RuntimeLockString(nullptr);
  RuntimeUnlockString(nullptr);
  ZORBLockString(nullptr);
  ZORBUnlockString(nullptr);
  EXPECT_STREQ(StringGetCString(nullptr), "");
  EXPECT_STREQ(StringToCString(nullptr), "");
  EXPECT_EQ(StringGetPString(nullptr)[0], 0);
  EXPECT_EQ(StringToPString(nullptr)[0], 0);
  EXPECT_EQ(StringLength(nullptr), 0u);
  EXPECT_TRUE(StringView(nullptr).empty());
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
  EXPECT_EQ(s->refCount, 1u);
  EXPECT_GT(SmallBlockBytesInUse(), before);
  RuntimeUnlockString(s);
  EXPECT_EQ(SmallBlockBytesInUse(), before);
}

std::string gLastAssertion;
void RecordAssertion(const char* what) { gLastAssertion = what; }

TEST_F(StringRecordTest, ACountOfZeroIsReportedAndLeftAlone) {
  // A record that is not on the heap: freeing it would corrupt the heap.
  uint8_t buffer[] = {1, 'z', 0};
  StringRecord dead{0, buffer, 3, 1};
  AssertionRecorder previous = SetAssertionRecorder(RecordAssertion);
  gLastAssertion.clear();
  RuntimeUnlockString(&dead);
  EXPECT_FALSE(gLastAssertion.empty());
  gLastAssertion.clear();
  RuntimeLockString(&dead);
  EXPECT_FALSE(gLastAssertion.empty());
  SetAssertionRecorder(previous);
  EXPECT_EQ(dead.refCount, 0u);
}

TEST_F(StringRecordTest, ImageConstantsAreLockedLikeOthersAndNeverFreed) {
  // The image's form: bufferSize equal to the length, one permanent reference.
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
  EXPECT_EQ(handle->refCount, 1u);

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
    EXPECT_EQ(s->refCount, 2u);
    StringRef copy = borrowed;
    EXPECT_EQ(s->refCount, 3u);
    copy = borrowed;  // the same record: no change
    EXPECT_EQ(s->refCount, 3u);
    copy = copy;
    EXPECT_EQ(s->refCount, 3u);
    StringRef moved = std::move(copy);
    EXPECT_EQ(copy.get(), nullptr);
    EXPECT_EQ(s->refCount, 3u);
    moved = StringRef();  // overwriting drops the reference
    EXPECT_EQ(s->refCount, 2u);
  }
  EXPECT_EQ(s->refCount, 1u);
  RuntimeUnlockString(s);
}

TEST_F(StringRecordTest, StringRefAdoptsAndReleases) {
  StringRef owner = StringRef::Adopt(NewString("abc"));
  EXPECT_EQ(owner.get()->refCount, 1u);
  EXPECT_EQ(owner.View(), "abc");
  EXPECT_EQ(owner.Length(), 3u);
  StringRef other = StringRef::Adopt(NewString("xyz"));
  owner = other;  // the old record goes, the new one is shared
  EXPECT_EQ(owner.get(), other.get());
  EXPECT_EQ(other.get()->refCount, 2u);
  StringRecord* released = owner.Release();
  EXPECT_EQ(owner.get(), nullptr);
  EXPECT_EQ(released->refCount, 2u);
  RuntimeUnlockString(released);
}

TEST_F(StringRecordTest, OSTypePacksTheFirstFourBytes) {
  StringRef text = StringRef::Adopt(NewString("TEXT"));
  StringRef longer = StringRef::Adopt(NewString("APPLxyz"));
  EXPECT_EQ(StringToOSType(text.get()), 0x54455854u);
  EXPECT_EQ(StringToOSType(longer.get()), 0x4150504Cu);
  EXPECT_EQ(StringToOSType(nullptr), 0x3F3F3F3Fu);
}

}  // namespace
