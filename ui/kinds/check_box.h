// CheckBox: a "BUTTON" with a check mark. The runtime turns the mark over
// itself (a plain check-box style rather than an automatic one), so that
// Value has changed by the time "Action" runs.
#pragma once
#include <windows.h>

#include <cstdint>

#include "objects/builtin_classes.h"
#include "sdk/ui_layouts.h"
#include "ui/kinds/kind_pane.h"

// The kind as the class registry sees it (control_kinds.cpp lists it).
extern const BuiltInBehaviour kCheckBoxKind;

// The kind's one event, "Action" (the user clicked the box).
extern EventEntry gCheckBoxEvents[1];

// The kind's "CreatePane" handler.
void __cdecl CheckBoxCreatePane(ObjectRecord* control);

class CheckBoxPane : public KindPane {
 public:
  explicit CheckBoxPane(RectControlObject* control) : KindPane(control) {}
  bool Create(HWND parent);
  void SetCheck(uint8_t value);
  void Command(int code) override;

 protected:
  const ControlFontFields* FontFields() const override { return &As<CheckBoxObject>()->font; }
};
