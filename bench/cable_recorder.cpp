// cable-recorder: the handheld's side of a transfer from the desktop. It
// reads its end of the cable until the expected number of bytes has come
// (or nothing more comes for a while), keeps them in a file for checking,
// and prints the count and the time from the first byte to the last. Reads
// return at once and the recorder looks again after a millisecond, so both
// moments are known to a millisecond or two.
//
//   cable-recorder PORT BYTES OUTFILE QUIET_MS
//
// It gives up QUIET_MS after the last byte, or after two minutes when no
// byte comes at all.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_cable.h"
#include "bench/bench_figures.h"

namespace {

constexpr double kNothingCameMs = 120000;

struct Recording {
  std::string bytes;
  double first = -1, last = -1;
};

Recording Record(HANDLE cable, size_t expected, double quietMs) {
  Recording r;
  double start = bench::NowMs();
  char chunk[4096];
  while (r.bytes.size() < expected) {
    DWORD got = 0;
    if (ReadFile(cable, chunk, sizeof chunk, &got, nullptr) && got > 0) {
      r.last = bench::NowMs();
      if (r.first < 0) r.first = r.last;
      r.bytes.append(chunk, got);
      continue;
    }
    double now = bench::NowMs();
    if (r.first < 0 ? now - start > kNothingCameMs : now - r.last > quietMs) break;
    Sleep(1);
  }
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: cable-recorder PORT BYTES OUTFILE QUIET_MS\n");
    return 3;
  }
  HANDLE cable = bench::OpenCable(argv[1]);
  if (cable == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "cable-recorder: cannot open %s\n", argv[1]);
    return 2;
  }
  Recording r = Record(cable, std::strtoul(argv[2], nullptr, 10), std::atof(argv[4]));
  CloseHandle(cable);
  FILE* out = std::fopen(argv[3], "wb");
  if (out) {
    std::fwrite(r.bytes.data(), 1, r.bytes.size(), out);
    std::fclose(out);
  }
  std::printf("received %zu bytes, first to last byte %.1f ms\n", r.bytes.size(),
              r.first < 0 ? 0.0 : r.last - r.first);
  return r.bytes.empty() ? 1 : 0;
}
