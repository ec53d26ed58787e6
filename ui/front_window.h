// The front window as menus see it: the window whose menu handlers and
// "EnableMenuItems" take part in the enabling cycle and in menu dispatch.
#pragma once
#include "sdk/ui_layouts.h"

// The active application window (tagged "RuntimeViewWindow"); when the
// active window is none of the runtime's (a message box, another process),
// the newest application window in the window list. Borrowed; null when no
// application window is open.
WindowObject* FrontApplicationWindow();

class Pane;
// The pane with the keyboard focus when it lies in the front window, else
// null: commands that act on a field (Undo, Cut, Copy, Paste, Clear, Select
// All) must not change a field the user is not looking at.
Pane* ActivePaneOfFrontWindow();
