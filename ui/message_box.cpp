// The runtime's message box. Until windows exist there is no owner to give it;
// the owner rules come with the window list.
#include "ui/message_box.h"

#include <windows.h>

void ShowRuntimeMessage(const char* text) { MessageBoxA(nullptr, text, "Message", MB_OK); }
