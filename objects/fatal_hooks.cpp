// The fatal-end hooks; see fatal_hooks.h.
#include "objects/fatal_hooks.h"

#include <windows.h>

namespace {

FatalHooks gHooks{};

}  // namespace

void SetFatalHooks(const FatalHooks& hooks) { gHooks = hooks; }

void ShowFatalMessage(const char* text) {
  if (gHooks.showMessage) return gHooks.showMessage(text);
  MessageBoxA(nullptr, text, "Message", MB_OK | MB_TASKMODAL);
}

void ShutDownBeforeExit() {
  if (gHooks.shutDown) gHooks.shutDown();
}
