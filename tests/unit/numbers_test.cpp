// The numeric entry points: truncation and the control word it leaves, rounding,
// NaN in Max and Min, colours and the random sequence.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "objects/random.h"
#include "sdk/vellory.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr uint16_t kRoundingBits = 0x0C00;

uint16_t ControlWord() {
  uint16_t cw;
  __asm__ volatile("fnstcw %0" : "=m"(cw));
  return cw;
}

void SetControlWord(uint16_t cw) { __asm__ volatile("fldcw %0" : : "m"(cw)); }

double Low20Bits(int32_t seed) { return (seed & 0xFFFFF) / 1048576.0; }

TEST(NumericConversion, FPToIntTruncatesAndRefusesWhatDoesNotFit) {
  const struct {
    double x;
    int32_t i;
  } rows[] = {{2.9, 2},
              {-2.9, -2},
              {2147483647.9, INT32_MAX},
              {-2147483648.9, INT32_MIN},
              {2147483648.0, INT32_MIN},
              {kNaN, INT32_MIN}};
  for (const auto& row : rows) EXPECT_EQ(FPToInt(row.x), row.i) << row.x;
}

TEST(NumericConversion, FPToIntLeavesRoundToNearestAndTheOtherBits) {
  uint16_t before = ControlWord();
  for (double x : {-2.9, kNaN}) {
    SetControlWord((before & ~kRoundingBits) | 0x0400);  // round down
    FPToInt(x);
    uint16_t after = ControlWord();
    SetControlWord(before);
    EXPECT_EQ(after & kRoundingBits, 0) << x;
    EXPECT_EQ(after & ~kRoundingBits, before & ~kRoundingBits) << x;
  }
}

TEST(NumericArithmetic, RoundHalvesUpAbsAndMaxAndMinLetNaNWinOnlyInSecondPlace) {
  // The thin wrappers of the C library (Ceil, Sin, Log...) are left to it.
  const struct {
    double x, round, abs;
  } unary[] = {{2.5, 3, 2.5}, {-2.5, -2, 2.5}, {-1.6, -2, 1.6}, {3.25, 3, 3.25}, {-kInf, -kInf, kInf}};
  for (const auto& row : unary) {
    EXPECT_EQ(RuntimeRound(row.x), row.round) << row.x;
    EXPECT_EQ(RuntimeAbs(row.x), row.abs) << row.x;
  }
  const struct { double a, b, max, min; } pairs[] = {{2, 3, 3, 2}, {3, 2, 3, 2}, {kNaN, 1, 1, 1}};
  for (const auto& row : pairs) {
    EXPECT_EQ(RuntimeMax(row.a, row.b), row.max) << row.a << " " << row.b;
    EXPECT_EQ(RuntimeMin(row.a, row.b), row.min) << row.a << " " << row.b;
  }
  for (double nan : {RuntimeMax(1, kNaN), RuntimeMin(1, kNaN), RuntimeRound(kNaN)})
    EXPECT_TRUE(std::isnan(nan));
  double negativeNaN = -kNaN;
  double result = RuntimeAbs(negativeNaN);
  EXPECT_EQ(std::memcmp(&result, &negativeNaN, sizeof result), 0) << "Abs keeps NaN bits";
}

TEST(NumericColour, RGBClampsAndRedKeepsBitsAboveItsByte) {
  EXPECT_EQ(RuntimeRGB(300, -5, 128), 0xFF0080);
  EXPECT_EQ(RuntimeRGB(INT32_MIN, INT32_MAX, 0x56), 0x00FF56);
  EXPECT_EQ(readColorRed(0x01ABCDEF), 0x1AB);
  int32_t topBitSet = static_cast<int32_t>(0xFF123456u);
  EXPECT_EQ(readColorRed(topBitSet), 0xFF12);
  EXPECT_EQ(readColorGreen(topBitSet), 0x34);
  EXPECT_EQ(readColorBlue(topBitSet), 0x56);
}

TEST(NumericRandom, StepsMatchTheMinimalStandardSequenceFromASeedOfTicks) {
  // The top bit of the ticks goes; 0 and 2^31 - 1 would repeat one value for
  // ever, and both stand for seed 1.
  for (uint32_t ticks : {0u, 0x80000000u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
    SeedRandomFromTicks(ticks);
    EXPECT_EQ(RandomSeed(), 1) << ticks;
  }
  SeedRandomFromTicks(1);
  double last = 0;
  for (int i = 0; i < 10000; ++i) last = rnd();
  EXPECT_EQ(RandomSeed(), 1043618065);
  EXPECT_EQ(last, Low20Bits(1043618065));
  ForgetRandomSeed();  // unseeded, the generator would give 0 for ever
  rnd();
  EXPECT_NE(RandomSeed(), 0) << "the first use seeds from the tick count";
}

}  // namespace
