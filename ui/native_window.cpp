// The native window object and the process-wide lists it lives on. The
// Window object holds what the application asked for; the native window
// turns that into a Win32 window and keeps the state the event pump needs
// (what to show when idle, which size change is still to be applied), so that
// handlers can change a window freely and the screen catches up once.
#include "ui/native_window.h"

#include <algorithm>

#include "objects/builtin_classes.h"
#include "objects/checked_cast.h"
#include "objects/events.h"
#include "objects/objects.h"
#include "objects/startup_trace.h"
#include "ui/class_events.h"
#include "ui/control_dictionary.h"
#include "ui/controls.h"
#include "ui/menu_bar.h"
#include "ui/pane.h"
#include "ui/window_graphics.h"
#include "ui/window_class_names.h"

namespace {

NativeWindow* gFirstNative = nullptr;
NativeWindow* gFirstListed = nullptr;
std::vector<NativeWindow*> gModalStack;  // newest last
NativeWindow* gMainWindow = nullptr;

int Width(const ShortRect& r) { return r.right - r.left; }
int Height(const ShortRect& r) { return r.bottom - r.top; }

bool SameRect(const ShortRect& a, const ShortRect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

void Unlink(NativeWindow*& head, NativeWindow* target, NativeWindow* NativeWindow::*next) {
  for (NativeWindow** p = &head; *p; p = &((*p)->*next)) {
    if (*p != target) continue;
    *p = target->*next;
    target->*next = nullptr;
    return;
  }
}

// The owner a new top-level window gets: a visible modal window first, then
// the MDI frame, then the newest plain document window.
HWND ChooseOwner(const NativeWindow* self) {
  if (!gModalStack.empty()) {
    NativeWindow* modal = VisibleModalWindow();
    return modal ? modal->hwnd : nullptr;
  }
  if (MdiMode()) return MdiFrameHandle();
  for (NativeWindow* n = gFirstNative; n; n = n->nextNative)
    if (n != self && n->hwnd && (n->kind == 0 || n->kind == 8)) return n->hwnd;
  return nullptr;
}

// The program file's icon (resource 1), when it has one, in the title bar;
// the window class itself has none.
void ShowProgramIcon(HWND hwnd) {
  HINSTANCE program = GetModuleHandleA(nullptr);
  auto load = [program](int size) {
    return static_cast<HICON>(
        LoadImageA(program, MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, LR_SHARED));
  };
  if (HICON big = load(GetSystemMetrics(SM_CXICON)))
    SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  if (HICON little = load(GetSystemMetrics(SM_CXSMICON)))
    SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(little));
}

HWND CreateTopLevel(NativeWindow* n, const RECT& r) {
  HMENU menu = n->hasMenu ? MenuBarHandle() : nullptr;
  HWND hwnd = CreateWindowExA(n->exStyle, kWindowClassName, n->title.c_str(), n->style, r.left, r.top,
                              r.right - r.left, r.bottom - r.top, ChooseOwner(n), menu,
                              GetModuleHandleA(nullptr), nullptr);
  StartupMark("native window made (CreateWindowEx)");
  if (hwnd) ShowProgramIcon(hwnd);
  StartupMark("program icon set");
  return hwnd;
}

HWND CreateMdiChild(NativeWindow* n, const RECT& r) {
  n->mdiChild = true;
  return CreateMDIWindowA(kWindowClassName, n->title.c_str(), n->style, r.left, r.top, r.right - r.left,
                          r.bottom - r.top, MdiClientHandle(), GetModuleHandleA(nullptr), 0);
}

void MoveByLocks(RectControlObject* rc, int dW, int dH) {
  if (!rc->lockRight && !rc->lockBottom) return;
  ShortRect b = rc->bounds;
  if (rc->lockRight) {
    b.right = static_cast<int16_t>(b.right + dW);
    if (!rc->lockLeft) b.left = static_cast<int16_t>(b.left + dW);
  }
  if (rc->lockBottom) {
    b.bottom = static_cast<int16_t>(b.bottom + dH);
    if (!rc->lockTop) b.top = static_cast<int16_t>(b.top + dH);
  }
  rc->bounds = b;
  if (rc->pane) rc->pane->SetBounds(b, true);
}

}  // namespace

HWND NativeWindowHandle(const NativeWindow* window) { return window ? window->hwnd : nullptr; }
WindowObject* NativeWindowObject(const NativeWindow* window) {
  return window ? window->window : nullptr;
}

NativeWindow* NativeWindowFromHandle(HWND hwnd) {
  if (!hwnd || !IsWindow(hwnd)) return nullptr;
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process != GetCurrentProcessId()) return nullptr;
  char cls[16] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  if (lstrcmpiA(cls, kWindowClassName) != 0) return nullptr;
  return reinterpret_cast<NativeWindow*>(GetWindowLongPtrA(hwnd, 0));
}

