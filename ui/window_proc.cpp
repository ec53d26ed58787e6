// The Win32 procedures of the runtime's windows. Each message a "ZBWindow"
// acts on has a handler of its own, found in a table; everything else goes
// to the default procedure. Messages that arrive while the native object is
// not yet (or no longer) stored in the window bytes, such as those sent
// during CreateWindowEx, are left to the default procedure too. Before that,
// the procedures of windows and of the frame note the loops Windows runs for
// them (menus, moving and sizing), in which no pump step runs.
#include <windows.h>
#include <windowsx.h>

#include "objects/builtin_classes.h"
#include "objects/events.h"
#include "objects/objects.h"
#include "objects/startup_trace.h"
#include "objects/strings.h"
#include "ui/class_events.h"
#include "ui/event_loop.h"
#include "ui/focus.h"
#include "ui/menu_automation.h"
#include "ui/menu_bar.h"
#include "ui/menu_dispatch.h"
#include "ui/menu_enabling.h"
#include "ui/native_window.h"
#include "ui/notifications.h"
#include "ui/pane.h"

namespace {

using Handler = LRESULT (*)(NativeWindow* n, WPARAM wParam, LPARAM lParam);

// Whether Windows runs a menu loop, or a move or size loop, for one of the
// runtime's windows: each holds one foreign-loop scope while it runs. An end
// reported without its start ends nothing (a menu tracked without
// notifications may still report its end).
bool gInMenuLoop = false;
bool gInSizeMoveLoop = false;

void LoopStarts(bool& running) {
  if (running) return;
  running = true;
  BeginForeignModalLoop();
}

void LoopEnds(bool& running) {
  if (!running) return;
  running = false;
  EndForeignModalLoop();
}

// Keeps the pump's time-driven work going through the loops Windows runs
// for a window. WM_ENTERIDLE comes from a dialog or menu the window owns
// that the runtime did not open: the work goes on until the pump runs again.
// The messages go on to their usual handling.
void FollowSystemLoops(UINT message) {
  switch (message) {
    case WM_ENTERMENULOOP: LoopStarts(gInMenuLoop); break;
    case WM_EXITMENULOOP: LoopEnds(gInMenuLoop); break;
    case WM_ENTERSIZEMOVE: LoopStarts(gInSizeMoveLoop); break;
    case WM_EXITSIZEMOVE: LoopEnds(gInSizeMoveLoop); break;
    case WM_ENTERIDLE: ForeignModalLoopIdle(); break;
    default: break;
  }
}

LRESULT DefaultProc(NativeWindow* n, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (n && n->mdiChild) return DefMDIChildProcA(hwnd, message, wParam, lParam);
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

ObjectRecord* WindowOf(NativeWindow* n) { return n->window ? &n->window->header : nullptr; }

LRESULT OnMouseActivate(NativeWindow* n, WPARAM wParam, LPARAM lParam) {
  NativeWindow* modal = VisibleModalWindow();
  if (modal && modal != n) {
    MessageBeep(0);
    return MA_NOACTIVATEANDEAT;
  }
  return DefaultProc(n, n->hwnd, WM_MOUSEACTIVATE, wParam, lParam);
}

// The default procedure gives the keyboard focus to the window itself; the
// pane that had it in this window gets it back.
LRESULT OnActivate(NativeWindow* n, WPARAM wParam, LPARAM lParam) {
  bool active = LOWORD(wParam) != WA_INACTIVE;
  HWND hwnd = n->hwnd;
  if (active)
    n->Activate();
  else
    n->Deactivate();
  n = NativeWindowFromHandle(hwnd);
  if (!n) return 0;
  if (!active && n->window) ReleaseFocusOfWindow(n->window);
  LRESULT result = DefaultProc(n, hwnd, WM_ACTIVATE, wParam, lParam);
  if (active && n->window && !IsIconic(hwnd)) {
    Pane* pane = FocusedPaneOf(n->window);
    if (pane && pane->CanTakeFocus()) {
      SetActivePane(pane);
      if (ActivePane() == pane && pane->Handle() && GetFocus() != pane->Handle())
        SetFocus(pane->Handle());
    }
  }
  return result;
}

LRESULT OnMdiActivate(NativeWindow* n, WPARAM wParam, LPARAM lParam) {
  HWND self = n->hwnd;
  if (reinterpret_cast<HWND>(lParam) == self)
    n->Activate();
  else if (reinterpret_cast<HWND>(wParam) == self)
    n->Deactivate();
  return DefMDIChildProcA(self, WM_MDIACTIVATE, wParam, lParam);
}

LRESULT OnEraseBackground(NativeWindow* n, WPARAM wParam, LPARAM) {
  RECT r;
  GetClientRect(n->hwnd, &r);
  FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNFACE));
  return 1;
}

