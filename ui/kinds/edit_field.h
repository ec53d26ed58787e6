// EditField: a field of text the user edits. Its pane is a plain "EDIT"
// control, or a "RichEdit" one for styled or multi-line fields; while it
// has the focus it serves the menu bar's edit commands. The field's
// accessors are entry points (sdk/entry_control_kinds.h); its fields are in
// sdk/ui_layouts.h.
#pragma once
#include <windows.h>
#include <richedit.h>

#include <cstdint>

#include "objects/builtin_classes.h"
#include "objects/strings.h"
#include "sdk/ui_layouts.h"
#include "ui/kinds/kind_pane.h"

// The kind as the class registry sees it (control_kinds.cpp lists it).
extern const BuiltInBehaviour kEditFieldKind;

// The events the kind declares, in declaration order.
enum EditFieldEvent { kEditTextChange, kEditSelChange, kEditKeyDown, kEditFieldEventCount };
extern EventEntry gEditFieldEvents[kEditFieldEventCount];

// The kind's "CreatePane" handler.
void __cdecl EditFieldCreatePane(ObjectRecord* control);

class EditPane : public KindPane {
 public:
  explicit EditPane(RectControlObject* control) : KindPane(control) {}
  bool Create(HWND parent);

  bool Rich() const { return rich_; }
  StringRef Text();
  void SetText(StringRecord* text);
  void GetSelection(int32_t& start, int32_t& end);
  void SetSelection(int32_t start, int32_t end);
  void ReplaceSelection(StringRecord* text);
  StringRef SelectedText();
  void ApplyReadOnly();
  void ApplyLimit();
  void ApplyPassword();
  void ApplyColors();
  // Character format of the selection (rich panes only; false without).
  bool GetSelectionFormat(CHARFORMATA& format);
  void SetSelectionFormat(CHARFORMATA& format);
  StringRef StyleData();

  void Command(int code) override;
  LRESULT Notify(NMHDR* header) override;
  HBRUSH ControlColor(HDC dc, UINT message) override;
  bool KeyDown(const MSG& message) override;
  bool TakesReturn() const override;
  void EnableMenuItems(void (*enable)(const char* itemName)) override;
  bool HandleMenuItem(const char* itemName) override;

 protected:
  const ControlFontFields* FontFields() const override { return &As<EditFieldObject>()->font; }
  void ApplyFont(HFONT font) override;
  LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

 private:
  enum class EditCommand { kUndo, kCut, kCopy, kPaste, kClear, kSelectAll, kNone };
  bool Allowed(EditCommand command);
  // A plain edit control tells of no selection change: the pane compares
  // after every message that may have changed it.
  void CheckSelection();
  bool rich_ = false;
  int32_t lastStart_ = 0, lastEnd_ = 0;
};
