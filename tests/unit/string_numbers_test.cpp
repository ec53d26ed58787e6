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

std::string Str(double x) { return Take(StringStr(x)); }

double Val(std::string_view text) {
  StringRef s = StringRef::Adopt(NewString(text));
  return StringVal(s.get());
}

std::string Format(double x, std::string_view mask) {
  StringRef m = StringRef::Adopt(NewString(mask));
  return Take(StringFormat(x, m.get()));
}

TEST(NumberStr, FixedNotationDropsTrailingZerosAndPoint) {
  EXPECT_EQ(Str(-0.0), "0");
  EXPECT_EQ(Str(0), "0");
  EXPECT_EQ(Str(2.5), "2.5");
  EXPECT_EQ(Str(100), "100");
  EXPECT_EQ(Str(-42.25), "-42.25");
  EXPECT_EQ(Str(123456.789), "123456.789");
  EXPECT_EQ(Str(2.0 / 3), "0.6666667");
  EXPECT_EQ(Str(0.00001), "0.00001");
  EXPECT_EQ(Str(0.0000123456), "0.0000123");  // fixed keeps only seven decimals
}

TEST(NumberStr, GeneralNotationOutsideTheFixedRange) {
  EXPECT_EQ(Str(1000000), "1000000");
  EXPECT_EQ(Str(12345678), "1.234568e+07");
  EXPECT_EQ(Str(0.000001), "1e-06");
  EXPECT_EQ(Str(-0.0000099999), "-9.9999e-06");
  EXPECT_EQ(Str(1e300), "1e+300");
  EXPECT_EQ(Take(runCStr(12345678)), "1.234568e+07");
}

TEST(NumberVal, DecimalScanStopsWhereTheNumberEnds) {
  EXPECT_EQ(Val("12abc"), 12);
  EXPECT_EQ(Val(" 3.5e2"), 350);
  EXPECT_EQ(Val("\t\r\n-2.5"), -2.5);
  EXPECT_EQ(Val("+7"), 7);
  EXPECT_EQ(Val(".5"), 0.5);
  EXPECT_EQ(Val("5."), 5);
  EXPECT_EQ(Val("1.5.5"), 1.5);
  EXPECT_EQ(Val("1e"), 1);
  EXPECT_EQ(Val("1e+x"), 1);
  EXPECT_EQ(Val(std::string_view("4\0" "2", 3)), 4);  // the zero-terminated form
}

TEST(NumberVal, TextWithoutANumberIsZero) {
  EXPECT_EQ(Val(""), 0);
  EXPECT_EQ(Val("abc"), 0);
  EXPECT_EQ(Val("- 5"), 0);
  EXPECT_EQ(Val("."), 0);
  EXPECT_EQ(Val("0x1A"), 0);
  EXPECT_EQ(Val("&"), 0);
}

TEST(NumberVal, OutOfRangeSaturates) {
  EXPECT_EQ(Val("1e999"), HUGE_VAL);
  EXPECT_EQ(Val("-1e999"), -HUGE_VAL);
  EXPECT_EQ(Val("1e-999"), 0);
  EXPECT_EQ(Val("0.0000000001e-320"), 0);
}

TEST(NumberVal, RadixLiteralsSkipForeignBytesAndWrap) {
  EXPECT_EQ(Val("&h1G"), 32);
  EXPECT_EQ(Val("&x12"), 0);
  EXPECT_EQ(Val("&h"), 0);
  EXPECT_EQ(Val("&H7FFFFFFF"), 2147483647);
  EXPECT_EQ(Val("&hFFFFFFFF"), -1);
  EXPECT_EQ(Val("&h100000001"), 1);
  EXPECT_EQ(Val("&h 1-2"), 18);
  EXPECT_EQ(Val("&o17"), 15);
  EXPECT_EQ(Val("&O1928"), 10);  // 9 and 8 are not octal
  EXPECT_EQ(Val("&b1012"), 5);
  EXPECT_EQ(Val("&B11111111111111111111111111111110"), -2);
  StringRef s = StringRef::Adopt(NewString("&h10"));
  EXPECT_EQ(runCDbl(s.get()), 16);
}

TEST(NumberFormat, IntegerPlacesAndThousands) {
  EXPECT_EQ(Format(1234567, "#,##0"), "1,234,567");
  EXPECT_EQ(Format(999.999, "#,##0.00"), "1,000.00");
  EXPECT_EQ(Format(1e20, "#,##0"), "100,000,000,000,000,000,000");
  EXPECT_EQ(Format(5, "000"), "005");
  EXPECT_EQ(Format(5, "0,000"), "0,005");
  EXPECT_EQ(Format(5, "#,##0"), "5");
}

