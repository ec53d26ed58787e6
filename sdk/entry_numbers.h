// Entry points of the runtime's numbers, as application code and plug-ins call
// them; included by sdk/vellory.h.
#pragma once
#include <stdint.h>

#include "sdk/class_records.h"
#include "sdk/runtime_records.h"

extern "C" {

// --- conversions and arithmetic ------------------------------------------------
double IntToFP(int32_t i);
int32_t FPToInt(double x);  // toward zero; out of range and NaN give INT32_MIN
double RuntimeAbs(double x);
double RuntimeMax(double a, double b);
double RuntimeMin(double a, double b);
double RuntimeRound(double x);  // halves round up: -2.5 gives -2
double RuntimeCeil(double x);
double RuntimeFloor(double x);

// --- mathematical functions (radians, natural logarithm) -------------------------
double RuntimeACos(double x);
double RuntimeASin(double x);
double RuntimeATan(double x);
double RuntimeATan2(double y, double x);
double RuntimeCos(double x);
double RuntimeExp(double x);
double RuntimeLog(double x);
double RuntimePow(double x, double y);
double RuntimeSin(double x);
double RuntimeSqrt(double x);
double RuntimeTan(double x);

// --- random numbers and time ------------------------------------------------------
// One tick in milliseconds: the unit of RuntimeTicks and of the intervals of
// the event loop's periodic tasks.
inline constexpr uint32_t kTickMs = 16;
double rnd();                  // [0, 1) in steps of 2^-20
int32_t RuntimeTicks();        // ticks since start-up
double RuntimeMicroseconds();  // millisecond resolution

// --- colours (0x00RRGGBB) and bits ------------------------------------------------
int32_t RuntimeRGB(int32_t red, int32_t green, int32_t blue);  // each clamped to 0-255
int32_t readColorRed(int32_t colour);  // keeps any bits above the red byte
int32_t readColorGreen(int32_t colour);
int32_t readColorBlue(int32_t colour);
int32_t BitwiseAnd(int32_t a, int32_t b);
int32_t BitwiseOr(int32_t a, int32_t b);
int32_t BitwiseXor(int32_t a, int32_t b);

}  // extern "C"
