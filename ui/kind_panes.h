// The panes of the built-in control kinds. KindPane holds what they share:
// the font from the control's font fields (through the font cache), the
// subclassing of a Win32 control's window procedure (so that a click or Tab
// into it makes it the active pane, and a kind can look at its messages
// first), the colours behind controls on a window with its own background,
// and the flag that keeps the runtime's own changes from raising events.
#pragma once
#include <windows.h>
#include <richedit.h>

#include <memory>
#include <string>

#include "objects/strings.h"
#include "sdk/ui_layouts.h"
#include "ui/drawing/colours.h"
#include "ui/event_loop.h"
#include "ui/drawing/fonts.h"
#include "ui/kind_rules.h"
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

// --- the kinds' panes -------------------------------------------------------------------

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

class CheckBoxPane : public KindPane {
 public:
  explicit CheckBoxPane(RectControlObject* control) : KindPane(control) {}
  bool Create(HWND parent);
  void SetCheck(uint8_t value);
  void Command(int code) override;

 protected:
  const ControlFontFields* FontFields() const override { return &As<CheckBoxObject>()->font; }
};

class GroupBoxPane : public KindPane {
 public:
  explicit GroupBoxPane(RectControlObject* control) : KindPane(control) {}
  bool Create(HWND parent);
  bool CanTakeFocus() override { return false; }

 protected:
  const ControlFontFields* FontFields() const override { return &As<GroupBoxObject>()->font; }
};

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

// The visible tab panel of the control's window on which the control lies,
// or null.
class TabPanelPane;
TabPanelPane* TabPanelUnder(const RectControlObject* control);

class TabPanelPane : public KindPane {
 public:
  explicit TabPanelPane(RectControlObject* control) : KindPane(control) {}
  bool Create(HWND parent);
  void WindowComplete() override;
  LRESULT Notify(NMHDR* header) override;

  int32_t TabCount();
  int32_t Selected();  // 0-based, -1 when none
  // Selects tab `tab` (0-based), shows its controls, raises "Change".
  void Select(int32_t tab);
  // Shows exactly the controls on the panel whose TabPanelIndex is the
  // selected tab's number.
  void ShowSelectedTab();
  void Close() override;

  // Controls on the panel stand on its body, not on the window: a brush of
  // the body as it is drawn, aligned for the control at `bounds` drawing
  // into `dc` (for their WM_CTLCOLOR*), and the body drawn into the DC of a
  // runtime-drawn pane at `bounds`.
  HBRUSH BodyBrush(HDC dc, const ShortRect& bounds);
  void DrawBody(HDC dc, const ShortRect& bounds);

 protected:
  const ControlFontFields* FontFields() const override { return &As<TabPanelObject>()->font; }

 private:
  HBRUSH body_ = nullptr;
  SIZE bodySize_{};
};

// The block that sweeps over an indeterminate progress bar: a runtime-drawn
// pane laid over the bar, moved by a periodic task.
class SweepPane : public Pane {
 public:
  explicit SweepPane(RectControlObject* control) : Pane(control) {}
  bool Create(HWND parent);
  void Paint(HDC dc) override;
  bool CanTakeFocus() override { return false; }
  void Step();
  const Sweep& State() const { return sweep_; }

 private:
  Sweep sweep_;
};

class ProgressPane : public KindPane {
 public:
  explicit ProgressPane(RectControlObject* control) : KindPane(control) {}
  ~ProgressPane() override;
  bool Create(HWND parent);
  void Close() override;
  void SetState(int state) override;
  void SetBounds(const ShortRect& bounds, bool redraw) override;
  bool CanTakeFocus() override { return false; }

  void SetValue(int32_t value);
  void SetMaximum(int32_t maximum);
  SweepPane* Sweeping() const { return sweep_; }
  PeriodicTask* SweepTask() const { return task_; }

 protected:
  const ControlFontFields* FontFields() const override { return &As<ProgressBarObject>()->font; }

 private:
  void StartSweep();
  void StopSweep();
  static void RunSweep(void* pane);
  SweepPane* sweep_ = nullptr;
  PeriodicTask* task_ = nullptr;
};
