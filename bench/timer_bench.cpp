// timer-bench: what one running timer costs. A multiple timer of 150 ms runs
// for 10 seconds in the real pump, with a window that stays open, while
// nothing else happens; the bench prints the processor time the process used
// (as a share of one core) and how late the firings came after their due
// time (median and 95th percentile over the first 60 firings). Under Wine
// the figure leaves out the Wine server process, where a pump that kept
// asking for messages would spend about half of its time.
// Run under Wine: build/wine-run build/bench/timer-bench.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "objects/builtin_classes.h"
#include "objects/small_heap.h"
#include "startup/layer_hooks.h"
#include "bench/bench_figures.h"
#include "bench/bench_pump.h"

namespace {

constexpr int32_t kPeriod = 150;
constexpr int32_t kRunMs = 10000;
constexpr size_t kFirings = 60;

uint32_t gDue = 0;
std::vector<double> gLateness;

void __cdecl Tick(ObjectRecord*) {
  uint32_t now = GetTickCount();
  gLateness.push_back(now - gDue);
  gDue = now + kPeriod;
}

void __cdecl End(ObjectRecord*) { bench::gWindowOpen = false; }

}  // namespace

int main() {
  InitAllocatorLock();
  InstallLayerHooks();
  RegisterBuiltInClasses();
  SetWindowServices(&bench::kOneWindow);
  double cpuStart = bench::ProcessorMs();
  uint32_t wallStart = GetTickCount();
  gDue = wallStart + kPeriod;
  bench::NewTimer("BenchTick", Tick, kPeriod, 2);
  bench::NewTimer("BenchEnd", End, kRunMs, 1);
  RuntimeRun();
  double cpu = bench::ProcessorMs() - cpuStart;
  uint32_t wall = GetTickCount() - wallStart;
  if (gLateness.size() > kFirings) gLateness.resize(kFirings);
  std::printf("one Mode 2 timer of %d ms, %u ms run\n", kPeriod, wall);
  std::printf("processor time     %8.1f ms  (%.2f %% of one core)\n", cpu, 100.0 * cpu / wall);
  std::printf("firings measured   %8zu\n", gLateness.size());
  if (gLateness.empty()) return 1;
  std::printf("lateness median    %8.1f ms\n", bench::Percentile(gLateness, 0.5));
  std::printf("lateness 95th pct  %8.1f ms\n", bench::Percentile(gLateness, 0.95));
  std::printf("lateness maximum   %8.1f ms\n", bench::Percentile(gLateness, 1.0));
  return 0;
}