LRESULT OnPaint(NativeWindow* n, WPARAM, LPARAM) {
  n->Paint();
  StartupMark("first paint");
  WriteStartupTrace();
  return 0;
}

LRESULT OnButtonDown(NativeWindow* n, WPARAM, LPARAM lParam) {
  ObjectRecord* w = WindowOf(n);
  if (!w) return 0;
  HWND hwnd = n->hwnd;
  int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  EventHold hold(w);
  if (!RaiseEvent<bool>(w, gWindowEvents[kWindowMouseDown], x, y)) return 0;
  // The handler may have closed the window: only a window still open tracks.
  NativeWindow* still = NativeWindowFromHandle(hwnd);
  if (still && WindowOf(still) == w) TakeMouseOwner(w, hwnd, true);
  return 0;
}

LRESULT OnButtonUp(NativeWindow* n, WPARAM, LPARAM lParam) {
  MouseOwner& owner = CurrentMouseOwner();
  bool ours = owner.object && owner.isWindow && owner.hwnd == n->hwnd;
  if (!ours) {
    ReleaseCapture();
    return 0;
  }
  RuntimeLockObject(owner.object);
  ObjectRecord* w = owner.object;
  ReleaseMouseOwner();
  ReleaseCapture();
  RaiseEvent(w, gWindowEvents[kWindowMouseUp], static_cast<int>(GET_X_LPARAM(lParam)),
             static_cast<int>(GET_Y_LPARAM(lParam)));
  RuntimeUnlockObject(w);
  return 0;
}

// A minimised window is parked off screen; its bounds keep the place it
// will come back to.
LRESULT OnMove(NativeWindow* n, WPARAM, LPARAM) {
  if (IsIconic(n->hwnd)) return 0;
  ShortRect now = CurrentContentBounds(n);
  if (n->resizePending) {
    now.right = static_cast<int16_t>(now.left + n->bounds.right - n->bounds.left);
    now.bottom = static_cast<int16_t>(now.top + n->bounds.bottom - n->bounds.top);
  }
  n->bounds = now;
  n->Moved();
  return 0;
}

LRESULT OnSize(NativeWindow* n, WPARAM wParam, LPARAM lParam) {
  if (wParam == SIZE_MINIMIZED) return DefaultProc(n, n->hwnd, WM_SIZE, wParam, lParam);
  HWND hwnd = n->hwnd;
  n->bounds = CurrentContentBounds(n);
  n->Resized();
  n = NativeWindowFromHandle(hwnd);
  return n ? DefaultProc(n, hwnd, WM_SIZE, wParam, lParam) : 0;
}

LRESULT OnClose(NativeWindow* n, WPARAM, LPARAM) {
  n->CloseRequest();
  return 0;
}

LONG ContentToFrame(const NativeWindow* n, int value, bool horizontal) {
  RECT r = {0, 0, horizontal ? value : 0, horizontal ? 0 : value};
  AdjustWindowRectEx(&r, n->style, n->hasMenu, n->exStyle);
  return horizontal ? r.right - r.left : r.bottom - r.top;
}

