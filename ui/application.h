// The Application object's entry points (declared in sdk/entry_loop.h) and
// the one seam their tests need.
#pragma once

// The raise that ends ApplicationQuit. An EndException that nothing catches
// ends the process, so tests that follow the whole quitting sequence put a
// recorder here; null restores the real raise.
using EndRaiser = void (*)();
void SetEndRaiser(EndRaiser raiser);