TEST(NumberFormat, FractionPlaces) {
  EXPECT_EQ(Format(1234.5, "#,##0.00"), "1,234.50");
  EXPECT_EQ(Format(0, "#.##"), "0.");
  EXPECT_EQ(Format(2.346, "0.00"), "2.35");
  EXPECT_EQ(Format(2.5, "0.##"), "2.5");
  EXPECT_EQ(Format(-0.001, "0.00"), "0.00");
  EXPECT_EQ(Format(0.1234, "0.0%"), "12.3%");
  EXPECT_EQ(Format(0.5, "0%"), "50%");
}

TEST(NumberFormat, SignsComeOnlyFromTheMask) {
  EXPECT_EQ(Format(-5, "#"), "5");
  EXPECT_EQ(Format(3, "+0"), "+3");
  EXPECT_EQ(Format(-3, "+0"), "-3");
  EXPECT_EQ(Format(-0.0, "+0"), "0");
  EXPECT_EQ(Format(-3, "-0"), "-3");
  EXPECT_EQ(Format(-3, "(0)"), "(3)");
}

TEST(NumberFormat, SectionsForNegativeAndZero) {
  const char* mask = "0.0;(0.0);\\N\\i\\l";
  EXPECT_EQ(Format(1.26, mask), "1.3");
  EXPECT_EQ(Format(-2.5, mask), "(2.5)");
  EXPECT_EQ(Format(0, mask), "Nil");
  EXPECT_EQ(Format(0, "0;-0"), "0");  // no zero section: the first one
  EXPECT_EQ(Format(-3, "0;-0"), "-3");
  EXPECT_EQ(Format(5, ""), "");
}

TEST(NumberFormat, EscapesKeepCharactersOthersAreDropped) {
  EXPECT_EQ(Format(5, "\\$#"), "$5");
  EXPECT_EQ(Format(5, "$#"), "5");
  EXPECT_EQ(Format(3, "\\#0"), "#3");
  EXPECT_EQ(Format(1, "0\\"), "1");
}

TEST(NumberFormat, Scientific) {
  EXPECT_EQ(Format(0.000012345, "Scientific"), "1.234500E-05");
  EXPECT_EQ(Format(-0.000012345, "sCIENTIFIC"), "-1.234500E-05");
  EXPECT_EQ(Format(12345678, "Scientific"), "1.234568E+07");
  // General notation keeps this one plain, so there is no exponent to show.
  EXPECT_EQ(Format(12345.678, "Scientific"), "12345.680000+");
  EXPECT_EQ(Format(0, "Scientific"), "0.000000");
}

TEST(NumberFormat, ExponentMasks) {
  EXPECT_EQ(Format(12345, "0.00E+"), "1.23E+04");
  EXPECT_EQ(Format(15000, "0.0e-"), "1.5e04");
  EXPECT_EQ(Format(0.000012, "0.0E"), "1.2E-05");
  EXPECT_EQ(Format(12345, "0E+"), "1E+04");  // a mantissa without a point
  EXPECT_EQ(Format(10, "0.00E+"), "10.00+");  // plain general text keeps its zeros
}

TEST(NumberHexOct, UnsignedDigitsWithoutLeadingZeros) {
  EXPECT_EQ(Take(RuntimeHex(0)), "0");
  EXPECT_EQ(Take(RuntimeHex(255)), "FF");
  EXPECT_EQ(Take(RuntimeHex(-1)), "FFFFFFFF");
  EXPECT_EQ(Take(RuntimeHex(INT32_MIN)), "80000000");
  EXPECT_EQ(Take(RuntimeOct(8)), "10");
  EXPECT_EQ(Take(RuntimeOct(-1)), "37777777777");
}

TEST(NumberOwnership, ResultsAreFreshAndNothingLeaks) {
  uint32_t before = SmallBlockBytesInUse();
  StringRecord* mask = NewString("#,##0.00;(#);\\Z");
  StringRecord* results[] = {StringStr(1.5),          runCStr(1e-7),
                             StringFormat(-2, mask),  StringFormat(1234.5, mask),
                             StringFormat(0, mask),   RuntimeHex(-1),
                             RuntimeOct(8)};
  for (StringRecord* r : results) {
    ASSERT_NE(r, nullptr);
    EXPECT_NE(r, mask);
    EXPECT_EQ(r->refCount, 1u);
  }
  EXPECT_EQ(mask->refCount, 1u);  // borrowed, not kept
  EXPECT_EQ(StringVal(mask), 0);
  EXPECT_EQ(mask->refCount, 1u);
  for (StringRecord* r : results) RuntimeUnlockString(r);
  RuntimeUnlockString(mask);
  EXPECT_EQ(SmallBlockBytesInUse(), before);
}

}  // namespace
