// The front window as menus see it: the window whose menu handlers and
// "EnableMenuItems" take part in the enabling cycle and in menu dispatch.
#pragma once
#include "sdk/ui_layouts.h"

// The active application window (tagged "RuntimeViewWindow"); when the
// active window is none of the runtime's (a message box, another process),
// the newest application window in the window list. Borrowed; null when no
// application window is open.
WindowObject* FrontApplicationWindow();
