// What the panes of the built-in control kinds share; each kind's own pane
// is in its file beside this one. KindPane holds the font from the
// control's font fields (through the font cache), the subclassing of a
// Win32 control's window procedure (so that a click or Tab into it makes it
// the active pane, and a kind can look at its messages first), the colours
// behind controls on a window with its own background, and the flag that
// keeps the runtime's own changes from raising events. Plug-in panes use
// the free functions here too.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "objects/checked_cast.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "sdk/class_records.h"
#include "sdk/ui_layouts.h"
#include "ui/drawing/fonts.h"
#include "ui/pane.h"

// The HWND a control's pane goes into: its window's; null without one.
HWND PaneParentOf(const RectControlObject* control);

// The font a kind's font fields ask for; the runtime's default font (else
// "System" 12) where they leave the name empty or the size 0.
FontRequest RequestedFont(StringRecord* name, int32_t size, bool bold, bool italic, bool underline);

class KindPane : public Pane {
 public:
  explicit KindPane(RectControlObject* control) : Pane(control) {}
  ~KindPane() override;

  void Close() override;
  HBRUSH ControlColor(HDC dc, UINT message) override;

  // The control's font fields changed: the pane takes the font they ask for.
  void RefreshFont();
  HFONT Font() const { return font_; }
  // The request the font came from (for tests).
  const std::string& FontName() const { return fontName_; }
  int FontSize() const { return fontSize_; }

  // While suppressed, the pane raises none of the events its own changes
  // would cause.
  bool Suppressed() const { return suppressed_ > 0; }
  class Suppression {
   public:
    explicit Suppression(KindPane* pane) : pane_(pane) { ++pane_->suppressed_; }
    ~Suppression() { --pane_->suppressed_; }
    Suppression(const Suppression&) = delete;
    Suppression& operator=(const Suppression&) = delete;

   private:
    KindPane* pane_;
  };

 protected:
  // Creates the child window (see Pane::CreateChild), subclasses it when it
  // is a Win32 control, and gives it the font.
  bool Make(HWND parent, const char* windowClass, const char* text, DWORD style,
            DWORD exStyle = 0, int extraHeight = 0);
  // The font the pane should show; the default reads FontFields().
  virtual FontRequest WantedFont() const;
  virtual const ControlFontFields* FontFields() const { return nullptr; }
  // Gives the pane a font it has just acquired (default: WM_SETFONT).
  virtual void ApplyFont(HFONT font);

  // A message of the subclassed control, before its own procedure. Set
  // `handled` to keep it from the control's procedure (returning the
  // result); CallOriginal passes it on from here. The pane may be gone when
  // an event handler raised from here returns: check Alive() first.
  virtual LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT CallOriginal(UINT message, WPARAM wParam, LPARAM lParam);
  std::shared_ptr<bool> AliveToken() const { return alive_; }

  // The control as its kind.
  template <typename T>
  T* As() const {
    return reinterpret_cast<T*>(control_);
  }
  ObjectRecord* ControlObjectRecord() const { return &control_->control.header; }
  // The brush of the window's own background colour, or null when the
  // window has none (the system's default then shows).
  HBRUSH WindowBackground(HDC dc);
  HBRUSH SolidBrush(COLORREF color);

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // The user moved the focus into the pane (a click, the Tab key): it
  // becomes its window's focused pane and the active one.
  void TookNativeFocus();
  void ReleaseGdi();

  WNDPROC original_ = nullptr;
  HFONT font_ = nullptr;
  std::string fontName_;
  int fontSize_ = 0;
  HBRUSH brush_ = nullptr;
  COLORREF brushColor_ = 0;
  int suppressed_ = 0;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// Raising an event on a control while holding a reference to it, so that a
// handler that closes the window does not pull the control away under the
// raise. The pane that raised may be gone afterwards.
void RaiseOnControl(RectControlObject* control, const EventEntry& event);
bool RaiseBoolOnControl(RectControlObject* control, const EventEntry& event, StringRecord* arg);

// Makes the control's pane of kind `PaneType` (which has
// `bool Create(HWND parent)`) in the control's window: nothing without a
// window or when the control has a pane already, and no pane when creating
// its window fails. What every kind's "CreatePane" handler does.
template <typename PaneType>
void MakeKindPane(RectControlObject* control) {
  HWND parent = PaneParentOf(control);
  if (!parent || control->pane) return;
  auto* pane = new PaneType(control);
  if (!pane->Create(parent)) {
    delete pane;
    return;
  }
  control->pane = pane;
}

// Stores a caption field (at `offset` in the control) and shows it as the
// pane's window text, which is where a "BUTTON" control draws its caption.
void SetCaptionField(ObjectRecord* control, uint32_t offset, StringRecord* caption);

// The Caption accessors of a kind with a caption field: the getter answers
// nil, and the setter does nothing, for any object but a `Kind`.
template <typename Kind>
StringRecord* KindCaption(ObjectRecord* control) {
  return As<Kind>(control) ? stringGetter(control, offsetof(Kind, caption)) : nullptr;
}
template <typename Kind>
void SetKindCaption(ObjectRecord* control, StringRecord* caption) {
  if (As<Kind>(control)) SetCaptionField(control, offsetof(Kind, caption), caption);
}
