// Drawing in windows: each window's drawing port, the Graphics its "Paint"
// handler gets, and the one windowGraphicsGetter hands out.
#pragma once
#include <windows.h>

struct NativeWindow;
class DrawingPort;

// The window's port (borrowed), made on first use; it draws into the window
// through its DC whenever no paint DC is lent.
DrawingPort* WindowPort(NativeWindow* native);
// Gives up the window's port as the window goes: Graphics that still hold it
// then draw nothing.
void ReleaseWindowPort(NativeWindow* native);
// Raises the window's "Paint" with a Graphics of the content area drawing
// into `paintDC`; the Graphics is released after the handler.
void RaisePaint(NativeWindow* native, HDC paintDC);
