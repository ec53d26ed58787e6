// The window system's answers to the event loop: what the pump does for
// windows when idle, mouse tracking, and the window side of quitting. Every
// walk over the window lists first takes a snapshot, because the handlers it
// runs may close windows (and so unlink them) while the walk goes on.
#include <windows.h>

#include <climits>
#include <vector>

#include "objects/builtin_classes.h"
#include "objects/events.h"
#include "objects/objects.h"
#include "ui/class_events.h"
#include "ui/focus.h"
#include "ui/native_window.h"
#include "ui/pane.h"
#include "ui/window_keys.h"
#include "ui/window_services.h"

namespace {

MouseOwner gMouseOwner;

// What the cursor was over at the last tracking step (one reference).
struct Hover {
  ObjectRecord* object = nullptr;
  HWND hwnd = nullptr;
  bool isWindow = false;
};
Hover gHover;
POINT gLastCursor = {INT_MIN, INT_MIN};

std::vector<HWND> NativeHandles() {
  std::vector<HWND> out;
  for (NativeWindow* n = FirstNativeWindow(); n; n = n->nextNative)
    if (n->hwnd) out.push_back(n->hwnd);
  return out;
}

// Application windows in window-list order, each held by a reference.
std::vector<ObjectRecord*> HeldWindows() {
  std::vector<ObjectRecord*> out;
  for (NativeWindow* n = FirstListedWindow(); n; n = n->nextWindow) {
    if (!n->window || !NativeAttribute(n, "RuntimeViewWindow")) continue;
    RuntimeLockObject(&n->window->header);
    out.push_back(&n->window->header);
  }
  return out;
}

void Release(std::vector<ObjectRecord*>& held) {
  for (ObjectRecord* o : held) RuntimeUnlockObject(o);
  held.clear();
}

// Windows hides the windows that a minimized window owns and brings them
// back with it; showing one meanwhile would put it alone on the desktop.
bool OwnerMinimized(HWND hwnd) {
  HWND owner = GetWindow(hwnd, GW_OWNER);
  return owner && IsIconic(owner);
}

void UpdateWindowsWhenIdle() {
  for (HWND hwnd : NativeHandles()) {
    NativeWindow* n = NativeWindowFromHandle(hwnd);
    if (!n) continue;
    CatchUpGeometry(n);
    n = NativeWindowFromHandle(hwnd);
    if (n && n->showWhenIdle && !IsWindowVisible(hwnd) && !OwnerMinimized(hwnd)) ShowNativeWindow(n);
  }
}

bool NoWindowOpen() { return !MdiMode() && FirstListedWindow() == nullptr; }

bool AnyWindowCancelsClose() {
  std::vector<ObjectRecord*> held = HeldWindows();
  bool cancelled = false;
  for (ObjectRecord* w : held) {
    if (!reinterpret_cast<WindowObject*>(w)->native) continue;
    if (RaiseEvent<bool>(w, gWindowEvents[kWindowCancelClose])) {
      cancelled = true;
      break;
    }
  }
  Release(held);
  return cancelled;
}

void CloseAllWindows() {
  std::vector<ObjectRecord*> held = HeldWindows();
  for (ObjectRecord* w : held) CloseWindowObject(reinterpret_cast<WindowObject*>(w));
  Release(held);
}

// --- mouse tracking ---------------------------------------------------------------

bool OwnWindow(HWND hwnd) {
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  return process == GetCurrentProcessId();
}

Hover HoverAt(POINT p) {
  HWND h = WindowFromPoint(p);
  if (!h || !OwnWindow(h)) return {};
  for (; h; h = GetParent(h)) {
    if (NativeWindow* n = NativeWindowFromHandle(h))
      return n->window ? Hover{&n->window->header, h, true} : Hover{};
    if (Pane* pane = PaneFromHandle(h))
      return pane->Control() ? Hover{&pane->Control()->control.header, h, false} : Hover{};
  }
  return {};
}

const EventEntry& MouseEvent(bool isWindow, WindowEvent windowEvent, RectControlEvent controlEvent) {
  return isWindow ? gWindowEvents[windowEvent] : gRectControlEvents[controlEvent];
}

POINT Local(HWND hwnd, POINT p) {
  ScreenToClient(hwnd, &p);
  return p;
}

void RaiseAt(ObjectRecord* o, const EventEntry& e, HWND hwnd, POINT screen) {
  POINT p = Local(hwnd, screen);
  RaiseEvent(o, e, static_cast<int>(p.x), static_cast<int>(p.y));
}

void ChangeHover(const Hover& now) {
  Hover old = gHover;
  if (now.object) RuntimeLockObject(now.object);
  gHover = now;
  if (old.object) {
    RaiseEvent(old.object, MouseEvent(old.isWindow, kWindowMouseExit, kRectMouseExit));
    RuntimeUnlockObject(old.object);
  }
  if (now.object) RaiseEvent(now.object, MouseEvent(now.isWindow, kWindowMouseEnter, kRectMouseEnter));
}

void TrackMouse() {
  POINT p;
  if (!GetCursorPos(&p)) return;
  if (p.x == gLastCursor.x && p.y == gLastCursor.y) return;
  gLastCursor = p;
  if (gMouseOwner.object) {
    ObjectRecord* o = gMouseOwner.object;
    RaiseAt(o, MouseEvent(gMouseOwner.isWindow, kWindowMouseDrag, kRectMouseDrag), gMouseOwner.hwnd, p);
    return;
  }
  Hover now = HoverAt(p);
  if (now.object != gHover.object) ChangeHover(now);
  if (gHover.object)
    RaiseAt(gHover.object, MouseEvent(gHover.isWindow, kWindowMouseMove, kRectMouseMove), gHover.hwnd, p);
}

bool MouseCaptured() { return gMouseOwner.object != nullptr; }

void ActivePaneIdle() {
  if (Pane* pane = ActivePane()) pane->Idle();
}

bool MenuShortcut(const void* msg) { return HandleWindowKey(*static_cast<const MSG*>(msg)); }

const WindowServices kServices = {UpdateWindowsWhenIdle, TrackMouse,   MouseCaptured,
                                  MenuShortcut,          ActivePaneIdle, NoWindowOpen,
                                  AnyWindowCancelsClose, CloseAllWindows};

}  // namespace

MouseOwner& CurrentMouseOwner() { return gMouseOwner; }

void ReleaseMouseOwner() {
  ObjectRecord* o = gMouseOwner.object;
  gMouseOwner = {};
  if (GetCapture()) ReleaseCapture();
  RuntimeUnlockObject(o);
}

void TakeMouseOwner(ObjectRecord* object, HWND hwnd, bool isWindow) {
  ReleaseMouseOwner();
  RuntimeLockObject(object);
  gMouseOwner = {object, hwnd, isWindow};
  SetCapture(hwnd);
}

bool FrameCloseRequested() {
  if (AnyWindowCancelsClose()) return false;
  CloseAllWindows();
  return true;
}

void InstallWindowServices() { SetWindowServices(&kServices); }
