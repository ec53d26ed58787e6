// The runtime's modal message box: caption "Message", one OK button.
#pragma once

// Shows `text` and returns when the user has closed the box.
void ShowRuntimeMessage(const char* text);
