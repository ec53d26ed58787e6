// The program's process entry. The C runtime calls main; from here on the
// program behaves as a window program: the command line past the program's
// own name and the show state from STARTUPINFO go to the window-program entry,
// whose result is the exit status.
#include <windows.h>

#include "startup/command_line.h"
#include "startup/win_main.h"

int main() {
  STARTUPINFOA startup;
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
  LPSTR rest = const_cast<LPSTR>(SkipProgramName(GetCommandLineA()));
  return RuntimeWinMain(GetModuleHandleA(nullptr), nullptr, rest, show);
}
