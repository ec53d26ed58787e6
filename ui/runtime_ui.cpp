// Start-up's user-interface services; see runtime_ui.h. The window classes
// are registered once, before any window is made, and the window system's
// answers to the event loop are installed with them, so the loop never runs
// against the "nothing to do" defaults in a program that has windows.
#include "ui/runtime_ui.h"

#include <ole2.h>

#include "objects/startup_trace.h"
#include "ui/event_loop.h"
#include "ui/native_window.h"
#include "ui/window_class_names.h"

namespace {
std::string gDefaultFontName;
int gDefaultFontSize = 0;
HWND gFrame = nullptr;
HWND gMdiClient = nullptr;

void RegisterClass(const char* name, WNDPROC proc, int extraBytes, HBRUSH background) {
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = proc;
  wc.cbWndExtra = extraBytes;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}
}  // namespace

void RegisterRuntimeWindowClasses() {
  RegisterClass(kWindowClassName, ZBWindowProc, 4, nullptr);
  RegisterClass(kPaneClassName, ZBPaneProc, 4, nullptr);
  RegisterClass(kFrameClassName, ZBFrameProc, 0, reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1));
  InstallWindowServices();
}

void SetDefaultFont(const std::string& name, int size) {
  gDefaultFontName = name;
  gDefaultFontSize = size;
}
const std::string& DefaultFontName() { return gDefaultFontName; }
int DefaultFontSize() { return gDefaultFontSize; }

// The frame of a multiple-document application with its MDI client; the
// application's document windows become children of the client.
void CreateFrameWindow(const std::string& title) {
  if (gFrame) return;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  gFrame = CreateWindowExA(0, kFrameClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                           nullptr, instance, nullptr);
  if (!gFrame) return;
  CLIENTCREATESTRUCT ccs = {nullptr, 0xFF00};
  gMdiClient = CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE,
                               0, 0, 0, 0, gFrame, nullptr, instance, &ccs);
  SetMdiMode(gMdiClient != nullptr, gMdiClient);
  ShowWindow(gFrame, SW_SHOW);
}

bool MdiMode() { return gMdiClient != nullptr; }
HWND MdiClientHandle() { return gMdiClient; }
HWND MdiFrameHandle() { return gFrame; }

// A program closed before its first paint still leaves the start-up trace.
void ShutDownRuntime() {
  WriteStartupTrace();
  OleUninitialize();
}
