// The one instance of each of the application's secondary windows: made from
// its stored description the first time it is shown, brought to the front
// while it is open, and forgotten when it closes so that the next showing
// makes it anew with fresh controls.
#pragma once
#include "sdk/vellory.h"

// Shows the window held in *slot, making it first when there is none.
inline void ShowInstance(const uint8_t* description, ObjectRecord** slot) {
  if (*slot) {
    RuntimeShowWindow(*slot);
    return;
  }
  RuntimeCreateWindow(description, slot);
}

// For the window's Close handler: the slot lets go of the window, which the
// runtime keeps alive until its closing is over.
inline void ForgetInstance(ObjectRecord** slot) {
  ObjectRecord* window = *slot;
  *slot = nullptr;
  RuntimeUnlockObject(window);
}
