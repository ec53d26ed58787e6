// Strings on single-byte text (code page 1252; accented letters only under a
// Western user locale) and on Shift-JIS, whose trail bytes include 'A'-'Z',
// 'a'-'z' and '\'. Every test ends with the heap where it started.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "objects/dbcs.h"
#include "objects/small_heap.h"
#include "objects/strings.h"
#include "recorded_assertions.h"

namespace {

template <uint32_t kCodePage>
class TextIn : public testing::Test {
 protected:
  void SetUp() override {
    UseCodePageForTesting(kCodePage);
    heapBefore_ = SmallBlockBytesInUse();
  }
  void TearDown() override {
    EXPECT_EQ(SmallBlockBytesInUse(), heapBefore_) << "a reference leaked";
    RestoreProcessCodePage();
  }

 private:
  uint32_t heapBefore_ = 0;
};
using StringFunctions = TextIn<1252>;

StringRef S(std::string_view text) { return StringRef::Adopt(NewString(text)); }
StringRef SOrNil(const char* text) { return text ? S(text) : StringRef(); }

// Takes over a function result and gives its text; a non-null result must
// never be empty (the empty string is the null handle).
std::string T(StringRecord* result) {
  EXPECT_TRUE(!result || result->length > 0);
  return std::string(StringRef::Adopt(result).View());
}

// A call, its result and the text expected of it ("" only of the null handle).
struct Case {
  const char* call;
  StringRecord* result;
  std::string text;
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

// --- string records: layout, reference counts, copy-on-write, the handle.

TEST_F(StringFunctions, TheBufferHoldsALengthByteSaturatingAt255TheTextAndAZeroAndTheNullHandleIsEmpty) {
  for (size_t length : {1, 3, 254, 255, 256, 300}) {
    SCOPED_TRACE(length);
    std::string text(length, 'x');
    text.back() = 'y';
    StringRecord* s = NewString(text);
    EXPECT_EQ(s->length, length);
    EXPECT_EQ(s->bufferSize, length + 2);
    EXPECT_EQ(s->buffer[0], length < 256 ? length : 255);
    EXPECT_EQ(s->buffer[length], 'y');
    EXPECT_EQ(s->buffer[length + 1], 0);
    EXPECT_EQ(StringGetPString(s), s->buffer);  // both forms point into the one buffer
    EXPECT_EQ(StringToCString(s), reinterpret_cast<const char*>(s->buffer + 1));
    RuntimeUnlockString(s);
  }
  // Nothing below one byte is a record, and the null handle is empty.
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

TEST_F(StringFunctions, StringRefCountsReferencesAndARecordWithNoneIsReportedAndLeftAlone) {
  StringRecord* s = NewString("abc");
  {
    StringRef borrowed = StringRef::Borrow(s), copy = borrowed;
    copy = copy;  // keeps its reference
    StringRef moved = std::move(copy);
    EXPECT_EQ(copy.get(), nullptr);
    EXPECT_EQ(s->refCount, 3u);
    moved = StringRef::Adopt(NewString("xyz"));  // the old record goes, the new one is kept
    EXPECT_EQ(s->refCount, 2u);
    EXPECT_EQ(moved.View(), "xyz");
  }
  EXPECT_EQ(s->refCount, 1u);
  RuntimeUnlockString(s);
  // A record with no references may be off the heap, or freed already: freeing it would corrupt the heap.
  uint8_t deadText[] = {1, 'z', 0};
  StringRecord dead{0, deadText, 3, 1};
  RecordedAssertions assertions;
  RuntimeUnlockString(&dead);
  RuntimeLockString(&dead);
  EXPECT_EQ(assertions.seen.size(), 2u);
  EXPECT_EQ(dead.refCount, 0u);
}

// --- the string functions on single-byte text

TEST_F(StringFunctions, ConcatenationSharesAnEmptySidesPartner) {
  StringRef ab = S("ab"), cd = S("cd");
  EXPECT_EQ(T(RuntimeAddString(ab.get(), cd.get())), "abcd");
  ExpectShares(ab, {RuntimeAddString(ab.get(), nullptr)});
  ExpectShares(cd, {RuntimeAddString(nullptr, cd.get())});
  EXPECT_EQ(RuntimeAddString(nullptr, nullptr), nullptr);
  StringRef half = S(std::string(150, 'h'));
  EXPECT_EQ(T(RuntimeAddString(half.get(), half.get())), std::string(300, 'h'));
}

TEST_F(StringFunctions, PositionsAndCountsAreClampedAndWholeResultsShared) {
  StringRef abc = S("abc"), s = S("abcdef");
  ExpectTexts({{"Left 2", StringLeft(abc.get(), 2), "ab"},
               {"Right 2", StringRight(abc.get(), 2), "bc"},
               {"Left 0", StringLeft(abc.get(), 0), ""},
               {"Right -1", StringRight(abc.get(), -1), ""},
               {"Left min", StringLeft(abc.get(), INT_MIN), ""},
               {"Mid 3", StringMid2(abc.get(), 3), "c"},
               {"Mid 4", StringMid2(abc.get(), 4), ""},
               // A start before the text shortens the count.
               {"Mid 0 3", StringMid3(s.get(), 0, 3), "ab"},
               {"Mid -2 3", StringMid3(s.get(), -2, 3), ""},
               {"Mid 2 3", StringMid3(s.get(), 2, 3), "bcd"},
               {"Mid 5 100", StringMid3(s.get(), 5, 100), "ef"},
               {"Mid 7 1", StringMid3(s.get(), 7, 1), ""},
               {"Mid 2 0", StringMid3(s.get(), 2, 0), ""},
               {"Mid min max", StringMid3(s.get(), INT_MIN, INT_MAX), ""},
               {"Mid max max", StringMid3(s.get(), INT_MAX, INT_MAX), ""},
               {"Left nil", StringLeft(nullptr, 5), ""},
               {"Right nil", StringRight(nullptr, 5), ""},
               {"Mid nil", StringMid2(nullptr, 1), ""}});
  ExpectShares(abc, {StringLeft(abc.get(), 3), StringRight(abc.get(), INT_MAX), StringMid2(abc.get(), 0),
                     StringMid2(abc.get(), 1), StringMid2(abc.get(), INT_MIN)});
  ExpectShares(s, {StringMid3(s.get(), 1, 6), StringMid3(s.get(), 0, 7), StringMid3(s.get(), 1, INT_MAX)});
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
  EXPECT_EQ(T(StringChr(0)), std::string(1, '\0'));
}

TEST_F(StringFunctions, CaseAndTrimmingMakeCopies) {
  StringRef mixed = S("hELLO wORLD"), upper = S("ABC"), spaces = S("    ");
  StringRef extra = mixed;  // a shared argument must not be written
  ExpectTexts({{"UCase", StringUCase(mixed.get()), "HELLO WORLD"},
               {"LCase", StringLCase(mixed.get()), "hello world"},
               {"Title", StringTitleCase(mixed.get()), "Hello World"},
               {"Trim", runTrim(S(" \t a b \t ").get()), "a b"}});
  EXPECT_EQ(mixed.View(), "hELLO wORLD");
  StringRecord* same = StringUCase(upper.get());
  EXPECT_NE(same, upper.get());
  EXPECT_EQ(T(same), "ABC");
  for (StringRecord* none :
       {runTrim(spaces.get()), runTrim(nullptr), StringLCase(nullptr), StringUCase(nullptr)})
    EXPECT_EQ(none, nullptr);
}

TEST_F(StringFunctions, AccentedLettersFollowTheUserLocale) {
  if (GetACP() != 1252) GTEST_SKIP() << "the user locale is not Western";
  StringRef word = S("W\xF6rld");
  EXPECT_EQ(T(StringUCase(word.get())), "W\xD6RLD");
  EXPECT_EQ(T(StringLCase(word.get())), "w\xF6rld");
  EXPECT_EQ(RuntimeStringCompare(S("\xC9t\xE9").get(), S("\xE9T\xC9").get()), 0);
  EXPECT_EQ(StringStrCompare(S("\xE9").get(), S("z").get(), 1), -1);  // sorts with e
  EXPECT_TRUE(IsSpaceByte(0xA0));  // no-break space
}

TEST_F(StringFunctions, InStrFindsCaseInsensitivelyFromAClampedStart) {
  const struct {
    int32_t start;
    const char *text, *find;
    int32_t found;
  } rows[] = {{3, "abc", nullptr, 2}, {1, nullptr, nullptr, 0}, {1, "Hello", "LL", 3},
              {INT_MIN, "abc", "c", 3},  // the last place
              {2, "abc", "a", 0}, {4, "abc", "c", 0}, {2, "abc", "bcd", 0}, {1, "abab", "BA", 2}};
  for (const auto& row : rows)
    EXPECT_EQ(StringInStr(row.start, SOrNil(row.text).get(), SOrNil(row.find).get()), row.found)
        << row.start << " " << (row.text ? row.text : "") << " " << (row.find ? row.find : "");
}

TEST_F(StringFunctions, ReplaceChangesTheFirstMatchAndReplaceAllNeverSearchesInsertedText) {
  StringRef s = S("one two ONE"), aaa = S("aaa"), a = S("a");
  ExpectTexts({{"one", StringReplace(s.get(), S("one").get(), S("1").get()), "1 two ONE"},
               {"TWO", StringReplace(s.get(), S("TWO").get(), nullptr), "one  ONE"},
               {"a to aa", StringReplaceAll(aaa.get(), a.get(), S("aa").get()), "aaaaaa"},
               {"a to nothing", StringReplaceAll(aaa.get(), a.get(), nullptr), ""},
               {"x", StringReplaceAll(S("aXbxc").get(), S("x").get(), S("--").get()), "a--b--c"},
               {"aa", StringReplaceAll(S("aaaa").get(), S("aa").get(), S("b").get()), "bb"}});
  ExpectShares(aaa, {StringReplaceAll(aaa.get(), S("b").get(), a.get()),
                     StringReplaceAll(aaa.get(), nullptr, a.get())});
  EXPECT_EQ(StringReplace(nullptr, S("a").get(), S("b").get()), nullptr);
}

TEST_F(StringFunctions, FieldsAreSplitAtNonOverlappingDelimiters) {
  const struct {
    const char *text, *delimiter;
    int32_t count;
    std::vector<const char*> fields;
  } rows[] = {{nullptr, ",", 0, {""}},
              {"a,,b", ",", 3, {"a", "", "b", ""}},
              {"abc", nullptr, 1, {""}},
              {"abc", ",", 1, {"abc"}},
              {",", ",", 2, {"", ""}},
              {"aaa", "aa", 2, {"", "a"}},
              {"aXbxc", "x", 3, {"a", "b", "c"}}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.text ? row.text : "") + " by " + (row.delimiter ? row.delimiter : ""));
    StringRef text = SOrNil(row.text), by = SOrNil(row.delimiter);
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
              {"abc", "abd", -1, -1, -1}, {"abd", "ABC", 1, 1, 1},     {nullptr, "abc", -1, -1, -1},
              {"abc", nullptr, 1, 1, 1},  {nullptr, nullptr, 0, 0, 0}, {"ab", "abc", -1, -1, -1},
              {"ABC", "abd", -1, -1, -1},  // unlike bytes: 'A' < 'a' < 'b'
              {"\xE9", "z", 9, 1, 9}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.a ? row.a : "nil") + " vs " + (row.b ? row.b : "nil"));
    StringRef a = SOrNil(row.a), b = SOrNil(row.b);
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

// --- numbers as text: every result is a new string the caller owns.

// Takes over a result: its text, after checking it is a fresh record.
std::string Take(StringRecord* s) {
  EXPECT_TRUE(!s || s->refCount == 1u);
  return T(s);
}

double Val(std::string_view text) { return StringVal(S(text).get()); }

TEST_F(StringFunctions, StrFixedNotationInItsRangeGeneralOutsideItAndHex) {
  const struct {
    double x;
    const char* text;
  } rows[] = {{-0.0, "0"},
              {100, "100"},
              {-42.25, "-42.25"},
              {123456.789, "123456.789"},
              {2.0 / 3, "0.6666667"},
              {0.00001, "0.00001"},
              {0.0000123456, "0.0000123"},  // seven decimals at most
              {12345678, "1.234568e+07"},
              {0.000001, "1e-06"},
              {-0.0000099999, "-9.9999e-06"},
              {1e300, "1e+300"}};
  for (const auto& row : rows) EXPECT_EQ(Take(StringStr(row.x)), row.text) << row.x;
  EXPECT_EQ(Take(runCStr(12345678)), "1.234568e+07");
  // Hex writes unsigned digits without leading zeros.
  for (auto [x, text] : {std::pair{0, "0"}, {255, "FF"}, {-1, "FFFFFFFF"}}) EXPECT_EQ(Take(RuntimeHex(x)), text);
}

TEST_F(StringFunctions, ValScansDecimalAndRadixNumbersUntilTheyEnd) {
  const struct {
    std::string_view text;
    double value;
  } rows[] = {{"12abc", 12},
              {" 3.5e2", 350},
              {"\t\r\n-2.5", -2.5},
              {"+7", 7},
              {".5", 0.5},
              {"5.", 5},
              {"1e+x", 1},
              {std::string_view("4\0002", 3), 4},  // zero-terminated
              // Text without a number.
              {"", 0},
              {"- 5", 0},
              {".", 0},
              {"0x1A", 0},
              {"&", 0},
              // Out of range saturates.
              {"1e999", HUGE_VAL},
              {"-1e999", -HUGE_VAL},
              {"1e-999", 0},
              // Radix literals skip foreign bytes and wrap at 32 bits.
              {"&h1G", 32},
              {"&HFFFFFFFF", -1},
              {"&h100000001", 1},
              {"&o17", 15},
              {"&B11111111111111111111111111111110", -2}};
  for (const auto& row : rows) EXPECT_EQ(Val(row.text), row.value) << row.text;
  EXPECT_EQ(runCDbl(S("&h10").get()), 16);
}

TEST_F(StringFunctions, FormatMasksWriteTheirPlacesSignsSectionsAndExponents) {
  const struct {
    double x;
    const char *mask, *text;
  } rows[] = {{1234567, "#,##0", "1,234,567"},
              {999.999, "#,##0.00", "1,000.00"},
              {5, "000", "005"},
              {2.346, "0.00", "2.35"},
              {0.1234, "0.0%", "12.3%"},
              // Signs come only from the mask.
              {-5, "#", "5"},
              {3, "+0", "+3"},
              {-3, "+0", "-3"},
              {-3, "-0", "-3"},
              // Sections for negatives and zero; without a zero section, the first.
              {1.26, "0.0;(0.0);\\N\\i\\l", "1.3"},
              {-2.5, "0.0;(0.0);\\N\\i\\l", "(2.5)"},
              {0, "0.0;(0.0);\\N\\i\\l", "Nil"},
              {0, "0;-0", "0"},
              {5, "", ""},
              // Escapes keep characters.
              {3, "\\#0", "#3"},
              {-0.000012345, "sCIENTIFIC", "-1.234500E-05"},
              {12345, "0.00E+", "1.23E+04"}};
  for (const auto& row : rows)
    EXPECT_EQ(Take(StringFormat(row.x, S(row.mask).get())), row.text) << row.x << " " << row.mask;
}

// --- double-byte text -------------------------------------------------------

// Shift-JIS characters.
constexpr char kA[] = "\x82\xA0";          // hiragana a
constexpr char kI[] = "\x82\xA2";          // hiragana i
constexpr char kKatakanaA[] = "\x83\x41";  // trail byte 'A'
constexpr char kKatakanaDi[] = "\x83\x61"; // trail byte 'a'
constexpr char kSo[] = "\x83\x5C";         // trail byte '\'
constexpr char kWideSpace[] = "\x81\x40";  // ideographic space
constexpr char kWideLowerA[] = "\x82\x81"; // full-width a
constexpr char kWideUpperA[] = "\x82\x60"; // full-width A

std::string J(std::initializer_list<std::string_view> parts) {
  std::string joined;
  for (std::string_view p : parts) joined.append(p);
  return joined;
}

using DbcsText = TextIn<932>;

TEST_F(DbcsText, LeadBytesEndTheirRangesATrailingOneStandsAloneAndTrailBytesAreSteppedOver) {
  // 'A', half-width katakana and 0x80 are characters of their own.
  for (int b : {0x81, 0x9F, 0xE0, 0x41, 0xA0, 0x80}) EXPECT_EQ(IsLeadByte(b), b > 0x80 && b != 0xA0) << b;
  EXPECT_EQ(CharacterCount("a\x82"), 2);
  EXPECT_EQ(T(StringUCase(S("a\x82").get())), "A\x82");
  StringRef path = S(J({kSo, "\\", kSo}));
  EXPECT_EQ(T(StringReplaceAll(path.get(), S("\\").get(), S("/").get())), J({kSo, "/", kSo}));
  EXPECT_EQ(T(StringReplace(path.get(), S("\\").get(), nullptr)), J({kSo, kSo}));
  EXPECT_EQ(StringCountFields(path.get(), S("\\").get()), 2);
  EXPECT_EQ(T(StringNthField(path.get(), S("\\").get(), 2)), kSo);
  StringRef spaced = S(J({kA, kWideSpace, kI, kWideSpace}));
  EXPECT_EQ(StringCountFields(spaced.get(), S(kWideSpace).get()), 3);
  EXPECT_EQ(T(StringNthField(spaced.get(), S(kWideSpace).get(), 2)), kI);
  EXPECT_EQ(StringCountFields(S(J({kKatakanaA, ",", kKatakanaA})).get(), S("a").get()), 1);
  EXPECT_EQ(T(StringUCase(S(J({kKatakanaDi, "a", kWideLowerA})).get())), J({kKatakanaDi, "A", kWideUpperA}));
  EXPECT_EQ(T(StringLCase(S(J({kKatakanaA, "B", kWideUpperA})).get())), J({kKatakanaA, "b", kWideLowerA}));
}

}  // namespace
