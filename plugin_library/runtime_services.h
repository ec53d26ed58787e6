// The runtime's services as this library calls them. The library links
// nothing of the program: each service is looked up by name through the
// routine given to ZORBPluginMain the first time it is needed, and the
// address is kept. A service the runtime does not offer is a no-op that
// answers zero, so a missing entry degrades a control instead of crashing.
#pragma once
#include <windows.h>

#include "plugin_library/plugin_abi.h"

// Remembers the lookup routine and forgets every address found so far.
void SetLookupRoutine(LookupRoutine lookup);

void RegisterPluginVersion(int version);
void PluginRegisterControl(ControlDefinition* definition);

PlugString DefaultControlFont();     // new reference
PlugString DefaultControlCaption();  // new reference
int DefaultControlFontSize();

void LockObject(PlugObject object);
void UnlockObject(PlugObject object);
void LockString(PlugString text);
void UnlockString(PlugString text);
PlugString BuildString(const char* bytes, int length);  // new reference
// The string's bytes; "" for the empty (null) string.
const char* StringText(PlugString text);

HWND ControlHwnd(PlugInstance instance);
// The control's bounds in window coordinates.
RECT ControlBounds(PlugInstance instance);
bool ControlVisible(PlugInstance instance);
bool ControlEnabled(PlugInstance instance);
void InvalidateControl(PlugInstance instance);

HDC GraphicsDC(PlugObject graphics);
PlugObject ControlGraphics(PlugInstance instance);  // new reference
int Win32Charset();

// The application's handler of an event for this instance, or null.
void* EventHandler(PlugInstance instance, const EventDefinition& event);
void* InterfaceRoutine(PlugObject object, const char* interfaceName, const char* routine);

void LockPictureDescription(PlugObject picture, PictureDescription* description);
void UnlockPictureDescription(PlugObject picture, PictureDescription* description);
void DrawPicture(HDC dc, PictureDescription* description, const RECT* destination);

// The colour behind the control (white when the pane has none).
COLORREF SpecialBackground(PlugInstance instance);

// Event handler shapes.
using ActionHandler = void(__cdecl*)(PlugInstance);
using MouseDownHandler = int(__cdecl*)(PlugInstance, int, int);
using MouseHandler = void(__cdecl*)(PlugInstance, int, int);
using PerformActionRoutine = void(__cdecl*)(PlugObject);

// Calls the instance's handler of a parameterless event, if it has one.
void RaiseEvent(PlugInstance instance, const EventDefinition& event);
