// delivery-probe: how long a frame from the handheld takes to reach the
// Writing Window. The probe is the handheld: it writes each frame (STX, text,
// ETX) into its end of the cable in one write, notes the moment that write
// returned with the last byte, and watches the main window until the frame's
// text is there.
//
//   delivery-probe PORT FRAMES text|screen
//
// "text" asks the Writing Window for its text (WM_GETTEXT) every
// millisecond or so. Each such question is a message the program must
// answer, and answering wakes its event loop, which polls the serial line on
// the way: the watch itself can make the program see the bytes sooner.
// "screen" watches the Writing Window's pixels on the screen instead and
// sends the program nothing: its figures are what a user sees.
// The frames come more than a second apart, so that each finds the program
// idle with its progress timers stopped (their firings would wake it and so
// poll the line early), and unevenly, so that they land at different points
// of its 150 ms polling period.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_cable.h"
#include "bench/bench_figures.h"
#include "bench/writing_window.h"

namespace {

constexpr double kGiveUpMs = 3000;
constexpr DWORD kGapMs = 1200;      // plus 0-149 ms, different for each frame
constexpr int kGlyphPixels = 60;    // far more than the caret, far less than a frame's text


std::string TextOf(HWND w) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return "";
  std::string text(length + 1, '\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutA(w, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                      2000, &got);
  text.resize(got);
  return text;
}

// How a watch tells that a frame has arrived. Pause fills the time between
// frames (and may learn what "nothing new" looks like); Arrived is asked
// again and again after the frame is written.
class Watch {
 public:
  virtual ~Watch() = default;
  virtual void Pause(DWORD ms) = 0;
  virtual bool Arrived(const std::string& text) = 0;
};

class TextWatch : public Watch {
 public:
  explicit TextWatch(HWND view) : view_(view) {}
  void Pause(DWORD ms) override { Sleep(ms); }
  bool Arrived(const std::string& text) override { return TextOf(view_).find(text) != std::string::npos; }

 private:
  HWND view_;
};

// Counts the dark pixels of the Writing Window's content on the screen. The
// blinking caret adds a few; a frame's text adds many more.
class ScreenWatch : public Watch {
 public:
  explicit ScreenWatch(HWND view) {
    GetClientRect(view, &area_);
    MapWindowPoints(view, nullptr, reinterpret_cast<POINT*>(&area_), 2);
    width_ = area_.right - area_.left;
    height_ = area_.bottom - area_.top;
    screen_ = GetDC(nullptr);
    memory_ = CreateCompatibleDC(screen_);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(memory_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels_ = static_cast<const uint32_t*>(bits);
    SelectObject(memory_, bitmap_);
  }
  ~ScreenWatch() override {
    DeleteDC(memory_);
    DeleteObject(bitmap_);
    ReleaseDC(nullptr, screen_);
  }
  bool Ready() const { return pixels_ && width_ > 0 && height_ > 0; }

  void Pause(DWORD ms) override {
    baseline_ = 0;
    for (double end = bench::NowMs() + ms; bench::NowMs() < end; Sleep(5))
      baseline_ = std::max(baseline_, DarkPixels());
  }
  bool Arrived(const std::string&) override { return DarkPixels() >= baseline_ + kGlyphPixels; }

 private:
  int DarkPixels() {
    BitBlt(memory_, 0, 0, width_, height_, screen_, area_.left, area_.top, SRCCOPY);
    GdiFlush();
    int dark = 0;
    for (int i = 0; i < width_ * height_; ++i) {
      uint32_t p = pixels_[i];
      if ((p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF) < 3 * 128) ++dark;
    }
    return dark;
  }

  RECT area_{};
  int width_ = 0, height_ = 0;
  HDC screen_ = nullptr, memory_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  const uint32_t* pixels_ = nullptr;
  int baseline_ = 0;
};

struct Timing {
  double ms;      // negative: the text never came
  int looks;      // how often the watch looked
};

Timing TimeFrame(HANDLE cable, Watch& watch, const std::string& text) {
  std::string frame = "\x02" + text + "\x03";
  DWORD written = 0;
  WriteFile(cable, frame.data(), static_cast<DWORD>(frame.size()), &written, nullptr);
  double sent = bench::NowMs();
  int looks = 0;
  for (;;) {
    ++looks;
    if (watch.Arrived(text)) return {bench::NowMs() - sent, looks};
    if (bench::NowMs() - sent > kGiveUpMs) return {-1, looks};
    Sleep(1);
  }
}

struct Results {
  std::vector<double> times;
  double watchedMs = 0;
  int looks = 0, lost = 0, wrongText = 0;
};

void RunFrames(HANDLE cable, HWND view, Watch& watch, char tag, int frames, Results& r) {
  unsigned long run = GetTickCount() % 10000;
  for (int i = 0; i < frames; ++i) {
    watch.Pause(kGapMs + static_cast<DWORD>((i * 53) % 150));
    // Unique in the Writing Window, which keeps the frames of earlier runs.
    char text[40];
    std::snprintf(text, sizeof text, "%c%04lu-frame%02d-abcd ", tag, run, i);
    Timing t = TimeFrame(cable, watch, text);
    if (t.ms < 0) {
      ++r.lost;
      continue;
    }
    r.times.push_back(t.ms);
    r.watchedMs += t.ms;
    r.looks += t.looks;
    // The screen only says that something new is drawn: make sure it was this frame.
    if (TextOf(view).find(text) == std::string::npos) ++r.wrongText;
  }
}

void Print(const Results& r, bool screen, int frames) {
  std::printf("delivery: last byte written to the frame's text in the Writing Window, watching the %s\n",
              screen ? "screen (the program is sent nothing)" : "window's text (WM_GETTEXT)");
  std::printf("  frames %d, arrived %zu, never arrived %d, not the frame's text %d\n", frames,
              r.times.size(), r.lost, r.wrongText);
  std::printf("  each (ms):");
  for (double ms : r.times) std::printf(" %.0f", ms);
  std::printf("\n");
  if (r.times.empty()) return;
  std::printf("  median %.1f ms, 95th percentile %.1f ms, least %.1f ms, most %.1f ms (looked every %.1f ms)\n",
              bench::Median(r.times), bench::Percentile(r.times, 0.95), bench::Percentile(r.times, 0),
              bench::Percentile(r.times, 1), r.watchedMs / r.looks);
}

std::unique_ptr<Watch> MakeWatch(bool screen, HWND view) {
  if (!screen) return std::make_unique<TextWatch>(view);
  auto watch = std::make_unique<ScreenWatch>(view);
  if (!watch->Ready()) return nullptr;
  return watch;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: delivery-probe PORT FRAMES text|screen\n");
    return 3;
  }
  bool screen = std::string(argv[3]) == "screen";
  int frames = std::atoi(argv[2]);
  HWND view = bench::FindWritingWindow(bench::FindMainWindow());
  std::unique_ptr<Watch> watch = view ? MakeWatch(screen, view) : nullptr;
  if (!watch) {
    std::fprintf(stderr, "delivery-probe: no Writing Window to watch\n");
    return 2;
  }
  HANDLE cable = bench::OpenCable(argv[1]);
  if (cable == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "delivery-probe: cannot open %s\n", argv[1]);
    return 2;
  }
  Results results;
  RunFrames(cable, view, *watch, argv[3][0], frames, results);
  CloseHandle(cable);
  Print(results, screen, frames);
  return results.times.empty() || results.lost || results.wrongText ? 1 : 0;
}
