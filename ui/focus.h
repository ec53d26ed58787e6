// The keyboard focus: the process has one active pane.
#pragma once
#include <windows.h>

class Pane;
struct WindowObject;

Pane* ActivePane();
// The active pane when it lies in `window`, else null.
Pane* ActivePaneIn(const WindowObject* window);
// Makes `pane` active: the old one loses the focus first ("LostFocus"), then,
// unless a handler moved the focus meanwhile, `pane` gains it ("GotFocus").
void SetActivePane(Pane* pane);
// No pane is active (the old one loses the focus).
void ClearActivePane();

// The window whose own native object holds the focus (formSetFocus: keys go
// to the window, no control has the focus), or null. While a window holds
// it, ActivePane() is null.
WindowObject* FocusedWindow();
// As SetActivePane, with the window itself (whose HWND is `handle`) as the
// new holder of the focus.
void SetActiveWindowFocus(WindowObject* window, HWND handle);

// The pane that holds the focus inside `window` whenever the window is the
// active one (RuntimeSetFocus sets it even while the window is inactive).
Pane* FocusedPaneOf(const WindowObject* window);
void SetFocusedPaneOf(WindowObject* window, Pane* pane);
// For the window's activation: its focused pane, if it still can take the
// focus, becomes the active pane.
void RestoreWindowFocus(WindowObject* window);

// The window stops being the active one: the pane that has the focus in it
// gives it up ("LostFocus"), so that keys and edit commands cannot reach a
// window the user is not looking at, and is remembered for the window's
// next activation. The system's focus is left alone: the window is being
// left for another.
void ReleaseFocusOfWindow(WindowObject* window);
// A pane being hidden or disabled gives up the focus (keys would otherwise
// still type into it).
void ReleaseFocusOfPane(Pane* pane);

// Forgetting without any event, for a pane being closed and a window being
// destroyed: nothing may point at them afterwards.
void ForgetPane(Pane* pane);
void ForgetWindowFocus(WindowObject* window);

// The runtime's focus-changed flag: set by every change of the active pane;
// returns it and clears it.
bool TakeFocusChanged();
