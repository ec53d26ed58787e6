// TabPanel: a tab control whose tabs each show their own controls of the
// window. The controls on a panel are the window's, not the panel's (each
// names its tab in TabPanelIndex), so the panel shows and hides them, and
// the controls that stand on it, the static text and the plug-in panes
// among them, draw its body behind them.
#pragma once
#include <windows.h>

#include "objects/builtin_classes.h"
#include "sdk/ui_layouts.h"
#include "ui/kinds/kind_pane.h"

// The kind as the class registry sees it (control_kinds.cpp lists it).
extern const BuiltInBehaviour kTabPanelKind;

// The kind's one event, "Change" (the user or the application chose a tab).
extern EventEntry gTabPanelEvents[1];

// The kind's "CreatePane" handler.
void __cdecl TabPanelCreatePane(ObjectRecord* control);

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
