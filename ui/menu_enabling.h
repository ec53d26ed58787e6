// The enabling cycle: every item starts disabled, the handlers enable what
// applies now, and the Win32 menus follow (presence, enabling, checking).
#pragma once
#include "sdk/ui_layouts.h"

// Runs the cycle; nothing happens without a menu bar.
void RunEnablingCycle();
// Brings every Win32 menu in line with its items' Visible, Enabled and
// Checked, calling Win32 only for what changed.
void ApplyMenuStates();
