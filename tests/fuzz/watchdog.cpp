// The watchdog; see watchdog.h. The ticks come from a thread of its own, so
// that the host's fuzzer and the Windows replay share it; the reader's
// thread only stores where it is, and the watchdog reads that while the
// reader is stuck in its own code.
#include "tests/fuzz/watchdog.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

std::atomic<uint64_t> gBegun{0}, gIndex{0};
std::atomic<const char*> gTarget{""};
std::atomic<const std::vector<uint8_t>*> gInput{nullptr};
uint64_t gSeed = 0;

}  // namespace

namespace watchdog {

void Start(unsigned seconds, uint64_t seed) {
  gSeed = seed;
  std::thread([seconds] {
    uint64_t seen = 0;
    for (unsigned ticks = 0;; std::this_thread::sleep_for(std::chrono::seconds(1))) {
      uint64_t begun = gBegun.load();
      ticks = begun == seen ? ticks + 1 : 0;
      seen = begun;
      if (ticks <= seconds || !gInput.load()) continue;
      Report(("ran for over " + std::to_string(seconds) + " s").c_str());
      std::_Exit(3);
    }
  }).detach();
}

void Begin(const char* target, uint64_t index, const std::vector<uint8_t>& input) {
  gTarget = target;
  gIndex = index;
  gInput = &input;
  gBegun.fetch_add(1);
}

void End() { gInput = nullptr; }

void Report(const char* what) {
  const std::vector<uint8_t>* input = gInput.load();
  if (!input) return;
  unsigned long long index = gIndex.load();
  char file[256];
  std::snprintf(file, sizeof file, "finding-%s-%llu", gTarget.load(), index);
  std::FILE* out = std::fopen(file, "wb");
  bool kept = out && std::fwrite(input->data(), 1, input->size(), out) == input->size();
  if (out) std::fclose(out);
  std::fprintf(stderr, "fuzz: %s: input %llu (seed %llu) %s; %s %s\n", gTarget.load(), index,
               static_cast<unsigned long long>(gSeed), what, kept ? "its bytes are in" : "could not keep its bytes in",
               file);
  std::fflush(stderr);
}

}  // namespace watchdog