// The user's resizing keeps the content area within MinWidth..MaxHeight;
// 0 leaves that side unlimited.
LRESULT OnGetMinMaxInfo(NativeWindow* n, WPARAM, LPARAM lParam) {
  WindowObject* w = n->window;
  if (!w) return 0;
  auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
  if (w->minWidth > 0) info->ptMinTrackSize.x = ContentToFrame(n, w->minWidth, true);
  if (w->minHeight > 0) info->ptMinTrackSize.y = ContentToFrame(n, w->minHeight, false);
  if (w->maxWidth > 0) info->ptMaxTrackSize.x = ContentToFrame(n, w->maxWidth, true);
  if (w->maxHeight > 0) info->ptMaxTrackSize.y = ContentToFrame(n, w->maxHeight, false);
  return 0;
}

LRESULT OnSetCursor(NativeWindow* n, WPARAM wParam, LPARAM lParam) {
  if (LOWORD(lParam) != HTCLIENT) return DefaultProc(n, n->hwnd, WM_SETCURSOR, wParam, lParam);
  // Cursor objects arrive with the drawing classes; until then the arrow.
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  return TRUE;
}

LRESULT OnChar(NativeWindow* n, WPARAM wParam, LPARAM lParam) {
  ObjectRecord* w = WindowOf(n);
  if (!w) return 0;
  char c = static_cast<char>(wParam);
  StringRecord* key = NewString(std::string_view(&c, 1));
  HWND hwnd = n->hwnd;
  bool consumed = RaiseEvent<bool>(w, gWindowEvents[kWindowKeyDown], key);
  RuntimeUnlockString(key);
  if (consumed) return 0;
  NativeWindow* still = NativeWindowFromHandle(hwnd);
  return still ? DefaultProc(still, hwnd, WM_CHAR, wParam, lParam) : 0;
}

// Opening the menu bar runs the enabling cycle first.
LRESULT OnInitMenu(NativeWindow*, WPARAM wParam, LPARAM) {
  if (reinterpret_cast<HMENU>(wParam) == MenuBarHandle()) RunEnablingCycle();
  return 0;
}

LRESULT OnCopyData(NativeWindow*, WPARAM wParam, LPARAM lParam) {
  auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  return AnswerMenuStateRequest(reinterpret_cast<HWND>(wParam), data) ? TRUE : FALSE;
}

// Log-off and shutdown end the process without closing its windows, so each
// window is told while there is still time. Asked whether the session may
// end, a window may keep it (it answers true to "EndSession" with Asking);
// only an ending that really happens (WM_ENDSESSION with TRUE) is told again.
LRESULT OnQueryEndSession(NativeWindow* n, WPARAM, LPARAM) {
  return RaiseEvent<bool>(WindowOf(n), gWindowEvents[kWindowEndSession], true) ? FALSE : TRUE;
}

LRESULT OnEndSession(NativeWindow* n, WPARAM wParam, LPARAM) {
  if (wParam) RaiseEvent<bool>(WindowOf(n), gWindowEvents[kWindowEndSession], false);
  return 0;
}

// Control notifications were routed before; what is left is a menu choice.
LRESULT OnMenuCommand(NativeWindow* n, WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == 0 && lParam == 0 && DispatchMenuCommand(LOWORD(wParam))) return 0;
  return DefaultProc(n, n->hwnd, WM_COMMAND, wParam, lParam);
}

struct Route {
  UINT message;
  Handler handler;
};

