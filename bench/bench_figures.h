// What the benchmarks' Windows-side programs share: one clock fine enough
// for single milliseconds (GetTickCount moves in steps of 10 to 16 ms on
// some systems), the process's own processor time, and the order statistics
// they print.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace bench {

inline double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// A FILETIME (100 ns units) in ms: a span, or a date since 1601.
inline double FileTimeMs(const FILETIME& t) {
  return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 10000.0;
}

// The processor time this process has used, kernel and user, in ms.
inline double ProcessorMs() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  return FileTimeMs(kernel) + FileTimeMs(user);
}

// The value at fraction p (0 = least, 1 = greatest) of the sorted values,
// read between the two nearest ranks, so that the median of an even count
// is the mean of the two middle values.
inline double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  double rank = p * static_cast<double>(values.size() - 1);
  size_t low = static_cast<size_t>(rank);
  size_t high = std::min(low + 1, values.size() - 1);
  double part = rank - static_cast<double>(low);
  return values[low] + (values[high] - values[low]) * part;
}

inline double Median(const std::vector<double>& values) { return Percentile(values, 0.5); }

}  // namespace bench
