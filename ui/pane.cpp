// The Pane base; see pane.h. A pane reaches its control's events only through
// the control object, and finds its way back from an HWND through a window
// property (Win32 controls, whose window bytes belong to their class) or the
// window bytes of the runtime's own "ZB_Pane" class.
#include "ui/pane.h"

#include "objects/builtin_classes.h"
#include "objects/collation.h"
#include "objects/events.h"
#include "ui/class_events.h"
#include "ui/focus.h"
#include "ui/window_class_names.h"

namespace {

constexpr char kInstanceProperty[] = "ZBInstance";

bool IsRuntimePaneClass(const char* windowClass) {
  return windowClass && CollateEqual(windowClass, kPaneClassName);
}

bool IsRuntimePaneWindow(HWND hwnd) {
  char name[16] = {};
  return GetClassNameA(hwnd, name, sizeof name) > 0 && IsRuntimePaneClass(name);
}

void Raise(RectControlObject* control, RectControlEvent event) {
  if (control) RaiseEvent(&control->control.header, gRectControlEvents[event]);
}

}  // namespace

void Pane::SetState(int state) {
  if (!hwnd_) return;
  switch (state) {
    case kPaneEnable: EnableWindow(hwnd_, TRUE); break;
    case kPaneDisable: EnableWindow(hwnd_, FALSE); break;
    case kPaneShow: ShowWindow(hwnd_, SW_SHOW); break;
    case kPaneHide: ShowWindow(hwnd_, SW_HIDE); break;
    default: break;
  }
}

// The control's bounds are in the window's content coordinates, which are the
// client coordinates of the window's HWND, the pane's parent.
void Pane::SetBounds(const ShortRect& bounds, bool redraw) {
  if (!hwnd_) return;
  MoveWindow(hwnd_, bounds.left, bounds.top, bounds.right - bounds.left,
             bounds.bottom - bounds.top + extraHeight_, redraw ? TRUE : FALSE);
}

// The pane's own style bits, not IsWindowVisible: the window is still hidden
// while its "Open" handlers run, and they may already set the focus.
bool Pane::CanTakeFocus() {
  if (!hwnd_) return false;
  LONG style = GetWindowLongA(hwnd_, GWL_STYLE);
  return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

void Pane::GainFocus() {
  if (hwnd_ && GetFocus() != hwnd_) SetFocus(hwnd_);
  Raise(control_, kRectGotFocus);
}

void Pane::LoseFocus() { Raise(control_, kRectLostFocus); }

void Pane::Invalidate() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Pane::Close() {
  ForgetPane(this);
  if (!hwnd_) return;
  HWND hwnd = hwnd_;
  hwnd_ = nullptr;
  // Untied first, so that messages sent while the window goes find no pane.
  if (IsRuntimePaneWindow(hwnd))
    SetWindowLongPtrA(hwnd, 0, 0);
  else
    RemovePropA(hwnd, kInstanceProperty);
  DestroyWindow(hwnd);
}

void Pane::SetHelp(StringRecord* enabled, StringRecord* disabled) {
  help_ = StringRef::Borrow(enabled);
  disabledHelp_ = StringRef::Borrow(disabled);
}

bool Pane::CreateChild(HWND parent, const char* windowClass, const char* text, DWORD style,
                       DWORD exStyle, int extraHeight) {
  if (hwnd_ || !parent || !control_) return false;
  const ShortRect& b = control_->bounds;
  extraHeight_ = extraHeight;
  bool runtimePane = IsRuntimePaneClass(windowClass);
  // A runtime pane's window procedure may want its pane during WM_CREATE
  // already; Win32 classes give the creation parameter meanings of their own.
  hwnd_ = CreateWindowExA(exStyle, windowClass, text ? text : "", style | WS_CHILD | WS_VISIBLE,
                          b.left, b.top, b.right - b.left, b.bottom - b.top + extraHeight,
                          parent, nullptr, GetModuleHandleA(nullptr),
                          runtimePane ? this : nullptr);
  if (!hwnd_) return false;
  if (runtimePane)
    SetWindowLongPtrA(hwnd_, 0, reinterpret_cast<LONG_PTR>(this));
  else
    SetPropA(hwnd_, kInstanceProperty, this);
  return true;
}

Pane* PaneFromHandle(HWND hwnd) {
  if (!hwnd || !IsWindow(hwnd)) return nullptr;
  if (HANDLE p = GetPropA(hwnd, kInstanceProperty)) return static_cast<Pane*>(p);
  if (!IsRuntimePaneWindow(hwnd)) return nullptr;
  return reinterpret_cast<Pane*>(GetWindowLongPtrA(hwnd, 0));
}
