// ProgressBar: a standard progress bar ("msctls_progress32") with the range
// 0..Maximum. With Maximum <= 0 the bar is indeterminate: a runtime-drawn
// pane is laid over it, in which a small block sweeps back and forth, moved
// by a periodic task of the event loop every 10 ticks of kTickMs (which also
// runs inside RuntimeBackgroundTask, so long work shows it moving).
#include "ui/kinds/progress_bar.h"

#include <windows.h>
#include <commctrl.h>

#include "objects/checked_cast.h"
#include "objects/objects.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"
#include "ui/controls.h"
#include "ui/kinds/kind_table.h"
#include "ui/window_class_names.h"

namespace {

// The object as a ProgressBar; null for nil and for an object of any other class.
ProgressBarObject* Bar(ObjectRecord* o) { return As<ProgressBarObject>(o); }

ProgressPane* PaneOf(ProgressBarObject* bar) { return static_cast<ProgressPane*>(bar->rect.pane); }

constexpr uint32_t kSweepInterval = 10;  // ticks (kTickMs)
constexpr int kBlockWidth = 6;
constexpr int kBlockSpacing = 8;

void Line(HDC dc, int x1, int y1, int x2, int y2, int sysColor) {
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(sysColor));
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
  SelectObject(dc, old);
  DeleteObject(pen);
}

}  // namespace

// --- the sweeping block --------------------------------------------------------------

bool SweepPane::Create(HWND parent) {
  if (!CreateChild(parent, kPaneClassName, "", 0)) return false;
  SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return true;
}

// A one-pixel frame (top and right in the shadow colour, bottom and left in
// the highlight colour) and the block in the selection colour.
void SweepPane::Paint(HDC dc) {
  RECT r;
  GetClientRect(hwnd_, &r);
  int w = r.right, h = r.bottom;
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  Line(dc, 0, 0, w, 0, COLOR_BTNSHADOW);
  Line(dc, w - 1, 0, w - 1, h, COLOR_BTNSHADOW);
  Line(dc, 0, h - 1, w, h - 1, COLOR_BTNHIGHLIGHT);
  Line(dc, 0, 0, 0, h, COLOR_BTNHIGHLIGHT);
  int x = kBlockSpacing * sweep_.position;
  RECT block = {x, 2, x + kBlockWidth, h - 2};
  FillRect(dc, &block, GetSysColorBrush(COLOR_HIGHLIGHT));
}

// Drawn at once rather than left to a WM_PAINT: an application loop that
// calls RuntimeBackgroundTask between steps of long work runs this step but
// takes no window messages, and the block must move meanwhile. Paint covers
// the whole pane, so nothing is erased first (no flicker).
void SweepPane::Step() {
  if (!control_) return;
  StepSweep(sweep_, control_->bounds.right - control_->bounds.left);
  if (!hwnd_) return;
  InvalidateRect(hwnd_, nullptr, FALSE);
  UpdateWindow(hwnd_);
}

// --- the bar ------------------------------------------------------------------------------

ProgressPane::~ProgressPane() { StopSweep(); }

bool ProgressPane::Create(HWND parent) {
  // Clipped by its siblings: the sweeping block lies on top of it, and a
  // redraw of the bar (with the status text around it, say) must not cover it.
  if (!Make(parent, PROGRESS_CLASSA, "", WS_CLIPSIBLINGS)) return false;
  ProgressBarObject* b = As<ProgressBarObject>();
  SetMaximum(b->maximum);
  SetValue(b->value);
  return true;
}

void ProgressPane::Close() {
  StopSweep();
  KindPane::Close();
}

void ProgressPane::SetState(int state) {
  KindPane::SetState(state);
  if (sweep_) sweep_->SetState(state);
}

void ProgressPane::SetBounds(const ShortRect& bounds, bool redraw) {
  KindPane::SetBounds(bounds, redraw);
  if (sweep_) sweep_->SetBounds(bounds, redraw);
}

void ProgressPane::SetValue(int32_t value) {
  if (hwnd_) SendMessageA(hwnd_, PBM_SETPOS, static_cast<WPARAM>(value), 0);
}

