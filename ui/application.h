// The Application object's entry points (declared in sdk/entry_loop.h) and
// the one seam their tests need.
#pragma once

// The raise that ends ApplicationQuit. An EndException that nothing catches
// ends the process, so tests that follow the whole quitting sequence put a
// recorder here; null restores the real raise.
using EndRaiser = void (*)();
void SetEndRaiser(EndRaiser raiser);

// The quitting sequence that ApplicationQuit and the quit menu item share:
// "CancelClose" to every application window, then the application's "Close"
// and the closing of every window. False when a window cancelled, or when a
// sequence is already running (a nested quit has no effect).
bool RunQuitSequence();
