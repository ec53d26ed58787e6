// The message box; see message_box.h. The box runs the system's own modal
// loop, and no pump step runs until it is closed. Behind the application's
// boxes the pump's time-driven work (serial polling, timers, periodic tasks)
// goes on from that loop: the handheld may send while a box waits for the
// user. The runtime's own messages end the program when they are closed (an
// unhandled exception, memory or an image that failed): nothing of the
// application runs behind them. Before any window exists (messages from
// loading the image) the box has no owner.
#include "ui/message_box.h"

#include <windows.h>

#include "objects/strings.h"
#include "sdk/entry_graphics.h"
#include "ui/event_loop.h"
#include "ui/native_window.h"

namespace {

// Into a buffer of the caller's rather than the heap: running out of memory
// is one of the runtime's messages.
const char* Caption(char (&buffer)[256]) {
  HWND frame = MdiMode() ? MdiFrameHandle() : nullptr;
  if (!frame || !GetWindowTextA(frame, buffer, sizeof buffer)) return "Message";
  return buffer;
}

}  // namespace

void ShowRuntimeMessage(const char* text) {
  char caption[256] = "";
  MessageBoxA(NewWindowOwner(), text ? text : "", Caption(caption), MB_OK);
}

extern "C" {

void RuntimeMsgBox(StringRecord* text) {
  ForeignModalLoop loop;
  ShowRuntimeMessage(StringCText(text));
}

void RuntimeBeep() { MessageBeep(0); }

}  // extern "C"
