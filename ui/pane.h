// Native panes: the runtime objects behind RectControls on screen, a Win32
// child control or a runtime-drawn "ZB_Pane" window. Each control kind
// derives its pane from Pane and overrides what it needs.
#pragma once
#include <windows.h>

#include "objects/strings.h"
#include "sdk/ui_layouts.h"

enum PaneState { kPaneEnable = 5, kPaneDisable = 6, kPaneShow = 7, kPaneHide = 8 };

class Pane {
 public:
  explicit Pane(RectControlObject* control) : control_(control) {}
  virtual ~Pane() = default;
  Pane(const Pane&) = delete;
  Pane& operator=(const Pane&) = delete;

  HWND Handle() const { return hwnd_; }
  RectControlObject* Control() const { return control_; }

  virtual void SetState(int state);
  virtual void SetBounds(const ShortRect& bounds, bool redraw);
  virtual bool CanTakeFocus();
  virtual void GainFocus();
  virtual void LoseFocus();
  virtual void Invalidate();
  virtual void Idle() {}
  // WM_COMMAND notification code of a Win32 control pane.
  virtual void Command(int /*code*/) {}
  // WM_HSCROLL / WM_VSCROLL request, WM_NOTIFY, WM_DRAWITEM.
  virtual void Scroll(int /*request*/, int /*position*/) {}
  virtual LRESULT Notify(NMHDR* /*header*/) { return 0; }
  virtual void DrawItem(DRAWITEMSTRUCT* /*item*/) {}
  // Destroys the child window; the pane is deleted by its owner afterwards.
  virtual void Close();
  // Once every control of the window has its pane, before any "Open" (a
  // pane that governs other panes, such as a tab panel, sets them up here).
  virtual void WindowComplete() {}
  // A runtime-drawn ("ZB_Pane") pane draws itself into `dc`, its client area.
  virtual void Paint(HDC /*dc*/) {}
  // WM_CTLCOLOR* of a Win32 control pane: the brush its background is
  // painted with (after setting the colours into `dc`), or null for the
  // system's default.
  virtual HBRUSH ControlColor(HDC /*dc*/, UINT /*message*/) { return nullptr; }

  // Keyboard handling of a window. A key-down message for the focused pane:
  // true when the pane consumed it. Return reaches the window's Default
  // button unless the focused pane takes Return itself.
  virtual bool KeyDown(const MSG& /*message*/) { return false; }
  virtual bool TakesReturn() const { return false; }
  // Push buttons: whether this is the window's Default or Cancel button, and
  // performing a click ("Action" follows).
  virtual bool IsDefaultButton() const { return false; }
  virtual bool IsCancelButton() const { return false; }
  virtual void Push() {}

  // Menus, while the pane is active: enables the items it serves (by item
  // name, through `enable`) and handles the one chosen (true = handled).
  virtual void EnableMenuItems(void (*enable)(const char* itemName)) { (void)enable; }
  virtual bool HandleMenuItem(const char* /*itemName*/) { return false; }

  void SetTabPanelIndex(int32_t index) { tabPanelIndex_ = index; }
  int32_t TabPanelIndex() const { return tabPanelIndex_; }
  void SetHelp(StringRecord* enabled, StringRecord* disabled);
  // The help texts last passed (kept, not shown: this platform shows no
  // balloon help for panes).
  StringRecord* Help() const { return help_.get(); }
  StringRecord* DisabledHelp() const { return disabledHelp_.get(); }

 protected:
  // Creates the child window of `windowClass` with `style` (plus WS_CHILD and
  // WS_VISIBLE) at the control's bounds inside `parent`, and ties it to the
  // pane ("ZBInstance" property, or the window bytes of a "ZB_Pane").
  bool CreateChild(HWND parent, const char* windowClass, const char* text, DWORD style,
                   DWORD exStyle = 0, int extraHeight = 0);

  HWND hwnd_ = nullptr;
  RectControlObject* control_;
  int32_t tabPanelIndex_ = 0;

 private:
  int extraHeight_ = 0;  // a combo box's drop-down list below the control
  StringRef help_;
  StringRef disabledHelp_;
};

// The pane behind a child HWND (through "ZBInstance" or the ZB_Pane window
// bytes), or null.
Pane* PaneFromHandle(HWND hwnd);
