// StaticText: a label. Its pane is runtime-drawn rather than a Win32
// "STATIC", so that the text stands over whatever the window shows beneath
// it (its background colour, a backdrop picture, a tab panel's body); it
// never takes the focus.
#pragma once
#include <windows.h>

#include <string>

#include "objects/builtin_classes.h"
#include "sdk/ui_layouts.h"
#include "ui/drawing/fonts.h"
#include "ui/kinds/kind_pane.h"

// The kind as the class registry sees it (control_kinds.cpp lists it).
extern const BuiltInBehaviour kStaticTextKind;

// The kind's "CreatePane" handler.
void __cdecl StaticTextCreatePane(ObjectRecord* control);

class StaticTextPane : public KindPane {
 public:
  explicit StaticTextPane(RectControlObject* control) : KindPane(control) {}
  bool Create(HWND parent);
  void Paint(HDC dc) override;
  // The text is drawn over what the window shows beneath it: the window
  // repaints that part first.
  void Invalidate() override;
  bool CanTakeFocus() override { return false; }
  // The caption became the window text too (UI tools read it).
  void CaptionChanged();

  // The last DrawText of Paint, for tests: the text, its format and box.
  struct Drawn {
    std::string text;
    UINT format = 0;
    RECT box{};
    COLORREF color = 0;
  };
  const Drawn& LastDrawn() const { return drawn_; }

 protected:
  FontRequest WantedFont() const override;
  void ApplyFont(HFONT font) override;

 private:
  Drawn drawn_;
};
