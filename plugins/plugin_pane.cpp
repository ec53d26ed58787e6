// The plug-in pane; see plugin_pane.h. Mouse positions reach the plug-in in
// window coordinates, as the control's bounds are, so that it can compare
// them with GetControlBounds without converting.
#include "plugins/plugin_pane.h"

#include <windowsx.h>

#include "objects/objects.h"
#include "plugins/plugin_registry.h"
#include "ui/drawing/drawing_port.h"
#include "ui/event_loop.h"
#include "ui/drawing/graphics.h"
#include "ui/kinds/kind_pane.h"
#include "ui/kinds/tab_panel.h"
#include "ui/native_window.h"
#include "ui/window_class_names.h"

namespace {

constexpr uint32_t kPeriodicUnits = 10;  // ticks (kTickMs): at most every 160 ms

using InstanceRoutine = void(__cdecl*)(ObjectRecord*);
using GraphicsRoutine = void(__cdecl*)(ObjectRecord*, ObjectRecord*);
using PointRoutine = void(__cdecl*)(ObjectRecord*, int32_t, int32_t);
using DownRoutine = bool(__cdecl*)(ObjectRecord*, int32_t, int32_t, int32_t);
using KeyRoutine = bool(__cdecl*)(ObjectRecord*, uint8_t, uint8_t, uint16_t);
using QueryRoutine = bool(__cdecl*)(ObjectRecord*);

PluginPane* PaneOfWindow(HWND hwnd) { return static_cast<PluginPane*>(PaneFromHandle(hwnd)); }

LRESULT PaintPane(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (PluginPane* pane = PaneOfWindow(hwnd)) pane->Paint(dc);
  EndPaint(hwnd, &ps);
  return 0;
}

LRESULT CALLBACK PluginPaneProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  PluginPane* pane = nullptr;
  switch (message) {
    case WM_PAINT: return PaintPane(hwnd);
    case WM_ERASEBKGND: return 1;  // the plug-in draws all of its rectangle
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if ((pane = PaneOfWindow(hwnd))) pane->ButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), wParam);
      return 0;
    case WM_MOUSEMOVE:
      if ((pane = PaneOfWindow(hwnd))) pane->MouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_LBUTTONUP:
      if ((pane = PaneOfWindow(hwnd))) pane->ButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_CAPTURECHANGED:
      if ((pane = PaneOfWindow(hwnd))) pane->CaptureLost();
      return 0;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

}  // namespace

void RegisterPluginPaneClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA wc = {};
  // An own DC lets a plug-in keep the DC of a Graphics it got outside a
  // redraw without anyone having to give it back.
  wc.style = CS_OWNDC | CS_DBLCLKS;
  wc.lpfnWndProc = PluginPaneProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = kPluginPaneClassName;
  registered = RegisterClassA(&wc) != 0;
}

PluginPane::PluginPane(RectControlObject* control, const PluginControlDefinition* definition)
    : Pane(control), definition_(definition) {}

PluginPane::~PluginPane() { Close(); }

void* PluginPane::Slot(int slot) const {
  if (!definition_ || !definition_->behaviour) return nullptr;
  return definition_->behaviour->slot[slot];
}

bool PluginPane::Create(HWND parent) {
  RegisterPluginPaneClass();
  if (!CreateChild(parent, kPluginPaneClassName, "", WS_CLIPSIBLINGS)) return false;
  // A new child goes below its older siblings; with WS_CLIPSIBLINGS a pane
  // lying on a tab panel made before it would then be hidden by the panel.
  SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (auto run = reinterpret_cast<InstanceRoutine>(Slot(kPluginSlotPaneCreated))) run(Instance());
  if (Slot(kPluginSlotPeriodic)) periodic_ = AddPeriodicTask(Periodic, this, kPeriodicUnits);
  return true;
}

void PluginPane::Periodic(void* context) {
  auto* pane = static_cast<PluginPane*>(context);
  if (auto run = reinterpret_cast<InstanceRoutine>(pane->Slot(kPluginSlotPeriodic))) run(pane->Instance());
}

// Idempotent: the destructor runs it again after the owner's Close.
void PluginPane::Close() {
  if (closed_) return;
  closed_ = true;
  bool created = hwnd_ != nullptr;
  if (periodic_) RemovePeriodicTask(periodic_);
  periodic_ = nullptr;
  if (tracking_ && GetCapture() == hwnd_) ReleaseCapture();
  tracking_ = false;
  auto closing = reinterpret_cast<InstanceRoutine>(Slot(kPluginSlotPaneClosing));
  if (created && closing) closing(Instance());
  Pane::Close();
}

bool PluginPane::CanTakeFocus() {
  if (!Pane::CanTakeFocus()) return false;
  if (definition_ && (definition_->flags & kPluginControlRedraws)) return true;
  auto query = reinterpret_cast<QueryRoutine>(Slot(kPluginSlotPaneQuery));
  return query && query(Instance());
}

void PluginPane::GainFocus() {
  Pane::GainFocus();
  if (auto run = reinterpret_cast<InstanceRoutine>(Slot(kPluginSlotNotifyA))) run(Instance());
}

