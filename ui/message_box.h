// The modal message box, for the application's messages and the runtime's
// own: one OK button, owned by the window a new window would be owned by, so
// that it comes up in front of the window the user is dealing with.
#pragma once

// Shows `text` and returns when the user has closed the box. The caption is
// "Message", or in multiple-document mode the frame window's caption.
void ShowRuntimeMessage(const char* text);
