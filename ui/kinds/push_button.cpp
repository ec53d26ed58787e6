// PushButton: its pane (its "Action" on a click; the window's Default and
// Cancel buttons for Return and Escape), its accessors and its row for the
// class registry.
#include "ui/kinds/push_button.h"

#include <windows.h>

#include <cstddef>

#include "objects/objects.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"
#include "ui/controls.h"
#include "ui/kinds/kind_table.h"

namespace {

PushButtonObject* Button(ObjectRecord* o) { return reinterpret_cast<PushButtonObject*>(o); }

PushButtonPane* PaneOf(ObjectRecord* button) {
  return button ? static_cast<PushButtonPane*>(Button(button)->rect.pane) : nullptr;
}

}  // namespace

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

void __cdecl PushButtonCreatePane(ObjectRecord* control) {
  if (control) MakeKindPane<PushButtonPane>(&Button(control)->rect);
}

extern "C" {

StringRecord* pushButtonTitleGetter(ObjectRecord* button) {
  return button ? stringGetter(button, offsetof(PushButtonObject, caption)) : nullptr;
}
void pushButtonTitleSetter(ObjectRecord* button, uint32_t, StringRecord* caption) {
  SetCaptionField(button, offsetof(PushButtonObject, caption), caption);
}

bool pushButtonDefaultGetter(ObjectRecord* button) { return button && Button(button)->isDefault; }
void pushButtonDefaultSetter(ObjectRecord* button, uint32_t, bool on) {
  if (!button) return;
  Button(button)->isDefault = on ? 1 : 0;
  if (PushButtonPane* pane = PaneOf(button)) pane->SetDefault(on);
}

bool pushButtonCancelGetter(ObjectRecord* button) { return button && Button(button)->isCancel; }
void pushButtonCancelSetter(ObjectRecord* button, uint32_t, bool on) {
  if (button) Button(button)->isCancel = on ? 1 : 0;
}

void pushButtonPush(ObjectRecord* button) {
  if (PushButtonPane* pane = PaneOf(button)) pane->Push();
}

}  // extern "C"

// --- the kind's row ---------------------------------------------------------------------

static_assert(LayoutSize("PushButton") == sizeof(PushButtonObject));

extern "C" {
VS_FONT_ACCESSORS(pushButton, PushButtonObject)
}  // extern "C"

EventEntry gPushButtonEvents[1] = {{0, "Action", "", "", 0, nullptr}};

namespace {

void __cdecl PushButtonDestruct(ObjectRecord* o, ClassRecord*) {
  auto* b = reinterpret_cast<PushButtonObject*>(o);
  CloseControlPane(&b->rect);
  RuntimeUnlockString(b->caption);
  b->caption = nullptr;
  ReleaseFontFields(b->font);
}

const PropertyEntry kPushButtonProperties[] = {
    {nullptr, "Caption", "String", CodeOf(pushButtonTitleGetter), CodeOf(pushButtonTitleSetter), 0},
    {nullptr, "Default", "Boolean", CodeOf(pushButtonDefaultGetter), CodeOf(pushButtonDefaultSetter),
     0},
    {nullptr, "Cancel", "Boolean", CodeOf(pushButtonCancelGetter), CodeOf(pushButtonCancelSetter), 0},
    VS_FONT_ROWS(pushButton, PushButtonObject),
};

const BuiltInHandler kPushButtonHandlers[] = {{"CreatePane", CodeOf(PushButtonCreatePane)}};

}  // namespace

const BuiltInBehaviour kPushButtonKind = {
    .name = "PushButton", .destructor = PushButtonDestruct,
    .events = gPushButtonEvents, .eventCount = 1,
    .properties = kPushButtonProperties, .propertyCount = CountOf(kPushButtonProperties),
    .handlers = kPushButtonHandlers, .handlerCount = CountOf(kPushButtonHandlers)};
