// What the object layer must do when the program ends on its own account (an
// unhandled exception, memory run out) but cannot do itself: tell the user
// in the runtime's message box and take the runtime down, both in ui/.
// Start-up installs the two; where nothing did (a tool, a test that never
// started the runtime) the text still reaches the user in a plain system
// box, and there is nothing to take down.
#pragma once

struct FatalHooks {
  void (*showMessage)(const char* text);  // modal; returns when closed
  void (*shutDown)();                     // before the process exits
};

// Installs the hooks (either may be null).
void SetFatalHooks(const FatalHooks& hooks);

// Shows `text` to the user and returns when the box is closed.
void ShowFatalMessage(const char* text);

// Takes the runtime down before an exit.
void ShutDownBeforeExit();
