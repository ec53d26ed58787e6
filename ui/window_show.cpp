// Showing and hiding windows. Visible is what the
// application asked for; the show-when-idle flag is what the pump acts on, so
// a window made visible during its own creation still appears only after its
// "Open" handlers have run.
#include <windows.h>

#include "objects/objects.h"
#include "ui/native_window.h"

namespace {
WindowObject* AsWindow(ObjectRecord* object) { return reinterpret_cast<WindowObject*>(object); }
}  // namespace

// A window shown while a modal window is up does not take the activation
// from it: the modal window stays the one the user answers.
void ShowNativeWindow(NativeWindow* n) {
  NativeWindow* modal = VisibleModalWindow();
  ShowWindow(n->hwnd, modal && modal != n ? SW_SHOWNA : SW_SHOW);
}

extern "C" {

void RuntimeShowWindow(ObjectRecord* window) {
  if (!window) return;
  WindowObject* w = AsWindow(window);
  w->visible = 1;
  NativeWindow* n = w->native;
  if (!n) return;
  n->showWhenIdle = true;
  if (n->hwnd) ShowNativeWindow(n);
}

void RuntimeHideWindow(ObjectRecord* window) {
  if (!window) return;
  WindowObject* w = AsWindow(window);
  w->visible = 0;
  NativeWindow* n = w->native;
  if (!n) return;
  if (n->hwnd && IsWindowVisible(n->hwnd)) ShowWindow(n->hwnd, SW_HIDE);
  n->showWhenIdle = false;
}

}  // extern "C"
