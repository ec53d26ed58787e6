// bench-window: the least a Win32 program does to put one window on the
// screen. The start-up benchmark times it beside the application in the same
// prefix, so that the application's figure can be read against what Wine
// itself costs for a process and a window. It keeps the runtime's start-up
// trace (VELLORY_STARTUP_TRACE) at the same points, for the same reading.
#include <windows.h>

#include "startup/startup_trace.h"

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, w, l);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  StartupMark("process entry");
  WNDCLASSA cls = {};
  cls.lpfnWndProc = WindowProc;
  cls.hInstance = instance;
  cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  cls.lpszClassName = "BenchWindow";
  if (!RegisterClassA(&cls)) return 1;
  StartupMark("class registered");
  HWND window = CreateWindowExA(0, "BenchWindow", "Bench Window", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                CW_USEDEFAULT, CW_USEDEFAULT, 300, 200, nullptr, nullptr, instance,
                                nullptr);
  if (!window) return 1;
  StartupMark("window created and shown");
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  WriteStartupTrace();
  return 0;
}
