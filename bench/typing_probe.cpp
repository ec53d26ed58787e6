// typing-probe: how long a key typed into the Writing Window takes to show
// while the program sends a long text to the handheld. The probe is the
// handheld at the far end of the cable, reading what arrives at the pace of
// a 38400 bit/s line, so that the program's writes find the line full; it
// presses a letter key through the system's input, notes the moment, and
// asks the Writing Window for its length until the letter is there.
//
//   typing-probe PORT KEYS
//
// The send must be running when the probe starts (File > Send > Writing
// Window, with the Writing Window holding a long text and its insertion
// point at the end); the probe brings the main window to the front itself.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "bench/bench_cable.h"
#include "bench/bench_figures.h"
#include "bench/writing_window.h"

namespace {

constexpr double kGiveUpMs = 5000;
constexpr DWORD kGapMs = 400;           // plus 0-96 ms, different for each key
constexpr double kLineBytesPerMs = 3.84;  // 38400 bit/s, 10 bits a byte

long TextLength(HWND view) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(view, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return -1;
  return static_cast<long>(length);
}

void PressKey(WORD vk) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof in[0]);
}

// Reads the cable at the line's pace until told to stop; counts the bytes.
void ReadAtLinePace(HANDLE cable, std::atomic<bool>& stop, std::atomic<long>& received) {
  double start = bench::NowMs();
  char buffer[256];
  while (!stop) {
    double allowed = (bench::NowMs() - start) * kLineBytesPerMs - received;
    if (allowed < 1) {
      Sleep(5);
      continue;
    }
    DWORD want = static_cast<DWORD>(allowed < sizeof buffer ? allowed : sizeof buffer), got = 0;
    if (!ReadFile(cable, buffer, want, &got, nullptr)) break;
    received += static_cast<long>(got);
    if (!got) Sleep(5);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: typing-probe PORT KEYS\n");
    return 3;
  }
  int keys = std::atoi(argv[2]);
  HWND main = bench::FindMainWindow();
  HWND view = bench::FindWritingWindow(main);
  HANDLE cable = bench::OpenCable(argv[1]);
  if (!view || cable == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "typing-probe: no Writing Window or no cable %s\n", argv[1]);
    return 2;
  }
  std::atomic<bool> stop{false};
  std::atomic<long> received{0};
  std::thread reader(ReadAtLinePace, cable, std::ref(stop), std::ref(received));
  SetForegroundWindow(main);
  Sleep(1000);
  std::vector<double> times;
  int lost = 0;
  for (int i = 0; i < keys; ++i) {
    Sleep(kGapMs + static_cast<DWORD>((i * 37) % 97));
    long before = TextLength(view);
    PressKey('X');
    double pressed = bench::NowMs();
    for (;;) {
      if (TextLength(view) > before) {
        times.push_back(bench::NowMs() - pressed);
        break;
      }
      if (bench::NowMs() - pressed > kGiveUpMs) {
        ++lost;
        break;
      }
      Sleep(1);
    }
  }
  stop = true;
  reader.join();
  CloseHandle(cable);
  std::printf("typing during a send: key pressed to its character in the Writing Window\n");
  std::printf("  keys %d, shown %zu, never shown %d; the handheld read %ld bytes meanwhile\n", keys,
              times.size(), lost, received.load());
  std::printf("  each (ms):");
  for (double ms : times) std::printf(" %.0f", ms);
  std::printf("\n");
  if (times.empty()) return 1;
  std::printf("  median %.1f ms, 95th percentile %.1f ms, most %.1f ms\n", bench::Median(times),
              bench::Percentile(times, 0.95), bench::Percentile(times, 1));
  return lost ? 1 : 0;
}
