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
#include <vector>

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
  EXPECT_TRUE(!result || result->length > 0);
  return std::string(StringRef::Adopt(result).View());
}

// A call, its result and the text expected of it.
struct Case {
  const char* call;
  StringRecord* result;
  const char* text;
};
void ExpectTexts(std::initializer_list<Case> cases) {
  for (const Case& c : cases) EXPECT_EQ(T(c.result), c.text) << c.call;
}

// Each result must be the argument's record, with a reference of its own.
void ExpectShares(const StringRef& argument, std::initializer_list<StringRecord*> results) {
  EXPECT_EQ(argument.get()->refCount, 1 + results.size());
  int i = 0;
  for (StringRecord* result : results) {
    EXPECT_EQ(result, argument.get()) << "result " << i++;
    RuntimeUnlockString(result);
  }
}

TEST_F(StringFunctions, ConcatenationSharesAnEmptySidesPartner) {
  StringRef ab = S("ab"), cd = S("cd");
  EXPECT_EQ(T(RuntimeAddString(ab.get(), cd.get())), "abcd");
  ExpectShares(ab, {RuntimeAddString(ab.get(), nullptr)});
  ExpectShares(cd, {RuntimeAddString(nullptr, cd.get())});
  EXPECT_EQ(RuntimeAddString(nullptr, nullptr), nullptr);
  StringRef half = S(std::string(150, 'h'));
  StringRef joined = StringRef::Adopt(RuntimeAddString(half.get(), half.get()));
  EXPECT_EQ(joined.Length(), 300u);
  EXPECT_EQ(joined.get()->buffer[0], 255);
  EXPECT_EQ(joined.get()->buffer[301], 0);
}

TEST_F(StringFunctions, PositionsAndCountsAreClampedAndWholeResultsShared) {
  StringRef abc = S("abc"), s = S("abcdef");
  ExpectTexts({{"Left 2", StringLeft(abc.get(), 2), "ab"},
               {"Right 2", StringRight(abc.get(), 2), "bc"},
               {"Left 0", StringLeft(abc.get(), 0), ""},
               {"Right -1", StringRight(abc.get(), -1), ""},
               {"Left min", StringLeft(abc.get(), INT_MIN), ""},
               {"Mid 2", StringMid2(abc.get(), 2), "bc"},
               {"Mid 3", StringMid2(abc.get(), 3), "c"},
               {"Mid 4", StringMid2(abc.get(), 4), ""},
               {"Mid max", StringMid2(abc.get(), INT_MAX), ""},
               // A start before the text shortens the count.
               {"Mid 0 3", StringMid3(s.get(), 0, 3), "ab"},
               {"Mid -1 3", StringMid3(s.get(), -1, 3), "a"},
               {"Mid -2 3", StringMid3(s.get(), -2, 3), ""},
               {"Mid 2 3", StringMid3(s.get(), 2, 3), "bcd"},
               {"Mid 5 100", StringMid3(s.get(), 5, 100), "ef"},
               {"Mid 7 1", StringMid3(s.get(), 7, 1), ""},
               {"Mid 2 0", StringMid3(s.get(), 2, 0), ""},
               {"Mid min max", StringMid3(s.get(), INT_MIN, INT_MAX), ""},
               {"Mid max max", StringMid3(s.get(), INT_MAX, INT_MAX), ""}});
  ExpectShares(abc, {StringLeft(abc.get(), 3), StringRight(abc.get(), INT_MAX), StringMid2(abc.get(), 0),
                     StringMid2(abc.get(), 1), StringMid2(abc.get(), INT_MIN)});
  ExpectShares(s, {StringMid3(s.get(), 1, 6), StringMid3(s.get(), 0, 7), StringMid3(s.get(), 1, INT_MAX)});
  for (StringRecord* none : {StringLeft(nullptr, 5), StringRight(nullptr, 5), StringMid2(nullptr, 1)})
    EXPECT_EQ(none, nullptr);
  // The image's constants are shared and copied like others.
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

TEST_F(StringFunctions, CaseAndTrimmingMakeCopiesUnlessNothingChanges) {
  StringRef mixed = S("hELLO wORLD"), upper = S("ABC"), padded = S(" \t a b \t "), bare = S("a b");
  StringRef extra = mixed;  // a shared argument must not be written
  ExpectTexts({{"UCase", StringUCase(mixed.get()), "HELLO WORLD"},
               {"LCase", StringLCase(mixed.get()), "hello world"},
               {"Title", StringTitleCase(mixed.get()), "Hello World"},
               {"Title spaces", StringTitleCase(S("  two\tWORDS").get()), "  Two\tWords"},
               {"Title marks", StringTitleCase(S("o'NEIL 123abc").get()), "O'neil 123abc"},
               {"LTrim", runLTrim(padded.get()), "a b \t "},
               {"RTrim", runRTrim(padded.get()), " \t a b"},
               {"Trim", runTrim(padded.get()), "a b"}});
  EXPECT_EQ(mixed.View(), "hELLO wORLD");
  StringRecord* same = StringUCase(upper.get());
  EXPECT_NE(same, upper.get());
  EXPECT_EQ(T(same), "ABC");
  StringRef spaces = S("    ");
  for (StringRecord* none : {runTrim(spaces.get()), runLTrim(spaces.get()), runRTrim(spaces.get()),
                             runTrim(nullptr), StringLCase(nullptr), StringUCase(nullptr),
                             StringTitleCase(nullptr)})
    EXPECT_EQ(none, nullptr);
  ExpectShares(bare, {runTrim(bare.get()), runLTrim(bare.get()), runRTrim(bare.get())});
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

TEST_F(StringFunctions, InStrFindsCaseInsensitivelyFromAClampedStart) {
  const struct {
    int32_t start;
    const char *text, *find;
    int32_t found;
  } rows[] = {{1, "abc", nullptr, 0}, {3, "abc", nullptr, 2}, {1, nullptr, nullptr, 0},
              {1, "Hello", "LL", 3},  {0, "abc", "a", 1},      {INT_MIN, "abc", "c", 3},  // the last place
              {2, "abc", "a", 0},     {4, "abc", "c", 0},      {INT_MAX, "abc", "c", 0},
              {2, "abc", "bcd", 0},   {1, "abab", "BA", 2}};
  for (const auto& row : rows) {
    StringRef text = row.text ? S(row.text) : StringRef(), find = row.find ? S(row.find) : StringRef();
    EXPECT_EQ(StringInStr(row.start, text.get(), find.get()), row.found)
        << row.start << " " << (row.text ? row.text : "") << " " << (row.find ? row.find : "");
  }
}

TEST_F(StringFunctions, ReplaceChangesTheFirstMatchAndReplaceAllNeverSearchesInsertedText) {
  StringRef s = S("one two ONE"), aaa = S("aaa"), a = S("a");
  ExpectTexts({{"one", StringReplace(s.get(), S("one").get(), S("1").get()), "1 two ONE"},
               {"TWO", StringReplace(s.get(), S("TWO").get(), nullptr), "one  ONE"},
               {"whole", StringReplace(s.get(), S("ONE TWO one").get(), nullptr), ""},
               {"a to aa", StringReplaceAll(aaa.get(), a.get(), S("aa").get()), "aaaaaa"},
               {"a to nothing", StringReplaceAll(aaa.get(), a.get(), nullptr), ""},
               {"x", StringReplaceAll(S("aXbxc").get(), S("x").get(), S("--").get()), "a--b--c"},
               {"aa", StringReplaceAll(S("aaaa").get(), S("aa").get(), S("b").get()), "bb"}});
  ExpectShares(s, {StringReplace(s.get(), S("three").get(), S("3").get()),
                   StringReplace(s.get(), nullptr, S("3").get())});
  ExpectShares(aaa, {StringReplaceAll(aaa.get(), S("b").get(), a.get()),
                     StringReplaceAll(aaa.get(), nullptr, a.get())});
  EXPECT_EQ(StringReplace(nullptr, S("a").get(), S("b").get()), nullptr);
}

TEST_F(StringFunctions, FieldsAreSplitAtNonOverlappingDelimiters) {
  const struct {
    const char *text, *delimiter;
    int32_t count;
    std::vector<const char*> fields;
  } rows[] = {{nullptr, ",", 0, {""}},         {"a,,b", ",", 3, {"a", "", "b", ""}},
              {"abc", nullptr, 1, {""}},       {"abc", ",", 1, {"abc"}},
              {",", ",", 2, {"", ""}},         {"aaa", "aa", 2, {"", "a"}},
              {"1<>22<>333", "<>", 3, {"1", "22", "333"}}, {"aXbxc", "x", 3, {"a", "b", "c"}}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.text ? row.text : "") + " by " + (row.delimiter ? row.delimiter : ""));
    StringRef text = row.text ? S(row.text) : StringRef(), by = row.delimiter ? S(row.delimiter) : StringRef();
    EXPECT_EQ(StringCountFields(text.get(), by.get()), row.count);
    for (size_t i = 0; i < row.fields.size(); ++i)
      EXPECT_EQ(T(StringNthField(text.get(), by.get(), static_cast<int32_t>(i + 1))), row.fields[i]) << i + 1;
    EXPECT_EQ(T(StringNthField(text.get(), by.get(), 0)), "");
  }
  StringRef whole = S("abc");
  ExpectShares(whole, {StringNthField(whole.get(), S(",").get(), 1)});
}

