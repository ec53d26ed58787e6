// Number conversions: the texts Str and Format write, what Val reads back, and
// that every result is a new string the caller owns.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "objects/small_heap.h"
#include "objects/strings.h"

namespace {

// Takes over a result: its text, after checking it is a fresh record.
std::string Take(StringRecord* s) {
  if (!s) return "";
  EXPECT_EQ(s->refCount, 1u);
  std::string text(StringView(s));
  RuntimeUnlockString(s);
  return text;
}

double Val(std::string_view text) {
  StringRef s = StringRef::Adopt(NewString(text));
  return StringVal(s.get());
}

TEST(NumberStr, FixedNotationInItsRangeGeneralOutsideIt) {
  const struct {
    double x;
    const char* text;
  } rows[] = {{-0.0, "0"},          {2.5, "2.5"},
              {100, "100"},         {-42.25, "-42.25"},
              {123456.789, "123456.789"}, {2.0 / 3, "0.6666667"},
              {0.00001, "0.00001"}, {0.0000123456, "0.0000123"},  // fixed keeps only seven decimals
              {1000000, "1000000"}, {12345678, "1.234568e+07"},
              {0.000001, "1e-06"},  {-0.0000099999, "-9.9999e-06"},
              {1e300, "1e+300"}};
  for (const auto& row : rows) EXPECT_EQ(Take(StringStr(row.x)), row.text) << row.x;
  EXPECT_EQ(Take(runCStr(12345678)), "1.234568e+07");
}

TEST(NumberVal, ScansDecimalAndRadixNumbersUntilTheyEnd) {
  const struct {
    std::string_view text;
    double value;
  } rows[] = {
      {"12abc", 12}, {" 3.5e2", 350}, {"\t\r\n-2.5", -2.5}, {"+7", 7}, {".5", 0.5}, {"5.", 5},
      {"1.5.5", 1.5}, {"1e", 1}, {"1e+x", 1}, {std::string_view("4\0" "2", 3), 4},  // zero-terminated
      // Text without a number.
      {"", 0}, {"abc", 0}, {"- 5", 0}, {".", 0}, {"0x1A", 0}, {"&", 0},
      // Out of range saturates.
      {"1e999", HUGE_VAL}, {"-1e999", -HUGE_VAL}, {"1e-999", 0}, {"0.0000000001e-320", 0},
      // Radix literals skip foreign bytes and wrap at 32 bits.
      {"&h1G", 32}, {"&x12", 0}, {"&h", 0}, {"&H7FFFFFFF", 2147483647}, {"&hFFFFFFFF", -1},
      {"&h100000001", 1}, {"&h 1-2", 18}, {"&o17", 15}, {"&O1928", 10},  // 9 and 8 are not octal
      {"&b1012", 5}, {"&B11111111111111111111111111111110", -2}};
  for (const auto& row : rows) EXPECT_EQ(Val(row.text), row.value) << row.text;
  StringRef s = StringRef::Adopt(NewString("&h10"));
  EXPECT_EQ(runCDbl(s.get()), 16);
}

TEST(NumberFormat, MasksWriteTheirPlacesSignsSectionsAndExponents) {
  const struct {
    double x;
    const char* mask;
    const char* text;
  } rows[] = {
      {1234567, "#,##0", "1,234,567"}, {999.999, "#,##0.00", "1,000.00"},
      {1e20, "#,##0", "100,000,000,000,000,000,000"}, {5, "000", "005"}, {5, "0,000", "0,005"},
      {5, "#,##0", "5"}, {1234.5, "#,##0.00", "1,234.50"}, {0, "#.##", "0."}, {2.346, "0.00", "2.35"},
      {2.5, "0.##", "2.5"}, {-0.001, "0.00", "0.00"}, {0.1234, "0.0%", "12.3%"}, {0.5, "0%", "50%"},
      // Signs come only from the mask.
      {-5, "#", "5"}, {3, "+0", "+3"}, {-3, "+0", "-3"}, {-0.0, "+0", "0"}, {-3, "-0", "-3"},
      {-3, "(0)", "(3)"},
      // Sections for negatives and zero; without a zero section, the first.
      {1.26, "0.0;(0.0);\\N\\i\\l", "1.3"}, {-2.5, "0.0;(0.0);\\N\\i\\l", "(2.5)"},
      {0, "0.0;(0.0);\\N\\i\\l", "Nil"}, {0, "0;-0", "0"}, {-3, "0;-0", "-3"}, {5, "", ""},
      // Escapes keep characters, others are dropped.
      {5, "\\$#", "$5"}, {5, "$#", "5"}, {3, "\\#0", "#3"}, {1, "0\\", "1"},
      {0.000012345, "Scientific", "1.234500E-05"}, {-0.000012345, "sCIENTIFIC", "-1.234500E-05"},
      {12345678, "Scientific", "1.234568E+07"}, {0, "Scientific", "0.000000"},
      // General notation keeps this one plain, so there is no exponent to show.
      {12345.678, "Scientific", "12345.680000+"},
      {12345, "0.00E+", "1.23E+04"}, {15000, "0.0e-", "1.5e04"}, {0.000012, "0.0E", "1.2E-05"},
      {12345, "0E+", "1E+04"},  // a mantissa without a point
      {10, "0.00E+", "10.00+"}};  // plain general text keeps its zeros
  for (const auto& row : rows) {
    StringRef mask = StringRef::Adopt(NewString(row.mask));
    EXPECT_EQ(Take(StringFormat(row.x, mask.get())), row.text) << row.x << " " << row.mask;
  }
}

TEST(NumberHexOct, UnsignedDigitsWithoutLeadingZeros) {
  EXPECT_EQ(Take(RuntimeHex(0)), "0");
  EXPECT_EQ(Take(RuntimeHex(255)), "FF");
  EXPECT_EQ(Take(RuntimeHex(-1)), "FFFFFFFF");
  EXPECT_EQ(Take(RuntimeHex(INT32_MIN)), "80000000");
  EXPECT_EQ(Take(RuntimeOct(8)), "10");
  EXPECT_EQ(Take(RuntimeOct(-1)), "37777777777");
}

TEST(NumberOwnership, TheMaskIsBorrowedAndNothingLeaks) {
  uint32_t before = SmallBlockBytesInUse();
  StringRecord* mask = NewString("#,##0.00;(#);\\Z");
  for (double x : {-2.0, 1234.5, 0.0}) {
    StringRecord* r = StringFormat(x, mask);
    EXPECT_NE(r, mask);
    Take(r);
  }
  EXPECT_EQ(StringVal(mask), 0);
  EXPECT_EQ(mask->refCount, 1u);
  RuntimeUnlockString(mask);
  EXPECT_EQ(SmallBlockBytesInUse(), before);
}

}  // namespace
