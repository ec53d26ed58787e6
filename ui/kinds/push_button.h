// PushButton: a "BUTTON" that raises "Action" when clicked. A window's
// Default and Cancel buttons are pushed by Return and Escape too, through
// Push(), which clicks without taking the focus from the control that has
// it.
#pragma once
#include <windows.h>

#include "objects/builtin_classes.h"
#include "sdk/ui_layouts.h"
#include "ui/kinds/kind_pane.h"

// The kind as the class registry sees it (control_kinds.cpp lists it).
extern const BuiltInBehaviour kPushButtonKind;

// The kind's one event, "Action" (the button was clicked or pushed).
extern EventEntry gPushButtonEvents[1];

// The kind's "CreatePane" handler.
void __cdecl PushButtonCreatePane(ObjectRecord* control);

class PushButtonPane : public KindPane {
 public:
  explicit PushButtonPane(RectControlObject* control) : KindPane(control) {}
  bool Create(HWND parent);
  void SetDefault(bool on);
  void Command(int code) override;
  bool KeyDown(const MSG& message) override;
  bool IsDefaultButton() const override;
  bool IsCancelButton() const override;
  void Push() override;

 protected:
  const ControlFontFields* FontFields() const override { return &As<PushButtonObject>()->font; }
};
