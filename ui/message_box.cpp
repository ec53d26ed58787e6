// The message box; see message_box.h. The box runs the system's own modal
// loop: the runtime's pump (timers, serial polling) waits until it is closed.
// Before any window exists (messages from loading the image) it has no owner.
#include "ui/message_box.h"

#include <windows.h>

#include "objects/strings.h"
#include "sdk/entry_graphics.h"
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

void RuntimeMsgBox(StringRecord* text) { ShowRuntimeMessage(StringCText(text)); }

void RuntimeBeep() { MessageBeep(0); }

}  // extern "C"