TEST_F(StringFunctions, ComparisonsByCaseBytesAndLocale) {
  // Mode 0 of StrCompare compares unsigned bytes; other modes use the locale
  // with case, and the runtime's own comparison ignores case. 9: locale-bound.
  const struct {
    const char *a, *b;
    int32_t runtime, bytes, locale;
  } rows[] = {{"abc", "ABC", 0, 1, -1},  // the locale puts lower case first
              {"abc", "abd", -1, -1, -1}, {"abd", "ABC", 1, 1, 1},  {nullptr, "abc", -1, -1, -1},
              {"abc", nullptr, 1, 1, 1},  {nullptr, nullptr, 0, 0, 0}, {"ab", "abc", -1, -1, -1},
              {"ABC", "abd", -1, -1, -1},  // unlike bytes: 'A' < 'a' < 'b'
              {"\xE9", "z", 9, 1, 9}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.a ? row.a : "nil") + " vs " + (row.b ? row.b : "nil"));
    StringRef a = row.a ? S(row.a) : StringRef(), b = row.b ? S(row.b) : StringRef();
    if (row.runtime != 9) {
      EXPECT_EQ(RuntimeStringCompare(a.get(), b.get()), row.runtime);
    }
    EXPECT_EQ(StringStrCompare(a.get(), b.get(), 0), row.bytes);
    int32_t mode = row.a && row.a[0] == 'A' ? -7 : 1;
    if (row.locale != 9) {
      EXPECT_EQ(StringStrCompare(a.get(), b.get(), mode), row.locale);
    }
  }
  // Full lengths: an embedded zero byte does not end the text.
  EXPECT_EQ(RuntimeStringCompare(S(std::string("a\0b", 3)).get(), S(std::string("a\0c", 3)).get()), -1);
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
  ExpectShares(s, {StringDBCSLeft(s.get(), 6)});
}

}  // namespace
