// startup-timer: how long a program takes from the moment it is started to
// the moment its first top-level window is visible, timed from the Windows
// side so that the process is created the way the system creates any other.
// Two programs take turns run by run, so that a machine whose load drifts
// during the benchmark shifts both figures alike; one untimed run of each
// comes first (the first start of a program reads its files from disk).
//
//   startup-timer RUNS NAME DIR PROGRAM NAME DIR PROGRAM
//   startup-timer once GIVE_UP_MS NAME DIR PROGRAM
//
// The second form times one start, with no untimed start before it, for a
// start that takes long (a large preference file): it waits up to
// GIVE_UP_MS for the window.
//
// Each program is started with DIR as its working folder, timed, then asked
// to close (WM_CLOSE to that window) and waited for before the next run.
// Beside the times it prints, for each program, how long after the start the
// system dates the process's creation: what a start-up trace's "ms since
// creation" leaves out.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_figures.h"

namespace {

double gGiveUpMs = 60000;
constexpr DWORD kExitWaitMs = 20000;

struct Program {
  std::string name, folder, path;
  std::vector<double> runs;
  std::vector<double> createdAfter;  // ms from the start to the process's creation time
  std::string window;  // "class|title" of the window that was found
};

struct Search {
  DWORD process;
  HWND found;
};

BOOL CALLBACK MatchVisible(HWND w, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(w, &owner);
  if (owner != search->process || !IsWindowVisible(w)) return TRUE;
  search->found = w;
  return FALSE;
}

HWND VisibleWindowOf(DWORD process) {
  Search search{process, nullptr};
  EnumWindows(MatchVisible, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string Describe(HWND w) {
  char cls[256] = "", title[256] = "";
  GetClassNameA(w, cls, sizeof cls);
  GetWindowTextA(w, title, sizeof title);
  return std::string(cls) + "|" + title;
}

void EndProcess(const PROCESS_INFORMATION& process, HWND window, const Program& p) {
  if (window) PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, kExitWaitMs) != WAIT_OBJECT_0) {
    std::fprintf(stderr, "startup-timer: %s did not end when asked; terminated\n", p.name.c_str());
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, kExitWaitMs);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

double WallClockMs() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return bench::FileTimeMs(now);
}

// When the system dates the creation of a process whose window has come,
// against the wall clock reading `startedAt` taken before it was asked for.
void RecordCreation(Program& p, HANDLE process, double startedAt) {
  FILETIME created, exited, kernel, user;
  if (GetProcessTimes(process, &created, &exited, &kernel, &user))
    p.createdAfter.push_back(bench::FileTimeMs(created) - startedAt);
}

// One start; the time in ms, or a negative number when no window came.
double TimeOneStart(Program& p) {
  std::string command = "\"" + p.path + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  double startedAt = WallClockMs();
  double start = bench::NowMs();
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, p.folder.c_str(),
                      &startup, &process)) {
    std::fprintf(stderr, "startup-timer: cannot start %s (error %lu)\n", p.path.c_str(), GetLastError());
    return -1;
  }
  HWND window = nullptr;
  double elapsed = 0;
  while (!(window = VisibleWindowOf(process.dwProcessId))) {
    elapsed = bench::NowMs() - start;
    if (elapsed > gGiveUpMs || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
    Sleep(1);
  }
  if (window) {
    elapsed = bench::NowMs() - start;
    p.window = Describe(window);
    RecordCreation(p, process.hProcess, startedAt);
  }
  EndProcess(process, window, p);
  return window ? elapsed : -1;
}

void PrintRuns(const Program& p) {
  std::printf("  %-16s", p.name.c_str());
  for (double ms : p.runs) std::printf(" %.0f", ms);
  std::printf(" ms\n");
}

}  // namespace

int TimeOnce(char** argv) {
  gGiveUpMs = std::atof(argv[2]);
  Program p;
  p.name = argv[3];
  p.folder = argv[4];
  p.path = argv[5];
  double ms = TimeOneStart(p);
  if (ms < 0) {
    std::printf("  %-16s no window within %.0f ms\n", p.name.c_str(), gGiveUpMs);
    return 1;
  }
  std::printf("  %-16s %.0f ms to its first visible window (%s)\n", p.name.c_str(), ms, p.window.c_str());
  return 0;
}

int main(int argc, char** argv) {
  if (argc == 6 && std::string(argv[1]) == "once") return TimeOnce(argv);
  if (argc != 8) {
    std::fprintf(stderr, "usage: startup-timer RUNS NAME DIR PROGRAM NAME DIR PROGRAM\n"
                         "       startup-timer once GIVE_UP_MS NAME DIR PROGRAM\n");
    return 3;
  }
  int runs = std::atoi(argv[1]);
  Program programs[2];
  for (int i = 0; i < 2; ++i) {
    programs[i].name = argv[2 + 3 * i];
    programs[i].folder = argv[3 + 3 * i];
    programs[i].path = argv[4 + 3 * i];
  }
  double warm[2];
  for (int i = 0; i < 2; ++i) warm[i] = TimeOneStart(programs[i]);
  if (warm[0] < 0 || warm[1] < 0) return 1;
  for (Program& p : programs) p.createdAfter.clear();
  for (int run = 0; run < runs; ++run)
    for (Program& p : programs) {
      double ms = TimeOneStart(p);
      if (ms < 0) return 1;
      p.runs.push_back(ms);
    }
  std::printf("start-up: process creation to its first visible top-level window, %d runs each, "
              "taking turns\n", runs);
  std::printf("  untimed first runs: %s %.0f ms, %s %.0f ms\n", programs[0].name.c_str(), warm[0],
              programs[1].name.c_str(), warm[1]);
  for (const Program& p : programs) std::printf("  %-16s window %s\n", p.name.c_str(), p.window.c_str());
  for (const Program& p : programs) PrintRuns(p);
  double medians[2] = {bench::Median(programs[0].runs), bench::Median(programs[1].runs)};
  for (int i = 0; i < 2; ++i)
    std::printf("  %-16s median %7.1f ms\n", programs[i].name.c_str(), medians[i]);
  for (const Program& p : programs)
    std::printf("  %-16s created (by the system's date) a median %.0f ms after the start\n",
                p.name.c_str(), bench::Median(p.createdAfter));
  std::printf("  ratio of medians (%s / %s) %.2f\n", programs[1].name.c_str(), programs[0].name.c_str(),
              medians[1] / medians[0]);
  return 0;
}
