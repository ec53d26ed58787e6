// The properties of Window: the table the class is built with, and the
// accessors behind it. Setters always store into the Window object first, so
// a window that was closed (or not yet made) keeps what the application set;
// only when a native window exists does a change reach the screen, and
// geometry changes reach it through the pump's catch-up rather than at once.
#include <windows.h>

#include <cstddef>

#include "objects/builtin_classes.h"
#include "objects/checked_cast.h"
#include "objects/events.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "ui/class_events.h"
#include "ui/control_dictionary.h"
#include "ui/native_window.h"

namespace {

// The object as a Window; null for nil and for an object of any other class.
WindowObject* AsWindow(ObjectRecord* object) { return As<WindowObject>(object); }

// A field of a window as its getter answers it: T() for nil, and for any
// other object, whose fields are not a window's.
template <typename T>
T Field(ObjectRecord* window, T WindowObject::*field) {
  WindowObject* w = AsWindow(window);
  return w ? w->*field : T();
}

// Stores a field of a window; nothing for any other object.
template <typename T>
void SetField(ObjectRecord* window, T WindowObject::*field, T value) {
  if (WindowObject* w = AsWindow(window)) w->*field = value;
}

void StoreString(StringRecord*& field, StringRecord* value) {
  RuntimeLockString(value);
  RuntimeUnlockString(field);
  field = value;
}

void StoreObject(ObjectRecord*& field, ObjectRecord* value) {
  RuntimeLockObject(value);
  RuntimeUnlockObject(field);
  field = value;
}

StringRecord* Shared(StringRecord* s) {
  RuntimeLockString(s);
  return s;
}

void MoveCorner(WindowObject* w, int16_t left, int16_t top) {
  int16_t dx = static_cast<int16_t>(left - w->bounds.left);
  int16_t dy = static_cast<int16_t>(top - w->bounds.top);
  w->bounds = {static_cast<int16_t>(w->bounds.top + dy), static_cast<int16_t>(w->bounds.left + dx),
               static_cast<int16_t>(w->bounds.bottom + dy), static_cast<int16_t>(w->bounds.right + dx)};
  NativeWindow* n = w->native;
  if (!n) return;
  ShortRect& b = n->bounds;
  b = {static_cast<int16_t>(b.top + dy), static_cast<int16_t>(b.left + dx),
       static_cast<int16_t>(b.bottom + dy), static_cast<int16_t>(b.right + dx)};
  if (dx || dy) RaiseEvent(&w->header, gWindowEvents[kWindowMoved]);
}

void Resize(WindowObject* w, int32_t width, int32_t height) {
  w->bounds.right = static_cast<int16_t>(w->bounds.left + width);
  w->bounds.bottom = static_cast<int16_t>(w->bounds.top + height);
  NativeWindow* n = w->native;
  if (!n) return;
  n->bounds.right = static_cast<int16_t>(n->bounds.left + width);
  n->bounds.bottom = static_cast<int16_t>(n->bounds.top + height);
  n->resizePending = true;
}

POINT CursorInContent(WindowObject* w) {
  POINT p{};
  GetCursorPos(&p);
  if (w->native && w->native->hwnd) {
    ScreenToClient(w->native->hwnd, &p);
    return p;
  }
  return {p.x - w->bounds.left, p.y - w->bounds.top};
}

}  // namespace

