// Drawing in windows; see window_graphics.h. A window's port outlives any
// single paint: the application's pen, colour and font stay set from one
// "Paint" to the next, and a Graphics kept past its paint draws straight
// into the window (or, once the window is gone, nowhere).
#include "ui/window_graphics.h"

#include "objects/builtin_classes.h"
#include "objects/checked_cast.h"
#include "objects/events.h"
#include "objects/objects.h"
#include "sdk/entry_graphics.h"
#include "ui/class_events.h"
#include "ui/drawing/drawing_port.h"
#include "ui/drawing/graphics.h"
#include "ui/native_window.h"

namespace {

SIZE ContentSize(const NativeWindow* native) {
  RECT r = {0, 0, 0, 0};
  if (native->hwnd) GetClientRect(native->hwnd, &r);
  return {r.right - r.left, r.bottom - r.top};
}

ObjectRecord* ContentGraphics(NativeWindow* native) {
  SIZE size = ContentSize(native);
  return NewGraphics(WindowPort(native), 0, 0, size.cx, size.cy);
}

}  // namespace

DrawingPort* WindowPort(NativeWindow* native) {
  if (!native->port) {
    native->port = new DrawingPort;
    native->port->SetWindow(native->hwnd);
  }
  return native->port;
}

void ReleaseWindowPort(NativeWindow* native) {
  DrawingPort* port = native->port;
  native->port = nullptr;
  if (!port) return;
  port->SetWindow(nullptr);
  port->Release();
}

// The port is held for the handler's length: a handler that closes the
// window takes the window's reference away, not the DC loan's.
void RaisePaint(NativeWindow* native, HDC paintDC) {
  WindowObject* w = native->window;
  if (!w) return;
  DrawingPort* port = WindowPort(native);
  port->AddRef();
  HDC lent = port->AttachedDC();
  port->AttachDC(paintDC);
  ObjectRecord* g = ContentGraphics(native);
  RaiseEvent(&w->header, gWindowEvents[kWindowPaint], g);
  RuntimeUnlockObject(g);
  port->AttachDC(lent);
  port->Release();
}

extern "C" ObjectRecord* windowGraphicsGetter(ObjectRecord* window, uint32_t) {
  WindowObject* w = As<WindowObject>(window);
  if (!w || !w->native || !w->native->hwnd) return nullptr;
  return ContentGraphics(w->native);
}
