// Routing of Win32 notifications from child controls to their panes.
#pragma once
#include <windows.h>

// WM_COMMAND (from a control), WM_HSCROLL, WM_VSCROLL, WM_NOTIFY and
// WM_DRAWITEM (list boxes): hands the message to the pane it concerns. True
// when handled (the window procedure then returns `result`). WM_CTLCOLOR*
// is handled only when the control's pane chooses its colours.
bool DispatchControlNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