// The events of windows (ui/class_events.h).
EventEntry gWindowEvents[kWindowEventCount] = {
    {0, "Open", "", "", 0, nullptr},
    {0, "Close", "", "", 0, nullptr},
    {0, "CancelClose", "", "Boolean", 0, nullptr},
    {0, "Activate", "", "", 0, nullptr},
    {0, "Deactivate", "", "", 0, nullptr},
    {0, "Paint", "g As Graphics", "", 0, nullptr},
    {0, "MouseDown", "X As Integer, Y As Integer", "Boolean", 0, nullptr},
    {0, "MouseDrag", "X As Integer, Y As Integer", "", 0, nullptr},
    {0, "MouseUp", "X As Integer, Y As Integer", "", 0, nullptr},
    {0, "MouseMove", "X As Integer, Y As Integer", "", 0, nullptr},
    {0, "MouseEnter", "", "", 0, nullptr},
    {0, "MouseExit", "", "", 0, nullptr},
    {0, "KeyDown", "Key As String", "Boolean", 0, nullptr},
    {0, "Resized", "", "", 0, nullptr},
    {0, "Moved", "", "", 0, nullptr},
    {0, "EnableMenuItems", "", "", 0, nullptr},
    {0, "DropObject", "obj As DragItem", "", 0, nullptr},
    // The user is logging off or the system shutting down: the last moment
    // to keep what must not be lost, since the process may end without
    // any window being closed. Raised while Windows asks whether the
    // session may end (Asking; true keeps it), then when it does end.
    {0, "EndSession", "Asking As Boolean", "Boolean", 0, nullptr},
};