const Route kRoutes[] = {
    {WM_MOUSEACTIVATE, OnMouseActivate}, {WM_ACTIVATE, OnActivate},
    {WM_MDIACTIVATE, OnMdiActivate},     {WM_ERASEBKGND, OnEraseBackground},
    {WM_PAINT, OnPaint},                 {WM_LBUTTONDOWN, OnButtonDown},
    {WM_RBUTTONDOWN, OnButtonDown},      {WM_LBUTTONUP, OnButtonUp},
    {WM_RBUTTONUP, OnButtonUp},          {WM_MOVE, OnMove},
    {WM_SIZE, OnSize},                   {WM_CLOSE, OnClose},
    {WM_GETMINMAXINFO, OnGetMinMaxInfo}, {WM_SETCURSOR, OnSetCursor},
    {WM_CHAR, OnChar},                   {WM_INITMENU, OnInitMenu},
    {WM_COMMAND, OnMenuCommand},         {WM_COPYDATA, OnCopyData},
    {WM_QUERYENDSESSION, OnQueryEndSession}, {WM_ENDSESSION, OnEndSession},
};

Handler RouteOf(UINT message) {
  for (const Route& r : kRoutes)
    if (r.message == message) return r.handler;
  return nullptr;
}

// --- ZB_Pane: runtime-drawn controls -------------------------------------------

RectControlObject* ControlOfPane(HWND hwnd) {
  Pane* pane = PaneFromHandle(hwnd);
  return pane ? pane->Control() : nullptr;
}

POINT LocalPoint(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

LRESULT PaneButtonDown(HWND hwnd, LPARAM lParam) {
  RectControlObject* rc = ControlOfPane(hwnd);
  if (!rc) return 0;
  ObjectRecord* c = &rc->control.header;
  POINT p = LocalPoint(lParam);
  EventHold hold(c);
  if (!RaiseEvent<bool>(c, gRectControlEvents[kRectMouseDown], static_cast<int>(p.x),
                        static_cast<int>(p.y)))
    return 0;
  // The handler may have closed the control's window, and its pane with it.
  if (ControlOfPane(hwnd) == rc) TakeMouseOwner(c, hwnd, false);
  return 0;
}

LRESULT PaneButtonUp(HWND hwnd, LPARAM lParam) {
  MouseOwner& owner = CurrentMouseOwner();
  if (!owner.object || owner.isWindow || owner.hwnd != hwnd) return 0;
  ObjectRecord* c = owner.object;
  RuntimeLockObject(c);
  ReleaseMouseOwner();
  ReleaseCapture();
  POINT p = LocalPoint(lParam);
  RaiseEvent(c, gRectControlEvents[kRectMouseUp], static_cast<int>(p.x), static_cast<int>(p.y));
  RuntimeUnlockObject(c);
  return 0;
}

LRESULT PanePaint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (Pane* pane = PaneFromHandle(hwnd)) pane->Paint(dc);
  EndPaint(hwnd, &ps);
  return 0;
}

}  // namespace

LRESULT CALLBACK ZBWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  FollowSystemLoops(message);
  LRESULT result = 0;
  if (DispatchControlNotification(message, wParam, lParam, result)) return result;
  auto* n = reinterpret_cast<NativeWindow*>(GetWindowLongPtrA(hwnd, 0));
  Handler handler = n ? RouteOf(message) : nullptr;
  if (!handler) return DefaultProc(n, hwnd, message, wParam, lParam);
  return handler(n, wParam, lParam);
}

LRESULT CALLBACK ZBPaneProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (DispatchControlNotification(message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_LBUTTONDOWN: return PaneButtonDown(hwnd, lParam);
    case WM_LBUTTONUP: return PaneButtonUp(hwnd, lParam);
    case WM_ERASEBKGND: return 1;  // what lies beneath shows: the pane draws over it
    case WM_PAINT: return PanePaint(hwnd);
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

// The frame of a multiple-document application: closing it asks every
// window, as quitting does.
LRESULT CALLBACK ZBFrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  FollowSystemLoops(message);
  if (message == WM_CLOSE) {
    if (FrameCloseRequested()) DestroyWindow(hwnd);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefFrameProcA(hwnd, MdiClientHandle(), message, wParam, lParam);
}
