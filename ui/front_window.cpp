// The front window; see front_window.h. The window list is ordered by
// creation, not by z-order, so the active window is asked first; the list is
// only the answer when focus is elsewhere, so that a menu chosen while the
// program is in the background still reaches a window's handlers.
#include "ui/front_window.h"

#include <windows.h>

#include "ui/focus.h"
#include "ui/native_window.h"

namespace {

WindowObject* ApplicationWindowOf(NativeWindow* n) {
  if (!n || !n->window || n->closing || !NativeAttribute(n, "RuntimeViewWindow")) return nullptr;
  return n->window;
}

HWND ActiveHandle() {
  if (MdiMode() && MdiClientHandle())
    return reinterpret_cast<HWND>(SendMessageA(MdiClientHandle(), WM_MDIGETACTIVE, 0, 0));
  return GetActiveWindow();
}

}  // namespace

WindowObject* FrontApplicationWindow() {
  if (WindowObject* w = ApplicationWindowOf(NativeWindowFromHandle(ActiveHandle()))) return w;
  for (NativeWindow* n = FirstListedWindow(); n; n = n->nextWindow)
    if (WindowObject* w = ApplicationWindowOf(n)) return w;
  return nullptr;
}

Pane* ActivePaneOfFrontWindow() { return ActivePaneIn(FrontApplicationWindow()); }
