// The numeric entry points compiled code calls instead of doing the work
// inline: conversions between integers and doubles, the language's numeric
// and mathematical functions, colour packing and the bitwise operators.
// Compiled code does its own x87 arithmetic and assumes round to nearest, so
// the truncating conversion, which needs round toward zero, always leaves
// round to nearest behind, whatever mode it found.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "sdk/vellory.h"

namespace {

constexpr uint16_t kRoundingControl = 0x0C00;  // x87 control word bits 10-11
constexpr uint16_t kRoundTowardZero = 0x0C00;

uint16_t ControlWord() {
  uint16_t word;
  __asm__ volatile("fnstcw %0" : "=m"(word));
  return word;
}

void SetRoundToNearest() {
  uint16_t toNearest = ControlWord() & ~kRoundingControl;
  __asm__ volatile("fldcw %0" : : "m"(toNearest));
}

// fistp under a truncating control word. The argument is in range, so the
// invalid-operation exception cannot fire even when a plug-in has unmasked it.
int32_t TruncateOnFpu(double x) {
  uint16_t found = ControlWord();
  uint16_t towardZero = (found & ~kRoundingControl) | kRoundTowardZero;
  uint16_t toNearest = found & ~kRoundingControl;
  int32_t result;
  __asm__ volatile(
      "fldcw %[towardZero]\n\t"
      "fldl %[x]\n\t"
      "fistpl %[result]\n\t"
      "fldcw %[toNearest]"
      : [result] "=m"(result)
      : [x] "m"(x), [towardZero] "m"(towardZero), [toNearest] "m"(toNearest));
  return result;
}

int32_t ClampToByte(int32_t v) { return std::clamp<int32_t>(v, 0, 255); }

}  // namespace

extern "C" {

// --- conversions and arithmetic ------------------------------------------------

double IntToFP(int32_t i) { return i; }

int32_t FPToInt(double x) {
  // Everything that truncates into the 32-bit range; NaN fails both tests.
  bool inRange = x > -2147483649.0 && x < 2147483648.0;
  if (inRange) return TruncateOnFpu(x);
  SetRoundToNearest();  // as every conversion leaves it
  return INT32_MIN;
}

// Not fabs: a NaN must come back with its sign as it went in.
double RuntimeAbs(double x) { return x < 0 ? -x : x; }

// Written as comparisons so that a NaN wins only in the second position.
double RuntimeMax(double a, double b) { return a > b ? a : b; }
double RuntimeMin(double a, double b) { return a < b ? a : b; }

// Halves round up. floor(x + 0.5) says the same but the addition itself
// rounds: 0.49999999999999994 would give 1 and odd integers above 2^52 the
// next even one. The fraction x - floor(x) is always exact.
double RuntimeRound(double x) {
  double whole = std::floor(x);
  if (x - whole >= 0.5) return whole + 1;
  return whole;
}

double RuntimeCeil(double x) { return std::ceil(x); }
double RuntimeFloor(double x) { return std::floor(x); }

// --- mathematical functions ------------------------------------------------------

double RuntimeACos(double x) { return std::acos(x); }
double RuntimeASin(double x) { return std::asin(x); }
double RuntimeATan(double x) { return std::atan(x); }
double RuntimeATan2(double y, double x) { return std::atan2(y, x); }
double RuntimeCos(double x) { return std::cos(x); }
double RuntimeExp(double x) { return std::exp(x); }
double RuntimeLog(double x) { return std::log(x); }
double RuntimePow(double x, double y) { return std::pow(x, y); }
double RuntimeSin(double x) { return std::sin(x); }
double RuntimeSqrt(double x) { return std::sqrt(x); }
double RuntimeTan(double x) { return std::tan(x); }

// --- colours and bits ----------------------------------------------------------------

int32_t RuntimeRGB(int32_t red, int32_t green, int32_t blue) {
  return ClampToByte(red) << 16 | ClampToByte(green) << 8 | ClampToByte(blue);
}

// Unmasked so that bits above the red byte stay visible, but shifted as the
// bit pattern it is: a colour with its top bit set must not read negative.
int32_t readColorRed(int32_t colour) {
  return static_cast<int32_t>(static_cast<uint32_t>(colour) >> 16);
}
int32_t readColorGreen(int32_t colour) { return colour >> 8 & 0xFF; }
int32_t readColorBlue(int32_t colour) { return colour & 0xFF; }

int32_t BitwiseAnd(int32_t a, int32_t b) { return a & b; }
int32_t BitwiseOr(int32_t a, int32_t b) { return a | b; }
int32_t BitwiseXor(int32_t a, int32_t b) { return a ^ b; }

}  // extern "C"
