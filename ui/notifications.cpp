// Routing of child-control notifications; see notifications.h. Win32 sends a
// control's notifications to its parent, the window; the pane that stands for
// the control is found from the control's HWND and told. A WM_COMMAND that
// names a control HWND is never a menu command, even when no pane answers.
#include "ui/notifications.h"

#include "ui/pane.h"

namespace {

HWND FromLParam(LPARAM lParam) { return reinterpret_cast<HWND>(lParam); }

bool Command(WPARAM wParam, LPARAM lParam, LRESULT& result) {
  HWND control = FromLParam(lParam);
  if (!control) return false;  // a menu command
  if (Pane* pane = PaneFromHandle(control)) pane->Command(HIWORD(wParam));
  result = 1;
  return true;
}

// Without a control HWND the request comes from the window's own scroll bar.
bool Scroll(WPARAM wParam, LPARAM lParam, LRESULT& result) {
  HWND bar = FromLParam(lParam);
  if (!bar) return false;
  if (Pane* pane = PaneFromHandle(bar))
    pane->Scroll(LOWORD(wParam), static_cast<int16_t>(HIWORD(wParam)));
  result = 1;
  return true;
}

// The pane's own answer goes back: some notifications (a tab control's
// TCN_SELCHANGING) read a non-zero result as a refusal.
bool Notify(LPARAM lParam, LRESULT& result) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  Pane* pane = header ? PaneFromHandle(header->hwndFrom) : nullptr;
  if (!pane) return false;
  result = pane->Notify(header);
  return true;
}

bool DrawItem(LPARAM lParam, LRESULT& result) {
  auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
  if (!item || item->CtlType != ODT_LISTBOX) return false;
  Pane* pane = PaneFromHandle(item->hwndItem);
  if (!pane) return false;
  pane->DrawItem(item);
  result = TRUE;
  return true;
}

// The pane may choose its colours; otherwise the window procedure's default.
bool ControlColor(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  Pane* pane = PaneFromHandle(FromLParam(lParam));
  HBRUSH brush = pane ? pane->ControlColor(reinterpret_cast<HDC>(wParam), message) : nullptr;
  if (!brush) return false;
  result = reinterpret_cast<LRESULT>(brush);
  return true;
}

}  // namespace

bool DispatchControlNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND: return Command(wParam, lParam, result);
    case WM_HSCROLL:
    case WM_VSCROLL: return Scroll(wParam, lParam, result);
    case WM_NOTIFY: return Notify(lParam, result);
    case WM_DRAWITEM: return DrawItem(lParam, result);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: return ControlColor(message, wParam, lParam, result);
    default: return false;
  }
}