// A maximum beyond 16 bits takes the 32-bit range message.
void ProgressPane::SetMaximum(int32_t maximum) {
  if (!hwnd_) return;
  if (maximum <= 0) {
    StartSweep();
    return;
  }
  StopSweep();
  if (maximum <= 0xFFFF)
    SendMessageA(hwnd_, PBM_SETRANGE, 0, MAKELPARAM(0, maximum));
  else
    SendMessageA(hwnd_, PBM_SETRANGE32, 0, maximum);
}

void ProgressPane::StartSweep() {
  if (sweep_ || !hwnd_) return;
  auto* sweep = new SweepPane(control_);
  if (!sweep->Create(GetParent(hwnd_))) {
    delete sweep;
    return;
  }
  if (!IsWindowVisible(hwnd_) && !(GetWindowLongA(hwnd_, GWL_STYLE) & WS_VISIBLE))
    sweep->SetState(kPaneHide);
  sweep_ = sweep;
  task_ = AddPeriodicTask(&ProgressPane::RunSweep, this, kSweepInterval);
}

void ProgressPane::StopSweep() {
  if (task_) RemovePeriodicTask(task_);
  task_ = nullptr;
  if (!sweep_) return;
  sweep_->Close();
  delete sweep_;
  sweep_ = nullptr;
}

void ProgressPane::RunSweep(void* pane) {
  auto* self = static_cast<ProgressPane*>(pane);
  if (self->sweep_) self->sweep_->Step();
}

void __cdecl ProgressBarCreatePane(ObjectRecord* control) {
  if (ProgressBarObject* b = Bar(control)) MakeKindPane<ProgressPane>(&b->rect);
}

extern "C" {

int32_t progressValueGetter(ObjectRecord* bar) {
  ProgressBarObject* b = Bar(bar);
  return b ? b->value : 0;
}

void progressValueSetter(ObjectRecord* bar, uint32_t, int32_t value) {
  ProgressBarObject* b = Bar(bar);
  if (!b) return;
  if (ProgressPane* pane = PaneOf(b)) pane->SetValue(value);
  b->value = value;
}

int32_t progressMaximumGetter(ObjectRecord* bar) {
  ProgressBarObject* b = Bar(bar);
  return b ? b->maximum : 0;
}

void progressMaximumSetter(ObjectRecord* bar, uint32_t, int32_t maximum) {
  ProgressBarObject* b = Bar(bar);
  if (!b) return;
  if (ProgressPane* pane = PaneOf(b)) pane->SetMaximum(maximum);
  b->maximum = maximum;
}

}  // extern "C"

// --- the kind's row ---------------------------------------------------------------------

static_assert(LayoutSize("ProgressBar") == sizeof(ProgressBarObject));

namespace {

void __cdecl ProgressBarConstruct(ObjectRecord* o, ClassRecord*) {
  reinterpret_cast<ProgressBarObject*>(o)->maximum = 100;
}

void __cdecl ProgressBarDestruct(ObjectRecord* o, ClassRecord*) {
  auto* b = reinterpret_cast<ProgressBarObject*>(o);
  CloseControlPane(&b->rect);
  ReleaseFontFields(b->font);
}

const PropertyEntry kProgressBarProperties[] = {
    {nullptr, "Value", "Integer", CodeOf(progressValueGetter), CodeOf(progressValueSetter), 0},
    {nullptr, "Maximum", "Integer", CodeOf(progressMaximumGetter), CodeOf(progressMaximumSetter), 0},
    VS_GENERIC_FONT_ROWS(ProgressBarObject),
};

const BuiltInHandler kProgressBarHandlers[] = {{"CreatePane", CodeOf(ProgressBarCreatePane)}};

}  // namespace

const BuiltInBehaviour kProgressBarKind = {
    .name = "ProgressBar", .constructor = ProgressBarConstruct, .destructor = ProgressBarDestruct,
    .properties = kProgressBarProperties, .propertyCount = CountOf(kProgressBarProperties),
    .handlers = kProgressBarHandlers, .handlerCount = CountOf(kProgressBarHandlers)};
