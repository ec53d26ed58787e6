// Menu command dispatch: a chosen item (WM_COMMAND of the main window, or a
// matched shortcut) goes to the active pane, the front window's menu
// handlers, the application's, and last to the item's own "Action".
#pragma once
#include <cstdint>

// Dispatches command identifier `id`; true when something handled it.
bool DispatchMenuCommand(uint32_t id);
