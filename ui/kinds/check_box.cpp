// CheckBox: its pane (the runtime sets the check mark itself, then raises
// "Action"), its accessors and its row for the class registry.
#include "ui/kinds/check_box.h"

#include <windows.h>

#include <cstddef>

#include "objects/checked_cast.h"
#include "objects/objects.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"
#include "ui/controls.h"
#include "ui/kinds/kind_table.h"

namespace {

// The object as a CheckBox; null for nil and for an object of any other class.
CheckBoxObject* Box(ObjectRecord* o) { return As<CheckBoxObject>(o); }

}  // namespace

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

void __cdecl CheckBoxCreatePane(ObjectRecord* control) {
  if (CheckBoxObject* b = Box(control)) MakeKindPane<CheckBoxPane>(&b->rect);
}

extern "C" {

StringRecord* checkBoxTitleGetter(ObjectRecord* box) { return KindCaption<CheckBoxObject>(box); }
void checkBoxTitleSetter(ObjectRecord* box, uint32_t, StringRecord* caption) {
  SetKindCaption<CheckBoxObject>(box, caption);
}

bool checkBoxValueGetter(ObjectRecord* box) {
  CheckBoxObject* b = Box(box);
  return b && b->value;
}
void checkBoxValueSetter(ObjectRecord* box, uint32_t, bool checked) {
  CheckBoxObject* b = Box(box);
  if (!b) return;
  if (auto* pane = static_cast<CheckBoxPane*>(b->rect.pane)) pane->SetCheck(checked);
  b->value = checked ? 1 : 0;
}

}  // extern "C"

// --- the kind's row ---------------------------------------------------------------------

static_assert(LayoutSize("CheckBox") == sizeof(CheckBoxObject));

extern "C" {
VS_FONT_ACCESSORS(checkBox, CheckBoxObject)
}  // extern "C"

EventEntry gCheckBoxEvents[1] = {{0, "Action", "", "", 0, nullptr}};

namespace {

void __cdecl CheckBoxDestruct(ObjectRecord* o, ClassRecord*) {
  auto* b = reinterpret_cast<CheckBoxObject*>(o);
  CloseControlPane(&b->rect);
  RuntimeUnlockString(b->caption);
  b->caption = nullptr;
  ReleaseFontFields(b->font);
}

const PropertyEntry kCheckBoxProperties[] = {
    {nullptr, "Caption", "String", CodeOf(checkBoxTitleGetter), CodeOf(checkBoxTitleSetter), 0},
    {nullptr, "Value", "Boolean", CodeOf(checkBoxValueGetter), CodeOf(checkBoxValueSetter), 0},
    {nullptr, "State", "Integer", CodeOf(checkBoxValueGetter), CodeOf(checkBoxValueSetter), 0},
    VS_FONT_ROWS(checkBox, CheckBoxObject),
};

const BuiltInHandler kCheckBoxHandlers[] = {{"CreatePane", CodeOf(CheckBoxCreatePane)}};

}  // namespace

const BuiltInBehaviour kCheckBoxKind = {
    .name = "CheckBox", .destructor = CheckBoxDestruct, .events = gCheckBoxEvents, .eventCount = 1,
    .properties = kCheckBoxProperties, .propertyCount = CountOf(kCheckBoxProperties),
    .handlers = kCheckBoxHandlers, .handlerCount = CountOf(kCheckBoxHandlers)};
