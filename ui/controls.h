// Controls of windows: what all of them share.
#pragma once
#include "sdk/ui_layouts.h"
#include "objects/description_stream.h"

// True when `object` is a Control (it has a window, a name and an index).
bool IsControl(const ObjectRecord* object);
// True when `object` is a RectControl (it has, or will have, a pane).
bool IsRectControl(const ObjectRecord* object);

// Reads one ControlDescription from `stream` (class index, property count,
// pairs), creates the control for `window`, applies its properties and
// inserts it into the window's control dictionary under its key. Returns the
// control, borrowed (the dictionary holds it), or null when it could not be
// created.
ObjectRecord* ApplyControlDescription(DescriptionStream& stream, WindowObject* window);

// Closes the control's pane, if it has one, and deletes it; the control is
// left without a pane. For window closing: the pane must go while the control
// it points at is still alive.
void CloseControlPane(RectControlObject* control);

// Destructors of the Control and RectControl classes: they release what the
// common fields hold (name, help texts, cursor) and close a pane still there.
void __cdecl ControlDestruct(ObjectRecord* control, ClassRecord* cls);
void __cdecl RectControlDestruct(ObjectRecord* control, ClassRecord* cls);