extern "C" {

bool WindowVisibleGetter(ObjectRecord* window, uint32_t) { return Field(window, &WindowObject::visible); }
void WindowVisibleSetter(ObjectRecord* window, uint32_t, bool visible) {
  if (visible)
    RuntimeShowWindow(window);
  else
    RuntimeHideWindow(window);
}

int32_t windowPosGetter(ObjectRecord* window, uint32_t which) {
  WindowObject* w = AsWindow(window);
  if (!w) return 0;
  const ShortRect& b = w->bounds;
  switch (which) {
    case 0: return b.left;
    case 1: return b.top;
    case 2: return b.right - b.left;
    default: return b.bottom - b.top;
  }
}

void windowPosSetter(ObjectRecord* window, uint32_t which, int32_t value) {
  WindowObject* w = AsWindow(window);
  if (!w) return;
  const ShortRect b = w->bounds;
  auto v = static_cast<int16_t>(value);
  switch (which) {
    case 0: MoveCorner(w, v, b.top); break;
    case 1: MoveCorner(w, b.left, v); break;
    case 2: Resize(w, value, b.bottom - b.top); break;
    default: Resize(w, b.right - b.left, value); break;
  }
}

int32_t windowPlacementGetter(ObjectRecord* window, uint32_t) {
  return Field(window, &WindowObject::placement);
}
void windowPlacementSetter(ObjectRecord* window, uint32_t, int32_t value) {
  SetField(window, &WindowObject::placement, value);
}

StringRecord* windowTitleGetter(ObjectRecord* window, uint32_t) {
  return Shared(Field(window, &WindowObject::title));
}
void windowTitleSetter(ObjectRecord* window, uint32_t, StringRecord* title) {
  WindowObject* w = AsWindow(window);
  if (!w) return;
  StoreString(w->title, title);
  if (!w->native) return;
  w->native->title = std::string(StringView(title));
  if (w->native->hwnd) SetWindowTextA(w->native->hwnd, StringCText(title));
}

bool windowCloseBoxGetter(ObjectRecord* window, uint32_t) { return Field(window, &WindowObject::closeBox); }
void windowCloseBoxSetter(ObjectRecord* window, uint32_t, bool on) {
  SetField<uint8_t>(window, &WindowObject::closeBox, on);
}
bool windowGrowIconGetter(ObjectRecord* window, uint32_t) { return Field(window, &WindowObject::growIcon); }
void windowGrowIconSetter(ObjectRecord* window, uint32_t, bool on) {
  SetField<uint8_t>(window, &WindowObject::growIcon, on);
}
bool windowZoomIconGetter(ObjectRecord* window, uint32_t) { return Field(window, &WindowObject::zoomIcon); }
void windowZoomIconSetter(ObjectRecord* window, uint32_t, bool on) {
  SetField<uint8_t>(window, &WindowObject::zoomIcon, on);
}

int32_t windowFrameGetter(ObjectRecord* window, uint32_t) { return Field(window, &WindowObject::frame); }
void windowFrameSetter(ObjectRecord* window, uint32_t, int32_t frame) {
  SetField(window, &WindowObject::frame, frame);
}

ObjectRecord* windowBackdropGetter(ObjectRecord* window, uint32_t) {
  ObjectRecord* picture = Field(window, &WindowObject::backdrop);
  RuntimeLockObject(picture);
  return picture;
}
// The backdrop is drawn as a picture's fields: any other object is refused.
void windowBackdropSetter(ObjectRecord* window, uint32_t, ObjectRecord* picture) {
  WindowObject* w = AsWindow(window);
  if (!w || (picture && !As<PictureObject>(picture))) return;
  StoreObject(w->backdrop, picture);
  if (w->native && w->native->hwnd) InvalidateRect(w->native->hwnd, nullptr, TRUE);
}

bool windowHasBackColorGetter(ObjectRecord* window, uint32_t) {
  return Field(window, &WindowObject::hasBackColor);
}
void windowHasBackColorSetter(ObjectRecord* window, uint32_t, bool on) {
  WindowObject* w = AsWindow(window);
  if (!w) return;
  w->hasBackColor = on;
  if (w->native) SetCustomBackground(w->native, on, w->backColor);
}

uint32_t windowBackColorGetter(ObjectRecord* window, uint32_t) {
  return Field(window, &WindowObject::backColor);
}
void windowBackColorSetter(ObjectRecord* window, uint32_t, uint32_t color) {
  WindowObject* w = AsWindow(window);
  if (!w) return;
  w->backColor = color;
  if (w->native && w->hasBackColor) SetCustomBackground(w->native, true, color);
}

void windowBalloonHelpSetter(ObjectRecord* window, uint32_t, StringRecord* help) {
  WindowObject* w = AsWindow(window);
  if (!w) return;
  StoreString(w->balloonHelp, help);
  if (w->native) w->native->balloonHelp = std::string(StringView(help));
}

void formMouseCursorSetter(ObjectRecord* window, uint32_t, ObjectRecord* cursor) {
  if (WindowObject* w = AsWindow(window)) StoreObject(w->mouseCursor, cursor);
}

int32_t windowControlCountGetter(ObjectRecord* window, uint32_t) {
  return ControlCount(Field(window, &WindowObject::controls));
}

ObjectRecord* windowControl(ObjectRecord* window, int32_t index) {
  ObjectRecord* control = ControlAt(Field(window, &WindowObject::controls), index);
  RuntimeLockObject(control);
  return control;
}

int32_t windowMouseXGetter(ObjectRecord* window, uint32_t) {
  WindowObject* w = AsWindow(window);
  return w ? CursorInContent(w).x : 0;
}
int32_t windowMouseYGetter(ObjectRecord* window, uint32_t) {
  WindowObject* w = AsWindow(window);
  return w ? CursorInContent(w).y : 0;
}

int32_t windowHWNDGetter(ObjectRecord* window, uint32_t) {
  return reinterpret_cast<int32_t>(NativeWindowHandle(Field(window, &WindowObject::native)));
}
// No Mac window record exists here; the native window object stands for it.
int32_t windowWindowPtrGetter(ObjectRecord* window, uint32_t) {
  return reinterpret_cast<int32_t>(Field(window, &WindowObject::native));
}

void formRefresh(ObjectRecord* window) {
  HWND h = NativeWindowHandle(Field(window, &WindowObject::native));
  if (h) InvalidateRect(h, nullptr, TRUE);
}

void formRefreshRect(ObjectRecord* window, int32_t left, int32_t top, int32_t width, int32_t height) {
  HWND h = NativeWindowHandle(Field(window, &WindowObject::native));
  RECT r = {left, top, left + width, top + height};
  if (h) InvalidateRect(h, &r, TRUE);
}

}  // extern "C"

