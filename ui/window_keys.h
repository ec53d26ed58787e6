// Keyboard handling of the runtime's windows, run by the pump for every
// message before it is translated: menu shortcuts, the focused pane's own
// keys, Tab focus cycling, Return for the Default button and Escape for the
// Cancel button.
#pragma once
#include <windows.h>

// True when the message was a key press that one of these took; a consumed
// message is neither translated nor dispatched.
bool HandleWindowKey(const MSG& message);
