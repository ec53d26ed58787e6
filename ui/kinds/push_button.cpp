// PushButton: its pane (its "Action" on a click; the window's Default and
// Cancel buttons for Return and Escape), its accessors and its row for the
// class registry.
#include "ui/kinds/push_button.h"

#include <windows.h>

#include <cstddef>

#include "objects/checked_cast.h"
#include "objects/objects.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"
#include "ui/controls.h"
#include "ui/kinds/kind_table.h"

namespace {

// The object as a PushButton; null for nil and for an object of any other class.
PushButtonObject* Button(ObjectRecord* o) { return As<PushButtonObject>(o); }

PushButtonPane* PaneOf(ObjectRecord* button) {
  PushButtonObject* b = Button(button);
  return b ? static_cast<PushButtonPane*>(b->rect.pane) : nullptr;
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
  if (PushButtonObject* b = Button(control)) MakeKindPane<PushButtonPane>(&b->rect);
}

extern "C" {

StringRecord* pushButtonTitleGetter(ObjectRecord* button) {
  return KindCaption<PushButtonObject>(button);
}
void pushButtonTitleSetter(ObjectRecord* button, uint32_t, StringRecord* caption) {
  SetKindCaption<PushButtonObject>(button, caption);
}

bool pushButtonDefaultGetter(ObjectRecord* button) {
  PushButtonObject* b = Button(button);
  return b && b->isDefault;
}
void pushButtonDefaultSetter(ObjectRecord* button, uint32_t, bool on) {
  PushButtonObject* b = Button(button);
  if (!b) return;
  b->isDefault = on ? 1 : 0;
  if (PushButtonPane* pane = PaneOf(button)) pane->SetDefault(on);
}

bool pushButtonCancelGetter(ObjectRecord* button) {
  PushButtonObject* b = Button(button);
  return b && b->isCancel;
}
void pushButtonCancelSetter(ObjectRecord* button, uint32_t, bool on) {
  if (PushButtonObject* b = Button(button)) b->isCancel = on ? 1 : 0;
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