void PluginPane::LoseFocus() {
  Pane::LoseFocus();
  if (auto run = reinterpret_cast<InstanceRoutine>(Slot(kPluginSlotNotifyB))) run(Instance());
}

bool PluginPane::KeyDown(const MSG& message) {
  auto key = reinterpret_cast<KeyRoutine>(Slot(kPluginSlotKey));
  if (!key) return false;
  BYTE state[256] = {};
  WORD chars[2] = {};
  GetKeyboardState(state);
  UINT scan = (static_cast<UINT>(message.lParam) >> 16) & 0xFF;
  int n = ToAscii(static_cast<UINT>(message.wParam), scan, state, chars, 0);
  uint8_t character = n == 1 ? static_cast<uint8_t>(chars[0]) : 0;
  uint16_t modifiers = (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                       (GetKeyState(VK_MENU) < 0 ? 4 : 0);
  return key(Instance(), character, static_cast<uint8_t>(message.wParam), modifiers);
}

void PluginPane::DrawThrough(int slot, HDC dc, int x, int y) {
  auto draw = reinterpret_cast<GraphicsRoutine>(Slot(slot));
  if (!draw || !dc) return;
  const ShortRect& b = control_->bounds;
  int saved = SaveDC(dc);
  // Plug-ins draw with GDI in window coordinates, as their bounds are given;
  // clip regions stay in device coordinates.
  SetViewportOrgEx(dc, x - b.left, y - b.top, nullptr);
  auto* port = new DrawingPort();
  port->AttachDC(dc);
  ObjectRecord* graphics = NewGraphics(port, b.left, b.top, b.right - b.left, b.bottom - b.top);
  draw(Instance(), graphics);
  RestoreDC(dc, saved);
  RuntimeUnlockObject(graphics);
  port->AttachDC(nullptr);
  port->Release();
}

// Plug-ins draw only their own shapes; on a tab panel the panel's body goes
// behind them first, as it does behind a label.
void PluginPane::Paint(HDC dc) {
  if (TabPanelPane* panel = TabPanelUnder(control_)) panel->DrawBody(dc, control_->bounds);
  DrawThrough(kPluginSlotDraw, dc, 0, 0);
}

void PluginPane::DrawInto(HDC dc, int x, int y) { DrawThrough(kPluginSlotDrawInto, dc, x, y); }

// Each call into the plug-in may raise an event whose handler closes the
// window: the instance is held meanwhile, and the pane (deleted with the
// window) is only used again when its child window still leads to it.
void PluginPane::ButtonDown(int x, int y, WPARAM keys) {
  auto down = reinterpret_cast<DownRoutine>(Slot(kPluginSlotMouseDown));
  if (!down) return;
  HWND hwnd = hwnd_;
  ObjectRecord* instance = Instance();
  RuntimeLockObject(instance);
  bool track = down(instance, x + control_->bounds.left, y + control_->bounds.top,
                    static_cast<int32_t>(keys));
  if (track && PaneOfWindow(hwnd) == this) {
    tracking_ = true;
    SetCapture(hwnd_);
  }
  RuntimeUnlockObject(instance);
}

void PluginPane::MouseMove(int x, int y) {
  if (!tracking_) return;
  auto drag = reinterpret_cast<PointRoutine>(Slot(kPluginSlotMouseDrag));
  if (!drag) return;
  ObjectRecord* instance = Instance();
  RuntimeLockObject(instance);
  drag(instance, x + control_->bounds.left, y + control_->bounds.top);
  RuntimeUnlockObject(instance);
}

void PluginPane::ButtonUp(int x, int y) {
  if (!tracking_) return;
  tracking_ = false;
  if (GetCapture() == hwnd_) ReleaseCapture();
  auto up = reinterpret_cast<PointRoutine>(Slot(kPluginSlotMouseUp));
  if (!up) return;
  ObjectRecord* instance = Instance();
  RuntimeLockObject(instance);
  up(instance, x + control_->bounds.left, y + control_->bounds.top);
  RuntimeUnlockObject(instance);
}

// Another window took the mouse (a message box, a menu): the press is over
// without a release, and moves no longer reach the plug-in.
void PluginPane::CaptureLost() { tracking_ = false; }

void PluginPane::SpecialBackground(uint32_t* colour) const {
  NativeWindow* n = hwnd_ ? NativeWindowFromHandle(GetParent(hwnd_)) : nullptr;
  if (!n || !n->customBackground) return;
  COLORREF c = n->backColor;
  *colour = (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

void __cdecl PluginControlCreatePane(ObjectRecord* object) {
  auto* rc = reinterpret_cast<RectControlObject*>(object);
  const PluginControl* control = object ? PluginControlOf(object->cls) : nullptr;
  HWND parent = rc ? PaneParentOf(rc) : nullptr;
  if (!control || !parent || rc->pane) return;
  auto* pane = new PluginPane(rc, control->definition);
  rc->pane = pane;  // the plug-in may ask for its pane while slot 9 runs
  if (pane->Create(parent)) return;
  rc->pane = nullptr;
  delete pane;
}
