// The string entry points on single-byte text (lead bytes decided for code
// page 1252, so that a double-byte machine runs the same cases): clamping of
// positions, sharing of whole-string results, case-insensitive search and
// fields, trimming, case and comparison. Accented letters go through the
// user locale, so those cases run only where that is Western. Every test checks that the heap is
// back where it started, so a leaked or doubly released reference fails.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <string>

#include "objects/dbcs.h"
#include "objects/small_heap.h"
#include "objects/strings.h"

namespace {

class StringFunctions : public testing::Test {
 protected:
  void SetUp() override {
    UseCodePageForTesting(1252);
    heapBefore_ = SmallBlockBytesInUse();
  }
  void TearDown() override {
    EXPECT_EQ(SmallBlockBytesInUse(), heapBefore_) << "a reference leaked";
    RestoreProcessCodePage();
  }

 private:
  uint32_t heapBefore_ = 0;
};

StringRef S(std::string_view text) { return StringRef::Adopt(NewString(text)); }

// Takes over a function result and gives its text; a non-null result must
// never be empty (the empty string is the null handle).
std::string T(StringRecord* result) {
  if (result) {
    EXPECT_GT(result->length, 0u);
  }
  StringRef owned = StringRef::Adopt(result);
  return std::string(owned.View());
}

// The result must be the argument's record with one more reference.
void ExpectShares(StringRecord* result, const StringRef& argument) {
  EXPECT_EQ(result, argument.get());
  if (result) {
    EXPECT_EQ(result->refCount, 2u);
  }
  RuntimeUnlockString(result);
}

TEST_F(StringFunctions, ConcatenationSharesAnEmptySidesPartner) {
  StringRef ab = S("ab"), cd = S("cd");
  EXPECT_EQ(T(RuntimeAddString(ab.get(), cd.get())), "abcd");
  ExpectShares(RuntimeAddString(ab.get(), nullptr), ab);
  ExpectShares(RuntimeAddString(nullptr, cd.get()), cd);
  EXPECT_EQ(RuntimeAddString(nullptr, nullptr), nullptr);

  StringRef half = S(std::string(150, 'h'));
  StringRef joined = StringRef::Adopt(RuntimeAddString(half.get(), half.get()));
  EXPECT_EQ(joined.Length(), 300u);
  EXPECT_EQ(joined.get()->buffer[0], 255);
  EXPECT_EQ(joined.get()->buffer[301], 0);
}

TEST_F(StringFunctions, LeftAndRightClampTheirCount) {
  StringRef abc = S("abc");
  EXPECT_EQ(T(StringLeft(abc.get(), 2)), "ab");
  EXPECT_EQ(T(StringRight(abc.get(), 2)), "bc");
  EXPECT_EQ(T(StringLeft(abc.get(), 0)), "");
  EXPECT_EQ(T(StringRight(abc.get(), -1)), "");
  EXPECT_EQ(T(StringLeft(abc.get(), INT_MIN)), "");
  ExpectShares(StringLeft(abc.get(), 3), abc);
  ExpectShares(StringRight(abc.get(), INT_MAX), abc);
  EXPECT_EQ(StringLeft(nullptr, 5), nullptr);
  EXPECT_EQ(StringRight(nullptr, 5), nullptr);
}

TEST_F(StringFunctions, Mid2StartsAtAClampedPosition) {
  StringRef abc = S("abc");
  ExpectShares(StringMid2(abc.get(), 0), abc);
  ExpectShares(StringMid2(abc.get(), 1), abc);
  ExpectShares(StringMid2(abc.get(), INT_MIN), abc);
  EXPECT_EQ(T(StringMid2(abc.get(), 2)), "bc");
  EXPECT_EQ(T(StringMid2(abc.get(), 3)), "c");
  EXPECT_EQ(T(StringMid2(abc.get(), 4)), "");
  EXPECT_EQ(T(StringMid2(abc.get(), INT_MAX)), "");
  EXPECT_EQ(StringMid2(nullptr, 1), nullptr);
}

TEST_F(StringFunctions, Mid3ShortensTheCountByAStartBeforeTheText) {
  StringRef s = S("abcdef");
  EXPECT_EQ(T(StringMid3(s.get(), 0, 3)), "ab");
  EXPECT_EQ(T(StringMid3(s.get(), -1, 3)), "a");
  EXPECT_EQ(T(StringMid3(s.get(), -2, 3)), "");
  EXPECT_EQ(T(StringMid3(s.get(), 2, 3)), "bcd");
  EXPECT_EQ(T(StringMid3(s.get(), 5, 100)), "ef");
  EXPECT_EQ(T(StringMid3(s.get(), 7, 1)), "");
  EXPECT_EQ(T(StringMid3(s.get(), 2, 0)), "");
  EXPECT_EQ(T(StringMid3(s.get(), INT_MIN, INT_MAX)), "");
  EXPECT_EQ(T(StringMid3(s.get(), INT_MAX, INT_MAX)), "");
  ExpectShares(StringMid3(s.get(), 1, 6), s);
  ExpectShares(StringMid3(s.get(), 0, 7), s);
  ExpectShares(StringMid3(s.get(), 1, INT_MAX), s);
}

TEST_F(StringFunctions, ImageConstantsAreSharedAndCopiedLikeOthers) {
  uint8_t buffer[] = {6, 'a', 'b', 'c', 'd', 'e', 'f', 0};
  StringRecord constant{1, buffer, 6, 6};
  StringRecord* whole = StringLeft(&constant, 10);
  EXPECT_EQ(whole, &constant);
  RuntimeUnlockString(whole);
  EXPECT_EQ(T(StringMid3(&constant, 2, 2)), "bc");
  EXPECT_EQ(constant.refCount, 1u);
}

TEST_F(StringFunctions, LengthAndCodes) {
  StringRef accented = S("\xE9t\xE9");
  EXPECT_EQ(StringLen(accented.get()), 3);
  EXPECT_EQ(StringLen(nullptr), 0);
  EXPECT_EQ(StringAsc(accented.get()), 0xE9);  // unsigned
  EXPECT_EQ(StringAsc(nullptr), 0);
  EXPECT_EQ(T(StringChr(0x141)), "A");
  EXPECT_EQ(T(StringChr(-1)), "\xFF");
  StringRef zero = StringRef::Adopt(StringChr(0));
  ASSERT_EQ(zero.Length(), 1u);
  EXPECT_EQ(zero.View()[0], '\0');
}

TEST_F(StringFunctions, CaseConversionMakesACopy) {
  StringRef mixed = S("Hello, World 42");
  EXPECT_EQ(T(StringUCase(mixed.get())), "HELLO, WORLD 42");
  EXPECT_EQ(T(StringLCase(mixed.get())), "hello, world 42");
  EXPECT_EQ(mixed.View(), "Hello, World 42");
  StringRef upper = S("ABC");
  StringRecord* same = StringUCase(upper.get());
  EXPECT_NE(same, upper.get());
  EXPECT_EQ(T(same), "ABC");
  EXPECT_EQ(StringLCase(nullptr), nullptr);
  EXPECT_EQ(StringUCase(nullptr), nullptr);
}

TEST_F(StringFunctions, TitleCaseCapitalisesEachWordAndLowersTheRest) {
  StringRef s = S("hELLO wORLD");
  StringRef extra = s;  // a shared argument must not be written
  EXPECT_EQ(T(StringTitleCase(s.get())), "Hello World");
  EXPECT_EQ(s.View(), "hELLO wORLD");
  EXPECT_EQ(T(StringTitleCase(S("  two\tWORDS").get())), "  Two\tWords");
  EXPECT_EQ(T(StringTitleCase(S("o'NEIL 123abc").get())), "O'neil 123abc");
  EXPECT_EQ(StringTitleCase(nullptr), nullptr);
}

TEST_F(StringFunctions, AccentedLettersFollowTheUserLocale) {
  if (GetACP() != 1252) GTEST_SKIP() << "the user locale is not Western";
  StringRef word = S("W\xF6rld");
  EXPECT_EQ(T(StringUCase(word.get())), "W\xD6RLD");
  EXPECT_EQ(T(StringLCase(word.get())), "w\xF6rld");
  EXPECT_EQ(T(StringTitleCase(S("\xE9T\xC9 \xF6").get())), "\xC9t\xE9 \xD6");
  EXPECT_EQ(StringInStr(1, S("caf\xC9").get(), S("\xE9").get()), 4);
  EXPECT_EQ(StringCountFields(S("x\xE9y\xC9z").get(), S("\xC9").get()), 3);
  EXPECT_EQ(RuntimeStringCompare(S("\xC9t\xE9").get(), S("\xE9T\xC9").get()), 0);
  EXPECT_EQ(StringStrCompare(S("\xE9").get(), S("z").get(), 1), -1);  // sorts with e
  EXPECT_TRUE(IsSpaceByte(0xA0));  // no-break space
}

TEST_F(StringFunctions, TrimmingRemovesSpacesAndTabs) {
  StringRef padded = S(" \t a b \t ");
  EXPECT_EQ(T(runLTrim(padded.get())), "a b \t ");
  EXPECT_EQ(T(runRTrim(padded.get())), " \t a b");
  EXPECT_EQ(T(runTrim(padded.get())), "a b");
  StringRef spaces = S("    ");
  EXPECT_EQ(runTrim(spaces.get()), nullptr);
  EXPECT_EQ(runLTrim(spaces.get()), nullptr);
  EXPECT_EQ(runRTrim(spaces.get()), nullptr);
  StringRef bare = S("a b");
  ExpectShares(runTrim(bare.get()), bare);
  ExpectShares(runLTrim(bare.get()), bare);
  ExpectShares(runRTrim(bare.get()), bare);
  EXPECT_EQ(runTrim(nullptr), nullptr);
}

TEST_F(StringFunctions, InStrFindsCaseInsensitivelyFromAClampedStart) {
  StringRef abc = S("abc"), hello = S("Hello"), empty;
  EXPECT_EQ(StringInStr(1, abc.get(), nullptr), 0);
  EXPECT_EQ(StringInStr(3, abc.get(), nullptr), 2);
  EXPECT_EQ(StringInStr(1, nullptr, nullptr), 0);
  EXPECT_EQ(StringInStr(1, hello.get(), S("LL").get()), 3);
  EXPECT_EQ(StringInStr(0, abc.get(), S("a").get()), 1);
  EXPECT_EQ(StringInStr(INT_MIN, abc.get(), S("c").get()), 3);
  EXPECT_EQ(StringInStr(2, abc.get(), S("a").get()), 0);
  EXPECT_EQ(StringInStr(4, abc.get(), S("c").get()), 0);
  EXPECT_EQ(StringInStr(INT_MAX, abc.get(), S("c").get()), 0);
  EXPECT_EQ(StringInStr(2, abc.get(), S("bcd").get()), 0);
  EXPECT_EQ(StringInStr(1, S("abab").get(), S("BA").get()), 2);
}

TEST_F(StringFunctions, ReplaceChangesTheFirstMatchOnly) {
  StringRef s = S("one two ONE");
  EXPECT_EQ(T(StringReplace(s.get(), S("one").get(), S("1").get())), "1 two ONE");
  EXPECT_EQ(T(StringReplace(s.get(), S("TWO").get(), nullptr)), "one  ONE");
  EXPECT_EQ(T(StringReplace(s.get(), S("ONE TWO one").get(), nullptr)), "");
  ExpectShares(StringReplace(s.get(), S("three").get(), S("3").get()), s);
  ExpectShares(StringReplace(s.get(), nullptr, S("3").get()), s);
  EXPECT_EQ(StringReplace(nullptr, S("a").get(), S("b").get()), nullptr);
}

TEST_F(StringFunctions, ReplaceAllNeverSearchesInsertedText) {
  StringRef aaa = S("aaa"), a = S("a");
  EXPECT_EQ(T(StringReplaceAll(aaa.get(), a.get(), S("aa").get())), "aaaaaa");
  EXPECT_EQ(T(StringReplaceAll(aaa.get(), a.get(), nullptr)), "");
  EXPECT_EQ(T(StringReplaceAll(S("aXbxc").get(), S("x").get(), S("--").get())), "a--b--c");
  EXPECT_EQ(T(StringReplaceAll(S("aaaa").get(), S("aa").get(), S("b").get())), "bb");
  ExpectShares(StringReplaceAll(aaa.get(), S("b").get(), a.get()), aaa);
  ExpectShares(StringReplaceAll(aaa.get(), nullptr, a.get()), aaa);
}

TEST_F(StringFunctions, CountFieldsCountsNonOverlappingDelimiters) {
  StringRef comma = S(",");
  EXPECT_EQ(StringCountFields(nullptr, comma.get()), 0);
  EXPECT_EQ(StringCountFields(S("a,,b").get(), comma.get()), 3);
  EXPECT_EQ(StringCountFields(S("abc").get(), nullptr), 1);
  EXPECT_EQ(StringCountFields(S("abc").get(), comma.get()), 1);
  EXPECT_EQ(StringCountFields(S(",").get(), comma.get()), 2);
  EXPECT_EQ(StringCountFields(S("aaa").get(), S("aa").get()), 2);
  EXPECT_EQ(StringCountFields(S("1<>2<>3").get(), S("<>").get()), 3);
  EXPECT_EQ(StringCountFields(S("aXbxc").get(), S("x").get()), 3);
}

TEST_F(StringFunctions, NthFieldTakesTheTextBetweenDelimiters) {
  StringRef comma = S(","), s = S("a,,b");
  EXPECT_EQ(T(StringNthField(s.get(), comma.get(), 1)), "a");
  EXPECT_EQ(T(StringNthField(s.get(), comma.get(), 2)), "");
  EXPECT_EQ(T(StringNthField(s.get(), comma.get(), 3)), "b");
  EXPECT_EQ(T(StringNthField(S("a,b").get(), comma.get(), 3)), "");
  EXPECT_EQ(T(StringNthField(s.get(), comma.get(), 0)), "");
  EXPECT_EQ(T(StringNthField(s.get(), nullptr, 1)), "");
  EXPECT_EQ(T(StringNthField(nullptr, comma.get(), 1)), "");
  EXPECT_EQ(T(StringNthField(S("1<>22<>333").get(), S("<>").get(), 3)), "333");
  EXPECT_EQ(T(StringNthField(S("aXbxc").get(), S("x").get(), 2)), "b");
  StringRef whole = S("abc");
  ExpectShares(StringNthField(whole.get(), comma.get(), 1), whole);
}

TEST_F(StringFunctions, RuntimeCompareIgnoresCase) {
  StringRef abc = S("abc"), upper = S("ABC"), abd = S("abd");
  EXPECT_EQ(RuntimeStringCompare(abc.get(), upper.get()), 0);
  EXPECT_EQ(RuntimeStringCompare(abc.get(), abd.get()), -1);
  EXPECT_EQ(RuntimeStringCompare(abd.get(), upper.get()), 1);
  EXPECT_EQ(RuntimeStringCompare(nullptr, abc.get()), -1);
  EXPECT_EQ(RuntimeStringCompare(abc.get(), nullptr), 1);
  EXPECT_EQ(RuntimeStringCompare(nullptr, nullptr), 0);
  EXPECT_EQ(RuntimeStringCompare(S("ab").get(), abc.get()), -1);
  // Full lengths: an embedded zero byte does not end the text.
  EXPECT_EQ(RuntimeStringCompare(S(std::string("a\0b", 3)).get(), S(std::string("a\0c", 3)).get()), -1);
}

TEST_F(StringFunctions, StrCompareModeZeroComparesBytes) {
  StringRef abc = S("abc"), upper = S("ABC");
  EXPECT_EQ(StringStrCompare(abc.get(), upper.get(), 0), 1);
  EXPECT_EQ(StringStrCompare(upper.get(), abc.get(), 0), -1);
  EXPECT_EQ(StringStrCompare(abc.get(), abc.get(), 0), 0);
  EXPECT_EQ(StringStrCompare(nullptr, abc.get(), 0), -1);
  EXPECT_EQ(StringStrCompare(nullptr, nullptr, 0), 0);
  EXPECT_EQ(StringStrCompare(S("ab").get(), abc.get(), 0), -1);
  EXPECT_EQ(StringStrCompare(S("\xE9").get(), S("z").get(), 0), 1);  // unsigned bytes
}

TEST_F(StringFunctions, StrCompareOtherModesUseTheLocaleWithCase) {
  StringRef abc = S("abc"), upper = S("ABC");
  EXPECT_EQ(StringStrCompare(abc.get(), upper.get(), 1), -1);  // the locale puts lower case first
  EXPECT_EQ(StringStrCompare(abc.get(), abc.get(), 1), 0);
  EXPECT_EQ(StringStrCompare(upper.get(), S("abd").get(), -7), -1);  // unlike bytes: 'A' < 'a' < 'b'
}

TEST_F(StringFunctions, DoubleByteVariantsEqualThePlainOnesInSingleByteMode) {
  ASSERT_FALSE(DbcsMode());
  StringRef s = S("\x82\xA0x\x82\xA2y");  // lead bytes of other code pages are plain letters here
  for (int32_t n : {INT_MIN, -1, 0, 1, 2, 3, 6, 7, INT_MAX}) {
    EXPECT_EQ(T(StringDBCSLeft(s.get(), n)), T(StringLeft(s.get(), n))) << n;
    EXPECT_EQ(T(StringDBCSRight(s.get(), n)), T(StringRight(s.get(), n))) << n;
    EXPECT_EQ(T(StringDBCSMid2(s.get(), n)), T(StringMid2(s.get(), n))) << n;
    for (int32_t count : {-1, 0, 1, 2, 5, INT_MAX})
      EXPECT_EQ(T(StringDBCSMid3(s.get(), n, count)), T(StringMid3(s.get(), n, count))) << n << " " << count;
    EXPECT_EQ(StringDBCSInStr(n, s.get(), S("\xA2").get()), StringInStr(n, s.get(), S("\xA2").get())) << n;
  }
  EXPECT_EQ(StringDBCSLen(s.get()), 6);
  EXPECT_EQ(StringDBCSAsc(s.get()), 0x82);
  EXPECT_EQ(T(StringDBCSChr(0x41)), "A");
  ExpectShares(StringDBCSLeft(s.get(), 6), s);
}

}  // namespace
