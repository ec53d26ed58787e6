// Showing and hiding windows. Visible is what the
// application asked for; the show-when-idle flag is what the pump acts on, so
// a window made visible during its own creation still appears only after its
// "Open" handlers have run. A window is never shown where the user cannot
// reach its title bar.
#include <windows.h>

#include <algorithm>

#include "objects/checked_cast.h"
#include "objects/objects.h"
#include "objects/startup_trace.h"
#include "ui/native_window.h"

namespace {

// How much of a window's top edge must lie on a monitor's work area for its
// title bar to be grabbed.
constexpr LONG kReachable = 40;

// A place saved on a monitor that is gone or on a larger screen would open
// the window out of sight: it moves onto the nearest monitor's work area,
// keeping its size.
void KeepReachable(HWND hwnd) {
  RECT r;
  if (IsIconic(hwnd) || IsZoomed(hwnd) || !GetWindowRect(hwnd, &r)) return;
  RECT top = {r.left, r.top, r.right, r.top + kReachable};
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(MonitorFromRect(&top, MONITOR_DEFAULTTONEAREST), &info)) return;
  RECT seen;
  const RECT& work = info.rcWork;
  if (IntersectRect(&seen, &top, &work) && seen.right - seen.left >= kReachable &&
      seen.bottom - seen.top >= kReachable)
    return;
  // Inside the work area; one larger than it keeps its top left corner there.
  LONG x = std::max(work.left, std::min(r.left, work.right - (r.right - r.left)));
  LONG y = std::max(work.top, std::min(r.top, work.bottom - (r.bottom - r.top)));
  SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

// A window shown while a modal window is up does not take the activation
// from it: the modal window stays the one the user answers.
void ShowNativeWindow(NativeWindow* n) {
  if (!(GetWindowLongA(n->hwnd, GWL_STYLE) & WS_CHILD)) KeepReachable(n->hwnd);
  NativeWindow* modal = VisibleModalWindow();
  ShowWindow(n->hwnd, modal && modal != n ? SW_SHOWNA : SW_SHOW);
  StartupMark("window shown");
}

extern "C" {

void RuntimeShowWindow(ObjectRecord* window) {
  WindowObject* w = As<WindowObject>(window);
  if (!w) return;
  w->visible = 1;
  NativeWindow* n = w->native;
  if (!n) return;
  n->showWhenIdle = true;
  if (n->hwnd) ShowNativeWindow(n);
}

void RuntimeHideWindow(ObjectRecord* window) {
  WindowObject* w = As<WindowObject>(window);
  if (!w) return;
  w->visible = 0;
  NativeWindow* n = w->native;
  if (!n) return;
  if (n->hwnd && IsWindowVisible(n->hwnd)) ShowWindow(n->hwnd, SW_HIDE);
  n->showWhenIdle = false;
}

}  // extern "C"
