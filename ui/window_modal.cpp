// Modal display: the window is shown and the caller waits in a loop of pump
// steps, so that every other window, timer and port keeps being served while
// the application's code waits for the window to be closed or hidden.
#include "objects/checked_cast.h"
#include "objects/objects.h"
#include "ui/event_loop.h"
#include "ui/native_window.h"

extern "C" {

// Runs the pump until the window is closed or hidden. The window object is
// held for the duration, so a handler that drops the last other reference
// cannot pull it away under the loop; a quit request also ends the wait.
void RuntimeShowModal(ObjectRecord* window) {
  WindowObject* w = As<WindowObject>(window);
  if (!w) return;
  RuntimeShowWindow(window);
  RuntimeLockObject(window);
  while (w->native && w->native->showWhenIdle && !QuitRequested()) RunPumpStep();
  RuntimeUnlockObject(window);
}

}  // extern "C"
