// The watchdog; see watchdog.h. The tick runs in a signal handler while the
// reader is stuck in its own code, so it writes with write() and formats
// into its own buffers.
#include "tests/fuzz/watchdog.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace {

std::atomic<uint64_t> gBegun{0};
uint64_t gSeen = 0, gSeed = 0, gIndex = 0;
unsigned gTicks = 0, gLimit = 0;
const char* gTarget = "";
const Bytes* gInput = nullptr;

[[noreturn]] void ReportHang() {
  char file[256], message[512];
  std::snprintf(file, sizeof file, "hang-%s-%llu", gTarget, static_cast<unsigned long long>(gIndex));
  int fd = open(file, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  bool kept = fd >= 0 && write(fd, gInput->data(), gInput->size()) == static_cast<ssize_t>(gInput->size());
  int n = std::snprintf(message, sizeof message,
                        "reader-fuzz: %s: input %llu (seed %llu) ran for over %u s; %s %s\n", gTarget,
                        static_cast<unsigned long long>(gIndex), static_cast<unsigned long long>(gSeed), gLimit,
                        kept ? "its bytes are in" : "could not keep its bytes in", file);
  if (write(STDERR_FILENO, message, n)) {}
  _exit(3);
}

void OnTick(int) {
  uint64_t begun = gBegun.load(std::memory_order_relaxed);
  if (begun != gSeen) {
    gSeen = begun;
    gTicks = 0;
  } else if (++gTicks >= gLimit && gInput) {
    ReportHang();
  }
}

}  // namespace

namespace watchdog {

void Start(unsigned seconds, uint64_t seed) {
  gLimit = seconds;
  gSeed = seed;
  struct sigaction tick = {};
  tick.sa_handler = OnTick;
  tick.sa_flags = SA_RESTART;
  sigaction(SIGALRM, &tick, nullptr);
  itimerval every = {{1, 0}, {1, 0}};
  setitimer(ITIMER_REAL, &every, nullptr);
}

void Begin(const char* target, uint64_t index, const Bytes& input) {
  gTarget = target;
  gIndex = index;
  gInput = &input;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  gBegun.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace watchdog
