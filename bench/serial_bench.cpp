// serial-bench: receiving 1 MiB through a serial line the way the
// application does, polled by the event loop and taken by a 150 ms timer.
// A second thread plays the handheld on the cable's farEnd end (COM4) and
// writes at the pace of a 115200 bit/s line; the bench prints how many
// bytes were lost or changed and the processor time the process used.
// Run it through bench/run_serial_bench.sh, which makes the cable.
#include <windows.h>

#include <cstdio>
#include <string>

#include "objects/builtin_classes.h"
#include "objects/classes.h"
#include "objects/objects.h"
#include "objects/small_heap.h"
#include "startup/layer_hooks.h"
#include "objects/strings.h"
#include "sdk/service_layouts.h"
#include "sdk/vellory.h"
#include "services/serial_port.h"
#include "ui/event_loop.h"
#include "bench/bench_figures.h"
#include "bench/bench_pump.h"

namespace {

constexpr size_t kTotal = 1 << 20;
constexpr DWORD kBytesPerSecond = 115200 / 10;  // 8 data bits, start and stop bits
constexpr DWORD kSlice = kBytesPerSecond / 10;  // written every 100 ms

ObjectRecord* gLine = nullptr;
std::string gReceived;
DWORD gLastArrival = 0;

char Pattern(size_t i) { return static_cast<char>((i * 7 + i / 251) & 0xFF); }

DWORD WINAPI Handheld(void*) {
  HANDLE farEnd = CreateFileA("COM4", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (farEnd == INVALID_HANDLE_VALUE) return 1;
  std::string slice;
  DWORD start = GetTickCount();
  for (size_t sent = 0; sent < kTotal;) {
    size_t n = std::min<size_t>(kSlice, kTotal - sent);
    slice.clear();
    for (size_t i = 0; i < n; ++i) slice += Pattern(sent + i);
    DWORD written = 0;
    WriteFile(farEnd, slice.data(), static_cast<DWORD>(n), &written, nullptr);
    sent += n;
    // Keep to the line's pace: due time of the next slice.
    DWORD due = start + static_cast<DWORD>(sent * 1000 / kBytesPerSecond);
    DWORD now = GetTickCount();
    if (static_cast<int32_t>(due - now) > 0) Sleep(due - now);
  }
  Sleep(2000);  // let the last bytes cross before the cable end closes
  CloseHandle(farEnd);
  return 0;
}

// The application's way: a repeating timer takes whatever has arrived.
void __cdecl TakeArrived(ObjectRecord*) {
  StringRecord* chunk = serialReadAll(gLine);
  if (chunk) {
    gReceived.append(StringView(chunk));
    gLastArrival = GetTickCount();
  }
  RuntimeUnlockString(chunk);
  if (gReceived.size() >= kTotal) bench::gWindowOpen = false;
  if (gLastArrival && GetTickCount() - gLastArrival > 5000) bench::gWindowOpen = false;  // gave up
}

}  // namespace

int main() {
  InitAllocatorLock();
  InstallLayerHooks();
  RegisterBuiltInClasses();
  SetWindowServices(&bench::kOneWindow);
  SetSerialPoller(PollSerialLines);
  gLine = NewObjectOfClass(FindBuiltInClass("Serial"));
  auto* fields = reinterpret_cast<SerialObject*>(gLine);
  fields->port = 2;  // COM3
  fields->baud = 13;
  fields->bits = 3;
  if (!serialOpen(gLine)) {
    std::printf("COM3 could not be opened\n");
    return 1;
  }
  bench::NewTimer("BenchTaker", TakeArrived, 150, 2);
  double cpuStart = bench::ProcessorMs();
  DWORD wallStart = GetTickCount();
  HANDLE handheld = CreateThread(nullptr, 0, Handheld, nullptr, 0, nullptr);
  RuntimeRun();
  double cpu = bench::ProcessorMs() - cpuStart;
  DWORD wall = GetTickCount() - wallStart;
  WaitForSingleObject(handheld, INFINITE);
  size_t changed = 0;
  for (size_t i = 0; i < gReceived.size() && i < kTotal; ++i) changed += gReceived[i] != Pattern(i);
  size_t lost = gReceived.size() < kTotal ? kTotal - gReceived.size() : 0;
  std::printf("sent               %8zu bytes at %lu bytes/s\n", kTotal, kBytesPerSecond);
  std::printf("received           %8zu bytes in %lu ms\n", gReceived.size(), wall);
  std::printf("lost               %8zu bytes\n", lost);
  std::printf("changed            %8zu bytes\n", changed);
  std::printf("processor time     %8.1f ms  (%.2f %% of one core; the handheld thread included)\n", cpu,
              100.0 * cpu / wall);
  return lost || changed ? 1 : 0;
}
