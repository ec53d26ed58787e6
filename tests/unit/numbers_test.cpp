// The numeric entry points: truncation and the control word it leaves, rounding,
// NaN in Max and Min, colours, the random sequence and the tick counter.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "objects/random.h"
#include "sdk/vellory.h"
#include "startup/process_globals.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr uint16_t kRoundingBits = 0x0C00;
constexpr uint16_t kPrecisionBits = 0x0300;
constexpr uint16_t kDoublePrecision = 0x0200;

uint16_t ControlWord() {
  uint16_t cw;
  __asm__ volatile("fnstcw %0" : "=m"(cw));
  return cw;
}

void SetControlWord(uint16_t cw) { __asm__ volatile("fldcw %0" : : "m"(cw)); }

// fistp under whatever rounding the FPU is set to.
int32_t FistpNow(double x) {
  int32_t r;
  __asm__ volatile("fldl %1\n\tfistpl %0" : "=m"(r) : "m"(x));
  return r;
}

// 16807 * seed mod (2^31 - 1) in 64 bits, without Schrage's decomposition.
int32_t ReferenceStep(int32_t seed) { return static_cast<int32_t>(int64_t{seed} * 16807 % 2147483647); }

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
              {-2147483649.0, INT32_MIN},
              {kNaN, INT32_MIN},
              {kInf, INT32_MIN}};
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
  FPToInt(7.7);
  EXPECT_EQ(FistpNow(3.5), 4);  // neither truncated nor rounded down
  EXPECT_EQ(FistpNow(-2.5), -2);
  SetControlWord(before);
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

TEST(NumericArithmetic, RoundAtDoublePrecisionDoesNotRoundTheSumItself) {
  // At double precision, which Windows starts programs with, the sum x + 0.5
  // itself rounds: to 1 for the first, to the next even integer for 2^52 + 1.
  uint16_t before = ControlWord();
  SetControlWord((before & ~kPrecisionBits) | kDoublePrecision);
  double belowHalf = RuntimeRound(0.49999999999999994);
  double oddAbove2To52 = RuntimeRound(4503599627370497.0);
  SetControlWord(before);
  EXPECT_EQ(belowHalf, 0);
  EXPECT_EQ(oddAbove2To52, 4503599627370497.0);
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
  SeedRandomFromTicks(0x80000002u);
  EXPECT_EQ(rnd(), 2 * 16807 / 1048576.0);
  SeedRandomFromTicks(1);
  double last = 0;
  for (int i = 0; i < 10000; ++i) last = rnd();
  EXPECT_EQ(RandomSeed(), 1043618065);
  EXPECT_EQ(last, Low20Bits(1043618065));
  // Seeds where the decomposition's two halves are at their extremes.
  for (uint32_t seed : {127772u, 127773u, 127774u, 2147483646u, 1043618065u}) {
    SeedRandomFromTicks(seed);
    double r = rnd();
    EXPECT_EQ(RandomSeed(), ReferenceStep(static_cast<int32_t>(seed))) << seed;
    EXPECT_EQ(r, Low20Bits(RandomSeed()));
  }
  ForgetRandomSeed();  // unseeded, the generator would give 0 for ever
  rnd();
  EXPECT_NE(RandomSeed(), 0) << "the first use seeds from the tick count";
}

TEST(NumericTime, TicksCountSixteenthsFromStartUp) {
  uint32_t savedStart = gStartTicks;
  gStartTicks = GetTickCount() - 1600;
  int32_t ticks = RuntimeTicks();
  EXPECT_GE(ticks, 100);
  EXPECT_LE(ticks, 101);
  gStartTicks = GetTickCount() + 160;  // the tick count wrapped since start-up
  int32_t wrapped = RuntimeTicks();
  EXPECT_GE(wrapped, 0x0FFFFFF6);
  EXPECT_LE(wrapped, 0x0FFFFFFF);
  gStartTicks = savedStart;
}

}  // namespace
