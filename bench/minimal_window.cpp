// bench-window: the least a Win32 program does to put one window on the
// screen. The start-up benchmark times it beside the application in the same
// prefix, so that the application's figure can be read against what Wine
// itself costs for a process and a window. It keeps the runtime's start-up
// trace (VELLORY_STARTUP_TRACE) at the same points, for the same reading.
//
// Built with FIRST_WINDOW_LIBRARIES (bench-window-libraries) it also does
// what the application's first window cannot do without: OLE initialised,
// the common controls, a rich-edit field in the window before it shows.
// Timed against the plain build, that is the floor the libraries alone set,
// apart from anything the runtime does.
#include <windows.h>
#ifdef FIRST_WINDOW_LIBRARIES
#include <commctrl.h>
#include <ole2.h>
#endif

#include "objects/startup_trace.h"

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, w, l);
}

#ifdef FIRST_WINDOW_LIBRARIES
constexpr DWORD kShownAtCreation = 0;
void StartLibraries() {
  InitCommonControls();
  OleInitialize(nullptr);
  StartupMark("OLE, common controls");
}
// The application's Writing Window is a rich-edit field of this library.
// Without it the floor would read too low, so the program then shows nothing.
bool AddEditField(HWND window, HINSTANCE instance) {
  if (!LoadLibraryA("RICHED32.DLL")) return false;
  if (!CreateWindowExA(0, "RICHEDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 200, 100,
                       window, nullptr, instance, nullptr))
    return false;
  ShowWindow(window, SW_SHOW);
  StartupMark("rich-edit field made, window shown");
  return true;
}
#else
constexpr DWORD kShownAtCreation = WS_VISIBLE;
void StartLibraries() {}
bool AddEditField(HWND, HINSTANCE) { return true; }
#endif

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  StartupMark("process entry");
  StartLibraries();
  WNDCLASSA cls = {};
  cls.lpfnWndProc = WindowProc;
  cls.hInstance = instance;
  cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  cls.lpszClassName = "BenchWindow";
  if (!RegisterClassA(&cls)) return 1;
  StartupMark("class registered");
  HWND window = CreateWindowExA(0, "BenchWindow", "Bench Window",
                                WS_OVERLAPPEDWINDOW | kShownAtCreation, CW_USEDEFAULT,
                                CW_USEDEFAULT, 300, 200, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  StartupMark(kShownAtCreation ? "window created and shown" : "window created");
  if (!AddEditField(window, instance)) return 1;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  WriteStartupTrace();
#ifdef FIRST_WINDOW_LIBRARIES
  OleUninitialize();
#endif
  return 0;
}
