// The start-up trace; see startup_trace.h. Marks are kept in a fixed table
// (start-up has a few dozen steps) so that recording allocates nothing and
// cannot change what it measures; the file is written with plain Win32
// calls after the first paint, when start-up is over.
#include "objects/startup_trace.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>

namespace {

struct Mark {
  const char* step;
  LARGE_INTEGER at;
};

constexpr int kMaxMarks = 64;
Mark gMarks[kMaxMarks];
int gMarkCount = 0;
// 0: not yet decided, 1: recording, 2: off (no variable, or written).
int gState = 0;
char gPath[MAX_PATH];

bool Recording() {
  if (gState == 0) {
    DWORD n = GetEnvironmentVariableA("VELLORY_STARTUP_TRACE", gPath, sizeof gPath);
    gState = (n > 0 && n < sizeof gPath) ? 1 : 2;
  }
  return gState == 1;
}

// Milliseconds from the process's creation to the performance counter's
// reading `at`, through the wall clock read beside the counter now.
double SinceCreation(const LARGE_INTEGER& at, const LARGE_INTEGER& frequency) {
  FILETIME created, exited, kernel, user, now;
  LARGE_INTEGER counterNow;
  QueryPerformanceCounter(&counterNow);
  GetSystemTimeAsFileTime(&now);
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  auto ticks = [](const FILETIME& f) {
    return (static_cast<int64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
  };
  double nowMs = (ticks(now) - ticks(created)) / 10000.0;
  double agoMs = (counterNow.QuadPart - at.QuadPart) * 1000.0 / frequency.QuadPart;
  return nowMs - agoMs;
}

}  // namespace

void StartupMark(const char* step) {
  if (!Recording() || gMarkCount == kMaxMarks) return;
  gMarks[gMarkCount].step = step;
  QueryPerformanceCounter(&gMarks[gMarkCount].at);
  ++gMarkCount;
}

void WriteStartupTrace() {
  if (!Recording()) return;
  gState = 2;
  HANDLE file = CreateFileA(gPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  double previous = 0;
  for (int i = 0; i < gMarkCount; ++i) {
    double at = SinceCreation(gMarks[i].at, frequency);
    char line[160];
    int n = std::snprintf(line, sizeof line, "%9.2f %8.2f %s\r\n", at, at - previous, gMarks[i].step);
    DWORD wrote = 0;
    if (n > 0) WriteFile(file, line, static_cast<DWORD>(n), &wrote, nullptr);
    previous = at;
  }
  CloseHandle(file);
}
