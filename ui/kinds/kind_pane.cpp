// What the kinds' panes share; see kind_pane.h. A Win32 control's window
// procedure belongs to its class, so a pane that wants to see the control's
// messages first puts its own procedure in front (and takes it away again
// before the window goes). The procedure finds its pane through a window
// property of its own, set and removed together with the procedure.
#include "ui/kinds/kind_pane.h"

#include "objects/builtin_classes.h"
#include "objects/collation.h"
#include "objects/events.h"
#include "objects/objects.h"
#include "sdk/vellory.h"
#include "ui/focus.h"
#include "ui/kinds/tab_panel.h"
#include "ui/native_window.h"
#include "ui/runtime_ui.h"
#include "ui/window_class_names.h"

namespace {

constexpr char kSubclassProperty[] = "ZBKindPane";

bool IsRuntimePaneClass(const char* windowClass) {
  return CollateEqual(windowClass, kPaneClassName);
}

}  // namespace

HWND PaneParentOf(const RectControlObject* control) {
  if (!control || !control->control.window) return nullptr;
  auto* window = reinterpret_cast<WindowObject*>(control->control.window);
  return NativeWindowHandle(window->native);
}

FontRequest RequestedFont(StringRecord* name, int32_t size, bool bold, bool italic,
                          bool underline) {
  FontRequest r;
  r.name = StringView(name);
  if (r.name.empty()) r.name = DefaultFontName();
  if (r.name.empty()) r.name = "System";
  r.size = size > 0 ? size : DefaultFontSize();
  if (r.size <= 0) r.size = 12;
  r.bold = bold;
  r.italic = italic;
  r.underline = underline;
  return r;
}

void RaiseOnControl(RectControlObject* control, const EventEntry& event) {
  if (!control) return;
  ObjectRecord* o = &control->control.header;
  RuntimeLockObject(o);
  RaiseEvent(o, event);
  RuntimeUnlockObject(o);
}

bool RaiseBoolOnControl(RectControlObject* control, const EventEntry& event, StringRecord* arg) {
  if (!control) return false;
  ObjectRecord* o = &control->control.header;
  RuntimeLockObject(o);
  bool result = RaiseEvent<bool>(o, event, arg);
  RuntimeUnlockObject(o);
  return result;
}

void SetCaptionField(ObjectRecord* control, uint32_t offset, StringRecord* caption) {
  if (!control) return;
  stringSetter(control, offset, caption);
  Pane* pane = reinterpret_cast<RectControlObject*>(control)->pane;
  if (pane && pane->Handle()) SetWindowTextA(pane->Handle(), StringCText(caption));
}

KindPane::~KindPane() {
  *alive_ = false;
  ReleaseGdi();
}

bool KindPane::Make(HWND parent, const char* windowClass, const char* text, DWORD style,
                    DWORD exStyle, int extraHeight) {
  if (!CreateChild(parent, windowClass, text, style, exStyle, extraHeight)) return false;
  if (!IsRuntimePaneClass(windowClass)) {
    SetPropA(hwnd_, kSubclassProperty, this);
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
  }
  RefreshFont();
  return true;
}

void KindPane::Close() {
  if (hwnd_ && original_) {
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    RemovePropA(hwnd_, kSubclassProperty);
    original_ = nullptr;
  }
  Pane::Close();
  ReleaseGdi();
}

void KindPane::ReleaseGdi() {
  ReleaseFont(font_);
  font_ = nullptr;
  if (brush_) DeleteObject(brush_);
  brush_ = nullptr;
}

FontRequest KindPane::WantedFont() const {
  const ControlFontFields* f = FontFields();
  if (!f) return RequestedFont(nullptr, 0, false, false, false);
  return RequestedFont(f->textFont, f->textSize, f->bold, f->italic, f->underline);
}

void KindPane::RefreshFont() {
  if (!hwnd_) return;
  FontRequest wanted = WantedFont();
  HFONT font = AcquireFont(wanted);
  fontName_ = std::string(wanted.name);
  fontSize_ = wanted.size;
  ApplyFont(font);
  ReleaseFont(font_);
  font_ = font;
}

void KindPane::ApplyFont(HFONT font) {
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

HBRUSH KindPane::SolidBrush(COLORREF color) {
  if (brush_ && brushColor_ == color) return brush_;
  if (brush_) DeleteObject(brush_);
  brush_ = CreateSolidBrush(color);
  brushColor_ = color;
  return brush_;
}

HBRUSH KindPane::WindowBackground(HDC dc) {
  NativeWindow* n = hwnd_ ? NativeWindowFromHandle(GetParent(hwnd_)) : nullptr;
  if (!n || !n->customBackground) return nullptr;
  SetBkColor(dc, n->backColor);
  return SolidBrush(n->backColor);
}

// Check boxes and group boxes stand on the body of a tab panel they lie on,
// else on the window's own background colour.
HBRUSH KindPane::ControlColor(HDC dc, UINT message) {
  if (message != WM_CTLCOLORSTATIC) return nullptr;
  if (TabPanelPane* panel = TabPanelUnder(control_)) return panel->BodyBrush(dc, control_->bounds);
  return WindowBackground(dc);
}

LRESULT KindPane::Message(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  if (message != WM_SETFOCUS) return 0;
  LRESULT result = CallOriginal(message, wParam, lParam);
  handled = true;
  TookNativeFocus();
  return result;
}

LRESULT KindPane::CallOriginal(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!hwnd_ || !original_) return 0;
  return CallWindowProcA(original_, hwnd_, message, wParam, lParam);
}

void KindPane::TookNativeFocus() {
  if (ActivePane() == this || !control_) return;
  SetFocusedPaneOf(reinterpret_cast<WindowObject*>(control_->control.window), this);
  SetActivePane(this);
}

LRESULT CALLBACK KindPane::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<KindPane*>(GetPropA(hwnd, kSubclassProperty));
  if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
  std::shared_ptr<bool> alive = self->alive_;
  WNDPROC original = self->original_;
  bool handled = false;
  LRESULT result = self->Message(message, wParam, lParam, handled);
  if (handled) return result;
  if (!*alive || !IsWindow(hwnd)) return 0;
  return CallWindowProcA(original, hwnd, message, wParam, lParam);
}
