// The "BUTTON" kinds: PushButton (its "Action" on a click; the window's
// Default and Cancel buttons for Return and Escape), CheckBox (the runtime
// sets the check mark itself, then raises "Action") and GroupBox.
#include <windows.h>

#include <cstddef>

#include "objects/objects.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"
#include "ui/control_kinds.h"
#include "ui/kind_panes.h"

namespace {

PushButtonObject* Button(ObjectRecord* o) { return reinterpret_cast<PushButtonObject*>(o); }
CheckBoxObject* Box(ObjectRecord* o) { return reinterpret_cast<CheckBoxObject*>(o); }
GroupBoxObject* Group(ObjectRecord* o) { return reinterpret_cast<GroupBoxObject*>(o); }

template <typename PaneType>
PaneType* PaneOf(ObjectRecord* control) {
  return control ? static_cast<PaneType*>(reinterpret_cast<RectControlObject*>(control)->pane)
                 : nullptr;
}

template <typename PaneType>
void MakePane(RectControlObject* rc) {
  HWND parent = PaneParentOf(rc);
  if (!parent || rc->pane) return;
  auto* pane = new PaneType(rc);
  if (!pane->Create(parent)) {
    delete pane;
    return;
  }
  rc->pane = pane;
}

void SetCaption(ObjectRecord* control, uint32_t offset, StringRecord* caption) {
  if (!control) return;
  stringSetter(control, offset, caption);
  Pane* pane = reinterpret_cast<RectControlObject*>(control)->pane;
  if (pane && pane->Handle()) SetWindowTextA(pane->Handle(), StringCText(caption));
}

}  // namespace

// --- PushButton ---------------------------------------------------------------------------

bool PushButtonPane::Create(HWND parent) {
  PushButtonObject* b = As<PushButtonObject>();
  DWORD style = WS_TABSTOP | (b->isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
  return Make(parent, "BUTTON", StringCText(b->caption), style);
}

// The Default button wears the heavier frame.
void PushButtonPane::SetDefault(bool on) {
  if (hwnd_) SendMessageA(hwnd_, BM_SETSTYLE, on ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void PushButtonPane::Command(int code) {
  if (code == BN_CLICKED) RaiseOnControl(control_, gPushButtonEvents[0]);
}

// Return on a push button that has the focus pushes that button.
bool PushButtonPane::KeyDown(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_RETURN) return false;
  Push();
  return true;
}

bool PushButtonPane::IsDefaultButton() const { return As<PushButtonObject>()->isDefault != 0; }
bool PushButtonPane::IsCancelButton() const { return As<PushButtonObject>()->isCancel != 0; }

// The click reaches the window as the button's own would, without taking the
// focus from the control that has it (Return in a field pushes the Default
// button and typing goes on in the field).
void PushButtonPane::Push() {
  if (!hwnd_ || !IsWindowEnabled(hwnd_)) return;
  SendMessageA(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), BN_CLICKED),
               reinterpret_cast<LPARAM>(hwnd_));
}

// --- CheckBox -----------------------------------------------------------------------------

bool CheckBoxPane::Create(HWND parent) {
  CheckBoxObject* b = As<CheckBoxObject>();
  if (!Make(parent, "BUTTON", StringCText(b->caption), BS_CHECKBOX | BS_NOTIFY | WS_TABSTOP))
    return false;
  SetCheck(b->value);
  return true;
}

void CheckBoxPane::SetCheck(uint8_t value) {
  if (hwnd_) SendMessageA(hwnd_, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

// A click turns the check over (the box does not do it itself), then the
// control hears of it.
void CheckBoxPane::Command(int code) {
  if (code != BN_CLICKED) return;
  ObjectRecord* box = ControlObjectRecord();
  checkBoxValueSetter(box, 0, !As<CheckBoxObject>()->value);
  RaiseOnControl(control_, gCheckBoxEvents[0]);
}

// --- GroupBox -----------------------------------------------------------------------------

bool GroupBoxPane::Create(HWND parent) {
  return Make(parent, "BUTTON", StringCText(As<GroupBoxObject>()->caption), BS_GROUPBOX);
}

void __cdecl PushButtonCreatePane(ObjectRecord* control) {
  if (control) MakePane<PushButtonPane>(&Button(control)->rect);
}
void __cdecl CheckBoxCreatePane(ObjectRecord* control) {
  if (control) MakePane<CheckBoxPane>(&Box(control)->rect);
}
void __cdecl GroupBoxCreatePane(ObjectRecord* control) {
  if (control) MakePane<GroupBoxPane>(&Group(control)->rect);
}

extern "C" {

StringRecord* pushButtonTitleGetter(ObjectRecord* button) {
  return button ? stringGetter(button, offsetof(PushButtonObject, caption)) : nullptr;
}
void pushButtonTitleSetter(ObjectRecord* button, uint32_t, StringRecord* caption) {
  SetCaption(button, offsetof(PushButtonObject, caption), caption);
}

bool pushButtonDefaultGetter(ObjectRecord* button) { return button && Button(button)->isDefault; }
void pushButtonDefaultSetter(ObjectRecord* button, uint32_t, bool on) {
  if (!button) return;
  Button(button)->isDefault = on ? 1 : 0;
  if (PushButtonPane* pane = PaneOf<PushButtonPane>(button)) pane->SetDefault(on);
}

bool pushButtonCancelGetter(ObjectRecord* button) { return button && Button(button)->isCancel; }
void pushButtonCancelSetter(ObjectRecord* button, uint32_t, bool on) {
  if (button) Button(button)->isCancel = on ? 1 : 0;
}

void pushButtonPush(ObjectRecord* button) {
  if (PushButtonPane* pane = PaneOf<PushButtonPane>(button)) pane->Push();
}

StringRecord* checkBoxTitleGetter(ObjectRecord* box) {
  return box ? stringGetter(box, offsetof(CheckBoxObject, caption)) : nullptr;
}
void checkBoxTitleSetter(ObjectRecord* box, uint32_t, StringRecord* caption) {
  SetCaption(box, offsetof(CheckBoxObject, caption), caption);
}

bool checkBoxValueGetter(ObjectRecord* box) { return box && Box(box)->value; }
void checkBoxValueSetter(ObjectRecord* box, uint32_t, bool checked) {
  if (!box) return;
  if (CheckBoxPane* pane = PaneOf<CheckBoxPane>(box)) pane->SetCheck(checked);
  Box(box)->value = checked ? 1 : 0;
}

StringRecord* groupCaptionGetter(ObjectRecord* group) {
  return group ? stringGetter(group, offsetof(GroupBoxObject, caption)) : nullptr;
}
void groupCaptionSetter(ObjectRecord* group, uint32_t, StringRecord* caption) {
  SetCaption(group, offsetof(GroupBoxObject, caption), caption);
}

}  // extern "C"