void __cdecl WindowDestruct(ObjectRecord* object, ClassRecord*) {
  auto* w = reinterpret_cast<WindowObject*>(object);
  DestroyControlDictionary(w->controls);
  w->controls = nullptr;
  StoreString(w->title, nullptr);
  StoreString(w->balloonHelp, nullptr);
  StoreString(w->floaterProcess, nullptr);
  StoreObject(w->backdrop, nullptr);
  StoreObject(w->mouseCursor, nullptr);
}

namespace {

#define FIELD(name) static_cast<uint32_t>(offsetof(WindowObject, name))
#define CODE(f) reinterpret_cast<CodeAddress>(&(f))

}  // namespace

const PropertyEntry kWindowProperties[] = {
    {"", "Visible", "Boolean", CODE(WindowVisibleGetter), CODE(WindowVisibleSetter), 0},
    {"", "Left", "Integer", CODE(windowPosGetter), CODE(windowPosSetter), 0},
    {"", "Top", "Integer", CODE(windowPosGetter), CODE(windowPosSetter), 1},
    {"", "Width", "Integer", CODE(windowPosGetter), CODE(windowPosSetter), 2},
    {"", "Height", "Integer", CODE(windowPosGetter), CODE(windowPosSetter), 3},
    {"", "Placement", "Integer", CODE(windowPlacementGetter), CODE(windowPlacementSetter), 0},
    {"", "Title", "String", CODE(windowTitleGetter), CODE(windowTitleSetter), 0},
    {"", "CloseBox", "Boolean", CODE(windowCloseBoxGetter), CODE(windowCloseBoxSetter), 0},
    {"", "GrowIcon", "Boolean", CODE(windowGrowIconGetter), CODE(windowGrowIconSetter), 0},
    {"", "ZoomIcon", "Boolean", CODE(windowZoomIconGetter), CODE(windowZoomIconSetter), 0},
    {"", "Frame", "Integer", CODE(windowFrameGetter), CODE(windowFrameSetter), 0},
    {"", "Backdrop", "Picture", CODE(windowBackdropGetter), CODE(windowBackdropSetter), 0},
    {"", "HasBackColor", "Boolean", CODE(windowHasBackColorGetter), CODE(windowHasBackColorSetter), 0},
    {"", "BackColor", "Color", CODE(windowBackColorGetter), CODE(windowBackColorSetter), 0},
    {"", "BalloonHelp", "String", CODE(stringGetter), CODE(windowBalloonHelpSetter), FIELD(balloonHelp)},
    {"", "MinWidth", "Integer", CODE(shortFieldGetter), CODE(shortFieldSetter), FIELD(minWidth)},
    {"", "MinHeight", "Integer", CODE(shortFieldGetter), CODE(shortFieldSetter), FIELD(minHeight)},
    {"", "MaxWidth", "Integer", CODE(shortFieldGetter), CODE(shortFieldSetter), FIELD(maxWidth)},
    {"", "MaxHeight", "Integer", CODE(shortFieldGetter), CODE(shortFieldSetter), FIELD(maxHeight)},
    {"", "MacProcId", "Integer", CODE(intFieldGetter), CODE(intFieldSetter), FIELD(macProcId)},
    {"", "FloaterProcess", "String", CODE(stringGetter), CODE(stringSetter), FIELD(floaterProcess)},
    {"", "MouseCursor", "MouseCursor", CODE(objGetter), CODE(formMouseCursorSetter), FIELD(mouseCursor)},
    {"", "ControlCount", "Integer", CODE(windowControlCountGetter), nullptr, 0},
    {"", "MouseX", "Integer", CODE(windowMouseXGetter), nullptr, 0},
    {"", "MouseY", "Integer", CODE(windowMouseYGetter), nullptr, 0},
    {"", "MacWindowPtr", "Integer", CODE(windowWindowPtrGetter), nullptr, 0},
    {"", "WinHWND", "Integer", CODE(windowHWNDGetter), nullptr, 0},
};
const uint32_t kWindowPropertyCount = sizeof kWindowProperties / sizeof kWindowProperties[0];
