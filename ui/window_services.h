// What the event loop asks of the window system. The windows module installs
// its answers at start-up; the loop's tests install fakes, so the loop's
// timing and ordering rules can be checked without windows.
#pragma once

struct WindowServices {
  // Pump step 2: brings every native top-level window's pending state up to
  // date (catch-up of position and size, resize processing) and shows those
  // whose show-when-idle flag is set but which are not visible yet.
  void (*updateWindowsWhenIdle)();
  // Pump step 4a: mouse tracking ("MouseMove", "MouseEnter", "MouseExit",
  // "MouseDrag") after a message was obtained.
  void (*trackMouse)();
  // True while a pane holds the mouse capture (the pump then polls).
  bool (*mouseCaptured)();
  // Pump step 4b: true when the message is a menu shortcut and was consumed.
  bool (*menuShortcut)(const void* msg);
  // Pump step 6: the active pane's idle operation.
  void (*activePaneIdle)();
  // Last-window rule: true when no application window is open.
  bool (*noWindowOpen)();
  // ApplicationQuit step 1: raises "CancelClose" on every open application
  // window in window-list order; true as soon as one returns true.
  bool (*anyWindowCancelsClose)();
  // ApplicationQuit step 3 and the teardown after the loop: closes every
  // application window (newest first), without asking "CancelClose".
  void (*closeAllWindows)();
};

// The services in use (never null: until the windows module installs its
// own, every answer is "nothing to do").
const WindowServices& CurrentWindowServices();
void SetWindowServices(const WindowServices* services);
