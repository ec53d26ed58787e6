// object-bench: nanoseconds per operation of the object runtime's hot paths,
// each printed beside HeapAlloc + HeapFree of 32 bytes measured in the same
// run, so that figures from different machines can be compared by ratio.
// Run under Wine: build/wine-run build/bench/object-bench.exe
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "objects/classes.h"
#include "objects/name_map.h"
#include "objects/objects.h"
#include "objects/small_heap.h"
#include "objects/strings.h"
#include "bench/bench_figures.h"

namespace {

double NowNs() { return bench::NowMs() * 1e6; }

// Best of five rounds of `n` calls, in nanoseconds per call.
template <typename F>
double Measure(int n, F&& body) {
  double best = 1e30;
  for (int round = 0; round < 5; ++round) {
    double start = NowNs();
    for (int i = 0; i < n; ++i) body(i);
    double per = (NowNs() - start) / n;
    if (per < best) best = per;
  }
  return best;
}

volatile uintptr_t gSink;

void Report(const char* what, double ns, double heapNs) {
  std::printf("%-44s %8.1f ns   (%.2f x HeapAlloc+HeapFree)\n", what, ns, ns / heapNs);
  std::fflush(stdout);
}

}  // namespace

int main() {
  InitAllocatorLock();
  const int n = 1000000;
  HANDLE heap = GetProcessHeap();
  double heapNs = Measure(n, [&](int) {
    void* p = HeapAlloc(heap, 0, 32);
    gSink = reinterpret_cast<uintptr_t>(p);
    HeapFree(heap, 0, p);
  });
  std::printf("%-44s %8.1f ns\n", "HeapAlloc + HeapFree, 32 bytes", heapNs);
  std::fflush(stdout);

  ClassRecord* cls = NewClassRecord("Bench");
  cls->instanceSize = 32;
  ObjectRecord* object = NewObjectOfClass(cls);
  Report("RuntimeLockObject + RuntimeUnlockObject", Measure(n, [&](int) {
           RuntimeLockObject(object);
           RuntimeUnlockObject(object);
         }), heapNs);
  Report("NewObject + release, 32-byte class", Measure(n, [&](int) {
           RuntimeUnlockObject(NewObjectOfClass(cls));
         }), heapNs);

  StringRecord* a = NewString("abcdefgh");
  StringRecord* b = NewString("ijklmnop");
  Report("RuntimeAddString of two 8-byte strings + release", Measure(n, [&](int) {
           RuntimeUnlockString(RuntimeAddString(a, b));
         }), heapNs);

  NameMap map;
  std::vector<std::string> names;
  for (int i = 0; i < 1000; ++i) names.push_back("EntryPointName" + std::to_string(i));
  for (int i = 0; i < 1000; ++i) map.Insert(names[i], i + 1);
  Report("NameMap find, one of 1,000 names", Measure(n, [&](int i) {
           gSink = map.Find(names[(static_cast<uint32_t>(i) * 7919u) % 1000u]);
         }), heapNs);

  RuntimeUnlockString(a);
  RuntimeUnlockString(b);
  RuntimeUnlockObject(object);
  DestroyClassRecord(cls);
  return 0;
}
