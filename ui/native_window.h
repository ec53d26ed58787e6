// The native window object behind every application window ("ZBWindow").
// A Window object describes what the application asked for; the native
// window is the runtime's side of it on screen: the HWND, the bounds the
// window should have, the flags the event pump acts on when idle, and the
// lists through which the pump, the modal rules and quitting find windows.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "sdk/ui_layouts.h"

class DrawingPort;

struct NativeWindow {
  NativeWindow() = default;
  virtual ~NativeWindow() = default;
  NativeWindow(const NativeWindow&) = delete;
  NativeWindow& operator=(const NativeWindow&) = delete;

  // The operations the window procedure and the closing sequence call, in
  // slot order.
  virtual void Destroy();
  virtual void Paint();
  virtual void Activate();
  virtual void Deactivate();
  virtual void Moved();
  virtual void Resized();
  virtual void CloseRequest();

  HWND hwnd = nullptr;
  int kind = 8;
  std::string title;
  ShortRect bounds{};  // content area: screen, or MDI-client coordinates
  bool showWhenIdle = true;
  bool resizePending = false;
  bool customBackground = false;
  COLORREF backColor = RGB(255, 255, 255);
  bool mdiChild = false;
  DWORD style = 0, exStyle = 0;
  bool hasMenu = false;
  WindowObject* window = nullptr;  // one reference
  std::string balloonHelp;
  std::vector<std::pair<std::string, int32_t>> attributes;
  NativeWindow* nextNative = nullptr;  // all-native-windows list
  NativeWindow* nextWindow = nullptr;  // window list
  bool inWindowList = false;
  bool closing = false;  // the closing sequence has begun
  DrawingPort* port = nullptr;  // made with the first Graphics; one reference
};

// The HWND of a native window (null when it has none).
HWND NativeWindowHandle(const NativeWindow* window);
// The Window object a native window serves (borrowed), or null.
WindowObject* NativeWindowObject(const NativeWindow* window);
// The native window stored in a "ZBWindow"'s window bytes, or null.
NativeWindow* NativeWindowFromHandle(HWND hwnd);

// Win32 style and extended style of a native kind (0-9) with its options.
struct NativeStyle {
  DWORD style, exStyle;
  bool modal;
};
NativeStyle StyleOfKind(int kind, bool closeBox, bool growIcon, bool zoomIcon);
// Native kind and default placement selected by a Frame value; values the
// designer never stores fall back to Frame 0.
struct FrameChoice {
  int kind, placement;
};
FrameChoice FrameOf(int32_t frame);

// Makes the native window and its HWND for a content rectangle (screen
// coordinates). Null when the system refused the window.
NativeWindow* CreateNativeWindow(const std::string& title, const ShortRect& bounds, int kind,
                                 bool closeBox, bool growIcon, bool zoomIcon);

// Named integer attributes ("RuntimeViewWindow" marks application windows).
void SetNativeAttribute(NativeWindow* native, const std::string& name, int32_t value);
int32_t NativeAttribute(const NativeWindow* native, const std::string& name);

// The all-native-windows list and the window list, newest first.
NativeWindow* FirstNativeWindow();
NativeWindow* FirstListedWindow();
void LinkIntoWindowList(NativeWindow* native);
// The newest visible window on the modal stack, or null.
NativeWindow* VisibleModalWindow();
// The window that carries the menu bar, or null.
NativeWindow* MainNativeWindow();
// The owner a window made now would get (null for none); message boxes take
// the same one.
HWND NewWindowOwner();

// Shows the HWND, without activating it while another modal window is up.
void ShowNativeWindow(NativeWindow* native);

// Custom background: on with `color` (0x00RRGGBB), or off.
void SetCustomBackground(NativeWindow* native, bool on, uint32_t color);
// The content area the HWND has now, in the coordinates of `bounds`.
ShortRect CurrentContentBounds(const NativeWindow* native);
// Brings the HWND to `bounds` when it differs; resize processing follows
// when the size changed and a resize is pending.
void CatchUpGeometry(NativeWindow* native);
// Resize processing: the lock arithmetic for the controls, then "Resized".
void ProcessResize(NativeWindow* native);
// Move processing: the Window's bounds follow, then "Moved".
void ProcessMove(NativeWindow* native);

// Multiple-document mode: the frame's MDI client once the frame exists.
bool MdiMode();
HWND MdiClientHandle();
HWND MdiFrameHandle();

// The Win32 procedures of the runtime's window classes.
LRESULT CALLBACK ZBWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ZBPaneProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ZBFrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The closing sequence of a window; a window already closing is left alone.
void CloseWindowObject(WindowObject* window);

// Mouse ownership after a "MouseDown" that returned true: the window or the
// control that takes the drag (a borrowed object), or none.
struct MouseOwner {
  ObjectRecord* object = nullptr;
  HWND hwnd = nullptr;
  bool isWindow = false;
};
MouseOwner& CurrentMouseOwner();
void ReleaseMouseOwner();
// Makes `object` (locked here) the mouse owner and captures the mouse for
// `hwnd`; a previous owner lets go first.
void TakeMouseOwner(ObjectRecord* object, HWND hwnd, bool isWindow);

// The frame's close box: true when every window agreed and was closed.
bool FrameCloseRequested();

// Installs the window system's answers to the event loop.
void InstallWindowServices();

// Destructor of the Window class: drops what the fields hold.
void __cdecl WindowDestruct(ObjectRecord* window, ClassRecord* cls);