FrameChoice FrameOf(int32_t frame) {
  static const FrameChoice kFrames[] = {{8, 4}, {3, 2}, {2, 2}, {1, 0},
                                        {4, 2}, {5, 2}, {6, 4}, {9, 0}};
  if (frame < 0 || frame > 7) return kFrames[0];
  return kFrames[frame];
}

NativeStyle StyleOfKind(int kind, bool closeBox, bool growIcon, bool zoomIcon) {
  DWORD zoom = zoomIcon ? WS_MINIMIZEBOX | WS_MAXIMIZEBOX : 0;
  DWORD sys = closeBox ? WS_SYSMENU : 0;
  DWORD edge = growIcon ? WS_THICKFRAME : WS_BORDER;
  switch (kind) {
    case 3: return {WS_POPUP | WS_CAPTION, WS_EX_DLGMODALFRAME, true};
    case 2: return {WS_POPUP | WS_DLGFRAME, 0, true};
    case 1:
    case 9: return {WS_POPUP | edge | sys | zoom, 0, false};
    case 4:
    case 5: return {WS_POPUP | WS_BORDER, 0, true};
    case 7: return {WS_POPUP | WS_BORDER, 0, true};
    case 6: return {WS_CAPTION | zoom | sys, 0, false};
    default: return {WS_CAPTION | edge | zoom | sys, 0, false};  // kinds 0 and 8
  }
}

NativeWindow* CreateNativeWindow(const std::string& title, const ShortRect& bounds, int kind,
                                 bool closeBox, bool growIcon, bool zoomIcon) {
  auto* n = new NativeWindow;
  n->title = title;
  n->bounds = bounds;
  n->kind = kind;
  NativeStyle s = StyleOfKind(kind, closeBox, growIcon, zoomIcon);
  n->style = s.style;
  n->exStyle = s.exStyle;
  n->nextNative = gFirstNative;
  gFirstNative = n;
  // The menu bar goes to the first document window.
  if (!MdiMode() && !gMainWindow && (kind == 0 || kind == 8)) {
    gMainWindow = n;
    n->hasMenu = MenuBarHandle() != nullptr;
  }
  RECT r = {bounds.left, bounds.top, bounds.right, bounds.bottom};
  AdjustWindowRectEx(&r, n->style, n->hasMenu, n->exStyle);
  bool child = MdiMode() && !(n->style & WS_POPUP);
  n->hwnd = child ? CreateMdiChild(n, r) : CreateTopLevel(n, r);
  if (!n->hwnd) {
    Unlink(gFirstNative, n, &NativeWindow::nextNative);
    if (gMainWindow == n) gMainWindow = nullptr;
    delete n;
    return nullptr;
  }
  SetWindowLongPtrA(n->hwnd, 0, reinterpret_cast<LONG_PTR>(n));
  if (s.modal) gModalStack.push_back(n);
  return n;
}

void SetNativeAttribute(NativeWindow* native, const std::string& name, int32_t value) {
  for (auto& a : native->attributes)
    if (lstrcmpiA(a.first.c_str(), name.c_str()) == 0) {
      a.second = value;
      return;
    }
  native->attributes.emplace_back(name, value);
}

int32_t NativeAttribute(const NativeWindow* native, const std::string& name) {
  for (const auto& a : native->attributes)
    if (lstrcmpiA(a.first.c_str(), name.c_str()) == 0) return a.second;
  return 0;
}

NativeWindow* FirstNativeWindow() { return gFirstNative; }
NativeWindow* FirstListedWindow() { return gFirstListed; }

void LinkIntoWindowList(NativeWindow* native) {
  if (native->inWindowList) return;
  native->nextWindow = gFirstListed;
  gFirstListed = native;
  native->inWindowList = true;
}

NativeWindow* VisibleModalWindow() {
  for (auto it = gModalStack.rbegin(); it != gModalStack.rend(); ++it)
    if ((*it)->hwnd && IsWindowVisible((*it)->hwnd)) return *it;
  return nullptr;
}

NativeWindow* MainNativeWindow() { return gMainWindow; }

HWND NewWindowOwner() { return ChooseOwner(nullptr); }

void SetCustomBackground(NativeWindow* native, bool on, uint32_t color) {
  COLORREF c = RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
  bool changed = on ? (!native->customBackground || native->backColor != c)
                    : native->customBackground;
  native->customBackground = on;
  if (on) native->backColor = c;
  if (changed && native->hwnd) InvalidateRect(native->hwnd, nullptr, TRUE);
}

ShortRect CurrentContentBounds(const NativeWindow* native) {
  RECT r{};
  GetClientRect(native->hwnd, &r);
  MapWindowPoints(native->hwnd, native->mdiChild ? MdiClientHandle() : nullptr,
                  reinterpret_cast<POINT*>(&r), 2);
  return {static_cast<int16_t>(r.top), static_cast<int16_t>(r.left),
          static_cast<int16_t>(r.bottom), static_cast<int16_t>(r.right)};
}

