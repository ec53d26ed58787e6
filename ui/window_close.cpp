// Closing a window: its controls hear "Close" first, then the window, and
// only then does anything disappear, so every handler still sees the whole
// window. A window whose closing has begun is not closed again: a "Close"
// handler that quits the application reaches this code a second time for the
// same window.
#include "objects/builtin_classes.h"
#include "objects/checked_cast.h"
#include "objects/events.h"
#include "objects/objects.h"
#include "ui/class_events.h"
#include "ui/control_dictionary.h"
#include "ui/controls.h"
#include "ui/focus.h"
#include "ui/native_window.h"
#include "ui/pane.h"

namespace {

void RaiseControlsClose(WindowObject* w) {
  for (int32_t i = 0; i < ControlCount(w->controls); ++i) {
    ObjectRecord* c = ControlAt(w->controls, i);
    if (IsRectControl(c)) {
      Pane* pane = reinterpret_cast<RectControlObject*>(c)->pane;
      if (pane && ActivePane() == pane) ClearActivePane();
    }
    RaiseEvent(c, gControlEvents[kControlClose]);
  }
}

// The panes go before the controls are released: a control that outlives
// the window (the application still holds it) must not keep a pane whose
// child window is gone.
void ClosePanes(WindowObject* w) {
  for (int32_t i = 0; i < ControlCount(w->controls); ++i) {
    ObjectRecord* c = ControlAt(w->controls, i);
    if (!IsRectControl(c)) continue;
    auto* rc = reinterpret_cast<RectControlObject*>(c);
    if (rc->pane && ActivePane() == rc->pane) ClearActivePane();
    CloseControlPane(rc);
  }
}

void ForgetMouseOwner(WindowObject* w) {
  MouseOwner& owner = CurrentMouseOwner();
  if (!owner.object) return;
  bool ours = owner.object == &w->header;
  if (!ours && !owner.isWindow)
    ours = reinterpret_cast<ControlObject*>(owner.object)->window == &w->header;
  if (ours) ReleaseMouseOwner();
}

}  // namespace

void CloseWindowObject(WindowObject* w) {
  if (!w || !w->native || w->native->closing) return;
  w->native->closing = true;
  RuntimeLockObject(&w->header);
  RaiseControlsClose(w);
  RaiseEvent(&w->header, gWindowEvents[kWindowClose]);
  ForgetMouseOwner(w);
  ClosePanes(w);
  DestroyControlDictionary(w->controls);
  w->controls = nullptr;
  if (w->native) w->native->Destroy();
  RuntimeUnlockObject(&w->header);
}

extern "C" void RuntimeCloseWindow(ObjectRecord* window) {
  WindowObject* w = As<WindowObject>(window);
  if (!w || !w->native || w->native->closing) return;
  if (RaiseEvent<bool>(window, gWindowEvents[kWindowCancelClose])) return;
  CloseWindowObject(w);
}
