// Where a RectControl is: its bounds in the window's content coordinates, the
// pane that follows them, repainting parts of it, and the mouse relative to
// it. A bounds change that changes nothing must not reach the pane: moving a
// Win32 control repaints it, and handlers set positions freely.
#include <windows.h>

#include "objects/checked_cast.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"
#include "ui/pane.h"

namespace {

// The control as a RectControl; null for nil and for any other object.
RectControlObject* Rect(ObjectRecord* control) { return As<RectControlObject>(control); }

int16_t Short(int32_t value) { return static_cast<int16_t>(value); }

bool SameRect(const ShortRect& a, const ShortRect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

ShortRect Placed(ShortRect b, uint32_t which, int32_t value) {
  switch (which) {
    case 0: {
      int32_t dx = value - b.left;
      b.left = Short(value);
      b.right = Short(b.right + dx);
      break;
    }
    case 1: {
      int32_t dy = value - b.top;
      b.top = Short(value);
      b.bottom = Short(b.bottom + dy);
      break;
    }
    case 2: b.right = Short(b.left + value); break;
    case 3: b.bottom = Short(b.top + value); break;
    default: break;
  }
  return b;
}

// The cursor in the control's own coordinates (through its pane's parent,
// whose client coordinates are the window's content coordinates).
POINT CursorInControl(const RectControlObject* rc) {
  POINT at = {0, 0};
  if (!rc->pane || !rc->pane->Handle()) return at;
  GetCursorPos(&at);
  ScreenToClient(GetParent(rc->pane->Handle()), &at);
  at.x -= rc->bounds.left;
  at.y -= rc->bounds.top;
  return at;
}

}  // namespace

extern "C" {

int32_t ctlPosGetter(ObjectRecord* control, uint32_t which) {
  RectControlObject* rc = Rect(control);
  if (!rc) return 0;
  const ShortRect& b = rc->bounds;
  switch (which) {
    case 0: return b.left;
    case 1: return b.top;
    case 2: return b.right - b.left;
    case 3: return b.bottom - b.top;
    default: return 0;
  }
}

void ctlPosSetter(ObjectRecord* control, uint32_t which, int32_t value) {
  RectControlObject* rc = Rect(control);
  if (!rc) return;
  ShortRect moved = Placed(rc->bounds, which, value);
  if (SameRect(moved, rc->bounds)) return;
  rc->bounds = moved;
  if (rc->pane) rc->pane->SetBounds(moved, true);
}

int32_t controlMouseXGetter(ObjectRecord* control) {
  RectControlObject* rc = Rect(control);
  return rc ? CursorInControl(rc).x : 0;
}

int32_t controlMouseYGetter(ObjectRecord* control) {
  RectControlObject* rc = Rect(control);
  return rc ? CursorInControl(rc).y : 0;
}

void RuntimeControlRefresh(ObjectRecord* control) {
  RectControlObject* rc = Rect(control);
  if (!rc || !rc->pane) return;
  Pane* pane = rc->pane;
  pane->Invalidate();
  if (pane->Handle()) UpdateWindow(pane->Handle());
}

// The rectangle is given in the window's coordinates, so the window is asked
// to repaint it, together with every child pane it covers.
void RuntimeControlRefreshRect(ObjectRecord* control, int32_t x, int32_t y, int32_t width,
                               int32_t height) {
  RectControlObject* rc = Rect(control);
  if (!rc || !rc->pane || !rc->pane->Handle()) return;
  HWND parent = GetParent(rc->pane->Handle());
  RECT r = {rc->bounds.left + x, rc->bounds.top + y, rc->bounds.left + x + width,
            rc->bounds.top + y + height};
  RedrawWindow(parent, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

}  // extern "C"
