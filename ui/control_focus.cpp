// The focus entry points of application code. A control asks for the focus
// through its pane; the pane becomes its window's focused pane at once, but
// the process-wide active pane only while that window is the active one (the
// window's activation restores it later, see RestoreWindowFocus).
#include <windows.h>

#include "objects/checked_cast.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"
#include "ui/focus.h"
#include "ui/native_window.h"
#include "ui/pane.h"

extern "C" {

void RuntimeSetFocus(ObjectRecord* control) {
  RectControlObject* rc = As<RectControlObject>(control);
  if (!rc) return;
  Pane* pane = rc->pane;
  if (!pane || !pane->CanTakeFocus()) return;
  SetFocusedPaneOf(reinterpret_cast<WindowObject*>(rc->control.window), pane);
  HWND top = pane->Handle() ? GetAncestor(pane->Handle(), GA_ROOT) : nullptr;
  if (top && top == GetActiveWindow()) SetActivePane(pane);
}

void formSetFocus(ObjectRecord* window) {
  WindowObject* w = As<WindowObject>(window);
  if (!w || !w->native) return;
  SetFocusedPaneOf(w, nullptr);
  SetActiveWindowFocus(w, NativeWindowHandle(w->native));
}

void clearFocus() { ClearActivePane(); }

}  // extern "C"
