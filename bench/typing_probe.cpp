// typing-probe: how long a key typed into the Writing Window takes to show
// while the program sends a long text to the handheld. The probe is the
// handheld at the far end of the cable, reading what arrives at the pace of
// a 38400 bit/s line, so that the program's writes find the line full; it
// puts a letter key's press in the Writing Window's queue, notes the moment,
// and asks the Writing Window for its length until the letter is there.
//
//   typing-probe PORT KEYS [idle]
//
// With "idle" nothing is being sent: the figure to read the others beside,
// since on a slow machine asking another process for a window's text takes
// time of its own. Otherwise the send must be running when the probe starts
// (File > Send > Writing Window, the Writing Window holding a long text).
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
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

// A key press as the Writing Window's thread meets it: the key-down and
// key-up in its queue, the character made by its own TranslateMessage.
// (Input sent through the system reaches a window only when the X server
// gives Wine's desktop the focus, which a virtual display may never do.)
void PressKey(HWND view, WORD vk) {
  LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16;
  PostMessageA(view, WM_KEYDOWN, vk, scan | 1);
  PostMessageA(view, WM_KEYUP, vk, scan | 0xC0000001);
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
  bool idle = argc == 4 && std::string(argv[3]) == "idle";
  if (argc != 3 && !idle) {
    std::fprintf(stderr, "usage: typing-probe PORT KEYS [idle]\n");
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
    PressKey(view, 'X');
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
  std::printf("typing %s: key pressed to its character in the Writing Window\n",
              idle ? "with nothing being sent" : "during a send");
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