void CatchUpGeometry(NativeWindow* native) {
  if (!native->hwnd || IsIconic(native->hwnd)) return;
  ShortRect now = CurrentContentBounds(native);
  const ShortRect want = native->bounds;
  if (!SameRect(now, want)) {
    RECT w{};
    GetWindowRect(native->hwnd, &w);
    if (native->mdiChild) MapWindowPoints(nullptr, MdiClientHandle(), reinterpret_cast<POINT*>(&w), 2);
    int dl = want.left - now.left, dt = want.top - now.top;
    int dw = Width(want) - Width(now), dh = Height(want) - Height(now);
    HWND hwnd = native->hwnd;
    MoveWindow(hwnd, w.left + dl, w.top + dt, w.right - w.left + dw, w.bottom - w.top + dh, TRUE);
    // The WM_SIZE of the move has normally done the resize processing; the
    // native window may even be gone if a handler closed it.
    native = NativeWindowFromHandle(hwnd);
    if (!native) return;
  }
  if (native->resizePending) ProcessResize(native);
}

void ProcessResize(NativeWindow* native) {
  WindowObject* w = native->window;
  native->resizePending = false;
  if (!w) return;
  ShortRect fresh = native->bounds;
  int dW = Width(fresh) - Width(w->lastBounds);
  int dH = Height(fresh) - Height(w->lastBounds);
  w->lastBounds = fresh;
  w->bounds = fresh;
  // A size message that changes nothing (the first showing sends one) is no
  // resize: it would raise "Resized" for nothing.
  if (!dW && !dH) return;
  for (int32_t i = 0; i < ControlCount(w->controls); ++i) {
    ObjectRecord* c = ControlAt(w->controls, i);
    if (IsRectControl(c)) MoveByLocks(reinterpret_cast<RectControlObject*>(c), dW, dH);
  }
  RaiseEvent(&w->header, gWindowEvents[kWindowResized]);
}

void ProcessMove(NativeWindow* native) {
  WindowObject* w = native->window;
  if (!w) return;
  bool moved = w->bounds.left != native->bounds.left || w->bounds.top != native->bounds.top;
  w->bounds = native->bounds;
  if (moved) RaiseEvent(&w->header, gWindowEvents[kWindowMoved]);
}

void NativeWindow::Destroy() {
  HWND h = hwnd;
  hwnd = nullptr;
  if (h) {
    SetWindowLongPtrA(h, 0, 0);
    // The menu bar outlives its window (DestroyWindow would destroy it too).
    if (hasMenu && GetMenu(h) == MenuBarHandle()) SetMenu(h, nullptr);
    if (mdiChild)
      SendMessageA(MdiClientHandle(), WM_MDIDESTROY, reinterpret_cast<WPARAM>(h), 0);
    else
      DestroyWindow(h);
  }
  ReleaseWindowPort(this);
  Unlink(gFirstNative, this, &NativeWindow::nextNative);
  Unlink(gFirstListed, this, &NativeWindow::nextWindow);
  gModalStack.erase(std::remove(gModalStack.begin(), gModalStack.end(), this), gModalStack.end());
  if (gMainWindow == this) gMainWindow = nullptr;
  WindowObject* w = window;
  window = nullptr;
  if (w) {
    w->native = nullptr;
    RuntimeUnlockObject(&w->header);
  }
  delete this;
}

// The handler draws into the paint's DC, over the background and the
// backdrop and still clipped to the update region; it may close the window,
// so nothing of the native window is touched after it.
void NativeWindow::Paint() {
  PAINTSTRUCT ps;
  HWND h = hwnd;
  HDC dc = BeginPaint(h, &ps);
  if (customBackground) {
    HBRUSH brush = CreateSolidBrush(backColor);
    FillRect(dc, &ps.rcPaint, brush);
    DeleteObject(brush);
  }
  WindowObject* w = window;
  PictureObject* picture = w ? As<PictureObject>(w->backdrop) : nullptr;
  if (picture && picture->bitmap) {
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, static_cast<HBITMAP>(picture->bitmap));
    BitBlt(dc, 0, 0, picture->width, picture->height, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
  }
  if (w) RaisePaint(this, dc);
  EndPaint(h, &ps);
}

void NativeWindow::Activate() {
  if (window) RaiseEvent(&window->header, gWindowEvents[kWindowActivate]);
}
void NativeWindow::Deactivate() {
  if (window) RaiseEvent(&window->header, gWindowEvents[kWindowDeactivate]);
}
void NativeWindow::Moved() { ProcessMove(this); }
void NativeWindow::Resized() { ProcessResize(this); }

void NativeWindow::CloseRequest() {
  WindowObject* w = window;
  if (!w) return;
  if (RaiseEvent<bool>(&w->header, gWindowEvents[kWindowCancelClose])) return;
  CloseWindowObject(w);
}
