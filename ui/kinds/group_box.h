// GroupBox: a captioned frame around other controls. It raises no events
// and never takes the focus.
#pragma once
#include <windows.h>

#include "objects/builtin_classes.h"
#include "sdk/ui_layouts.h"
#include "ui/kinds/kind_pane.h"

// The kind as the class registry sees it (control_kinds.cpp lists it).
extern const BuiltInBehaviour kGroupBoxKind;

// The kind's "CreatePane" handler.
void __cdecl GroupBoxCreatePane(ObjectRecord* control);

class GroupBoxPane : public KindPane {
 public:
  explicit GroupBoxPane(RectControlObject* control) : KindPane(control) {}
  bool Create(HWND parent);
  bool CanTakeFocus() override { return false; }

 protected:
  const ControlFontFields* FontFields() const override { return &As<GroupBoxObject>()->font; }
};
