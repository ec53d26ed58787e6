// The properties every Control and RectControl has: the tables the class
// records are built from, and the setters whose effect goes beyond storing
// (the pane must follow the stored state). The generic field accessors
// address the fields of sdk/ui_layouts.h through the parameter word.
#include <windows.h>

#include <cstddef>

#include "objects/builtin_classes.h"
#include "objects/checked_cast.h"
#include "objects/objects.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"
#include "ui/class_events.h"
#include "ui/focus.h"
#include "ui/pane.h"

namespace {

// The control as a RectControl; null for nil and for any other object.
RectControlObject* Rect(ObjectRecord* control) { return As<RectControlObject>(control); }

// A lock flag as its getter answers it: false for anything but a RectControl.
bool Lock(ObjectRecord* control, uint8_t RectControlObject::*lock) {
  RectControlObject* rc = Rect(control);
  return rc && rc->*lock;
}

// Stores a lock flag of a RectControl; nothing for anything else.
void SetLock(ObjectRecord* control, uint8_t RectControlObject::*lock, bool on) {
  if (RectControlObject* rc = Rect(control)) rc->*lock = on;
}

void PassHelp(RectControlObject* rc) {
  if (rc->pane) rc->pane->SetHelp(rc->balloonHelp, rc->disabledBalloonHelp);
}

// A new cursor shows at once when the mouse is over the control already: the
// window procedure chooses the cursor on WM_SETCURSOR.
void RefreshCursor(RectControlObject* rc) {
  if (!rc->pane || !rc->pane->Handle()) return;
  HWND pane = rc->pane->Handle();
  POINT at;
  if (!GetCursorPos(&at) || WindowFromPoint(at) != pane) return;
  SendMessageA(GetParent(pane), WM_SETCURSOR, reinterpret_cast<WPARAM>(pane),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

int32_t __cdecl MacControlHandleGetter(ObjectRecord*) { return 0; }  // no such handle here

constexpr uint32_t kName = offsetof(ControlObject, name);
constexpr uint32_t kIndex = offsetof(ControlObject, index);
constexpr uint32_t kTabPanelIndex = offsetof(RectControlObject, tabPanelIndex);
constexpr uint32_t kMouseCursor = offsetof(RectControlObject, mouseCursor);
constexpr uint32_t kBalloonHelp = offsetof(RectControlObject, balloonHelp);
constexpr uint32_t kDisabledBalloonHelp = offsetof(RectControlObject, disabledBalloonHelp);

}  // namespace

// The events of controls, and of controls that occupy a rectangle (ui/class_events.h).
EventEntry gControlEvents[kControlEventCount] = {
    {0, "CreatePane", "", "", 0, nullptr},
    {0, "Open", "", "", 0, nullptr},
    {0, "Close", "", "", 0, nullptr},
};

EventEntry gRectControlEvents[kRectControlEventCount] = {
    {0, "GotFocus", "", "", 0, nullptr},
    {0, "LostFocus", "", "", 0, nullptr},
    {0, "MouseDown", "X As Integer, Y As Integer", "Boolean", 0, nullptr},
    {0, "MouseDrag", "X As Integer, Y As Integer", "", 0, nullptr},
    {0, "MouseUp", "X As Integer, Y As Integer", "", 0, nullptr},
    {0, "MouseMove", "X As Integer, Y As Integer", "", 0, nullptr},
    {0, "MouseEnter", "", "", 0, nullptr},
    {0, "MouseExit", "", "", 0, nullptr},
    {0, "DropObject", "obj As DragItem", "", 0, nullptr},
};

extern "C" {

bool controlVisibleGetter(ObjectRecord* control) {
  RectControlObject* rc = Rect(control);
  return rc && rc->visible;
}

void ControlVisibleSetter(ObjectRecord* control, uint32_t, bool visible) {
  RectControlObject* rc = Rect(control);
  if (!rc) return;
  if (!visible) ReleaseFocusOfPane(rc->pane);
  if (rc->pane) rc->pane->SetState(visible ? kPaneShow : kPaneHide);
  rc->visible = visible;
}

bool controlEnabledGetter(ObjectRecord* control) {
  RectControlObject* rc = Rect(control);
  return rc && rc->enabled;
}

void controlEnabledSetter(ObjectRecord* control, uint32_t, bool enabled) {
  RectControlObject* rc = Rect(control);
  if (!rc) return;
  rc->enabled = enabled;
  if (!enabled) ReleaseFocusOfPane(rc->pane);
  if (rc->pane) rc->pane->SetState(enabled ? kPaneEnable : kPaneDisable);
}

bool controlLockLeftGetter(ObjectRecord* control) { return Lock(control, &RectControlObject::lockLeft); }
bool controlLockTopGetter(ObjectRecord* control) { return Lock(control, &RectControlObject::lockTop); }
bool controlLockRightGetter(ObjectRecord* control) { return Lock(control, &RectControlObject::lockRight); }
bool controlLockBottomGetter(ObjectRecord* control) {
  return Lock(control, &RectControlObject::lockBottom);
}
void controlLockLeftSetter(ObjectRecord* control, uint32_t, bool on) {
  SetLock(control, &RectControlObject::lockLeft, on);
}
void controlLockTopSetter(ObjectRecord* control, uint32_t, bool on) {
  SetLock(control, &RectControlObject::lockTop, on);
}
void controlLockRightSetter(ObjectRecord* control, uint32_t, bool on) {
  SetLock(control, &RectControlObject::lockRight, on);
}
void controlLockBottomSetter(ObjectRecord* control, uint32_t, bool on) {
  SetLock(control, &RectControlObject::lockBottom, on);
}

void controlBalloonHelpSetter(ObjectRecord* control, uint32_t, StringRecord* text) {
  RectControlObject* rc = Rect(control);
  if (!rc) return;
  stringSetter(control, kBalloonHelp, text);
  PassHelp(rc);
}

void controlDisabledBalloonHelpSetter(ObjectRecord* control, uint32_t, StringRecord* text) {
  RectControlObject* rc = Rect(control);
  if (!rc) return;
  stringSetter(control, kDisabledBalloonHelp, text);
  PassHelp(rc);
}

void controlMouseCursorSetter(ObjectRecord* control, uint32_t, ObjectRecord* cursor) {
  RectControlObject* rc = Rect(control);
  if (!rc) return;
  objSetter(control, kMouseCursor, cursor);
  RefreshCursor(rc);
}

}  // extern "C"

const PropertyEntry kControlProperties[] = {
    {nullptr, "Name", "String", CodeOf(stringGetter), CodeOf(stringSetter), kName},
    {nullptr, "Index", "Integer", CodeOf(intFieldGetter), CodeOf(intFieldSetter), kIndex},
    {nullptr, "Window", "Window", CodeOf(controlWindowGetter), nullptr, 0},
};
const uint32_t kControlPropertyCount = sizeof kControlProperties / sizeof kControlProperties[0];

const PropertyEntry kRectControlProperties[] = {
    {nullptr, "BalloonHelp", "String", CodeOf(stringGetter), CodeOf(controlBalloonHelpSetter),
     kBalloonHelp},
    {nullptr, "DisabledBalloonHelp", "String", CodeOf(stringGetter),
     CodeOf(controlDisabledBalloonHelpSetter), kDisabledBalloonHelp},
    {nullptr, "TabPanelIndex", "Integer", CodeOf(intFieldGetter), CodeOf(intFieldSetter),
     kTabPanelIndex},
    {nullptr, "MouseCursor", "MouseCursor", CodeOf(objGetter), CodeOf(controlMouseCursorSetter),
     kMouseCursor},
    {nullptr, "MouseX", "Integer", CodeOf(controlMouseXGetter), nullptr, 0},
    {nullptr, "MouseY", "Integer", CodeOf(controlMouseYGetter), nullptr, 0},
    {nullptr, "MacControlHandle", "Integer", CodeOf(MacControlHandleGetter), nullptr, 0},
    {nullptr, "Visible", "Boolean", CodeOf(controlVisibleGetter), CodeOf(ControlVisibleSetter), 0},
    {nullptr, "Left", "Integer", CodeOf(ctlPosGetter), CodeOf(ctlPosSetter), 0},
    {nullptr, "Top", "Integer", CodeOf(ctlPosGetter), CodeOf(ctlPosSetter), 1},
    {nullptr, "Width", "Integer", CodeOf(ctlPosGetter), CodeOf(ctlPosSetter), 2},
    {nullptr, "Height", "Integer", CodeOf(ctlPosGetter), CodeOf(ctlPosSetter), 3},
    {nullptr, "Enabled", "Boolean", CodeOf(controlEnabledGetter), CodeOf(controlEnabledSetter), 0},
    {nullptr, "LockLeft", "Boolean", CodeOf(controlLockLeftGetter), CodeOf(controlLockLeftSetter), 0},
    {nullptr, "LockTop", "Boolean", CodeOf(controlLockTopGetter), CodeOf(controlLockTopSetter), 0},
    {nullptr, "LockRight", "Boolean", CodeOf(controlLockRightGetter), CodeOf(controlLockRightSetter),
     0},
    {nullptr, "LockBottom", "Boolean", CodeOf(controlLockBottomGetter),
     CodeOf(controlLockBottomSetter), 0},
};
const uint32_t kRectControlPropertyCount =
    sizeof kRectControlProperties / sizeof kRectControlProperties[0];
