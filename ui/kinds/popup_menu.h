// PopupMenu: a drop-down list of rows, one of them chosen. Its rows live in
// the pane's list, not in the object: the described InitialValue is read
// once when the pane is made, and the row entry points
// (sdk/entry_control_kinds.h) reach the pane.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string_view>

#include "objects/builtin_classes.h"
#include "objects/strings.h"
#include "sdk/ui_layouts.h"
#include "ui/kinds/kind_pane.h"

// The kind as the class registry sees it (control_kinds.cpp lists it).
extern const BuiltInBehaviour kPopupMenuKind;

// The kind's one event, "Change" (the user chose a row).
extern EventEntry gPopupMenuEvents[1];

// The kind's "CreatePane" handler.
void __cdecl PopupMenuCreatePane(ObjectRecord* control);

class PopupPane : public KindPane {
 public:
  explicit PopupPane(RectControlObject* control) : KindPane(control) {}
  bool Create(HWND parent);
  void Close() override;

  int32_t Count();
  int32_t Selection();
  void Select(int32_t row);
  StringRef Row(int32_t row);
  void Insert(int32_t row, std::string_view text);  // -1 or past the end: append
  void Remove(int32_t row);
  void Replace(int32_t row, std::string_view text);
  void Empty();
  ObjectRecord* Tag(int32_t row);  // borrowed
  void SetTag(int32_t row, ObjectRecord* tag);

  void Command(int code) override;

 protected:
  const ControlFontFields* FontFields() const override { return &As<PopupMenuObject>()->font; }

 private:
  void ReleaseTags();
};
