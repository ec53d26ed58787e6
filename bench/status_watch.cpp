// status-watch: the moment the main window's status line first reads a
// given text, on the system's wall clock, so that a script on the host can
// set it beside the moment it did something to the cable.
//
//   status-watch TEXT TIMEOUT_MS
//
// Prints "watching" once it has found the status line, then, when the text
// is there, "seen MS" with MS the wall-clock time in milliseconds since
// 1970 (Wine's clock is the host's). Exits 1 when the time-out passes first.
// It asks for the line's text every 5 ms; each question wakes the program's
// event loop, but the program notices a lost or returned line on its own
// timers, which the questions do not hurry.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Search {
  HWND main;
  HWND found;
};

// The status line is the pane at 21,2 of the main window's client area.
BOOL CALLBACK MatchStatus(HWND w, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  char cls[64] = "";
  GetClassNameA(w, cls, sizeof cls);
  if (std::strcmp(cls, "ZB_Pane") != 0) return TRUE;
  RECT r;
  GetWindowRect(w, &r);
  POINT corner = {r.left, r.top};
  ScreenToClient(search->main, &corner);
  if (corner.x != 21 || corner.y != 2) return TRUE;
  search->found = w;
  return FALSE;
}

std::string TextOf(HWND w) {
  char text[256];
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutA(w, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                           2000, &got))
    return "";
  return std::string(text, got);
}

long long WallClockMs() {
  FILETIME t;
  GetSystemTimeAsFileTime(&t);
  long long ticks = (static_cast<long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  return ticks / 10000 - 11644473600000LL;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: status-watch TEXT TIMEOUT_MS\n");
    return 2;
  }
  std::string want = argv[1];
  DWORD limit = static_cast<DWORD>(std::atol(argv[2]));
  Search search = {FindWindowA("ZBWindow", "Vellory Server"), nullptr};
  if (!search.main) {
    std::fprintf(stderr, "status-watch: no main window\n");
    return 2;
  }
  EnumChildWindows(search.main, MatchStatus, reinterpret_cast<LPARAM>(&search));
  if (!search.found) {
    std::fprintf(stderr, "status-watch: no status line\n");
    return 2;
  }
  std::printf("watching\n");
  std::fflush(stdout);
  DWORD start = GetTickCount();
  while (GetTickCount() - start < limit) {
    if (TextOf(search.found) == want) {
      std::printf("seen %lld\n", WallClockMs());
      return 0;
    }
    Sleep(5);
  }
  std::printf("timeout\n");
  return 1;
}
