// The keyboard focus; see focus.h. A change of focus runs application code
// twice ("LostFocus", then "GotFocus"), and the first handler may itself move
// the focus. Every change therefore bumps a generation count: a change whose
// "LostFocus" handler started another one leaves the outcome to that one.
#include "ui/focus.h"

#include <utility>
#include <vector>

#include "sdk/ui_layouts.h"
#include "ui/pane.h"

namespace {

Pane* gActivePane = nullptr;
WindowObject* gFocusedWindow = nullptr;
uint32_t gGeneration = 0;
bool gFocusChanged = false;
// The pane a change is about to give the focus to; emptied when that pane
// closes meanwhile (a "LostFocus" handler that closes its window).
Pane* gGainingPane = nullptr;

struct WindowFocus {
  WindowObject* window;
  Pane* pane;
};
std::vector<WindowFocus> gWindowPanes;

// Takes the focus from its holder. False when a "LostFocus" handler has
// moved it elsewhere meanwhile: the caller's change is then abandoned.
bool TakeFocusAway() {
  uint32_t generation = ++gGeneration;
  gFocusChanged = true;
  Pane* old = gActivePane;
  gActivePane = nullptr;
  gFocusedWindow = nullptr;
  if (old) old->LoseFocus();
  return generation == gGeneration;
}

}  // namespace

Pane* ActivePane() { return gActivePane; }

Pane* ActivePaneIn(const WindowObject* window) {
  Pane* pane = gActivePane;
  if (!window || !pane || !pane->Control()) return nullptr;
  return pane->Control()->control.window == &window->header ? pane : nullptr;
}
WindowObject* FocusedWindow() { return gFocusedWindow; }

void SetActivePane(Pane* pane) {
  if (!pane) return ClearActivePane();
  if (pane == gActivePane) return;
  gGainingPane = pane;
  bool ours = TakeFocusAway();
  bool open = gGainingPane == pane;
  gGainingPane = nullptr;
  if (!ours || !open) return;
  gActivePane = pane;
  pane->GainFocus();
}

void ClearActivePane() {
  if (!gActivePane && !gFocusedWindow) return;
  Pane* old = gActivePane;
  if (!TakeFocusAway() || !old) return;
  // Keys must stop reaching the old pane: its top-level window takes them.
  HWND handle = old->Handle();
  if (handle && GetFocus() == handle) SetFocus(GetAncestor(handle, GA_ROOT));
}

void SetActiveWindowFocus(WindowObject* window, HWND handle) {
  if (!window) return;
  if (window == gFocusedWindow) return;
  if (!TakeFocusAway()) return;
  gFocusedWindow = window;
  if (handle && GetFocus() != handle) SetFocus(handle);
}

Pane* FocusedPaneOf(const WindowObject* window) {
  for (const WindowFocus& f : gWindowPanes)
    if (f.window == window) return f.pane;
  return nullptr;
}

void SetFocusedPaneOf(WindowObject* window, Pane* pane) {
  if (!window) return;
  std::erase_if(gWindowPanes, [window](const WindowFocus& f) { return f.window == window; });
  if (pane) gWindowPanes.push_back({window, pane});
}

void RestoreWindowFocus(WindowObject* window) {
  Pane* pane = FocusedPaneOf(window);
  if (pane && pane->CanTakeFocus()) SetActivePane(pane);
}

void ReleaseFocusOfWindow(WindowObject* window) {
  Pane* pane = ActivePaneIn(window);
  if (!pane) return;
  SetFocusedPaneOf(window, pane);
  TakeFocusAway();
}

void ReleaseFocusOfPane(Pane* pane) {
  if (pane && pane == gActivePane) ClearActivePane();
}

void ForgetPane(Pane* pane) {
  if (!pane) return;
  if (gActivePane == pane) gActivePane = nullptr;
  if (gGainingPane == pane) gGainingPane = nullptr;
  for (WindowFocus& f : gWindowPanes)
    if (f.pane == pane) f.pane = nullptr;
  std::erase_if(gWindowPanes, [](const WindowFocus& f) { return !f.pane; });
}

void ForgetWindowFocus(WindowObject* window) {
  if (gFocusedWindow == window) gFocusedWindow = nullptr;
  std::erase_if(gWindowPanes, [window](const WindowFocus& f) { return f.window == window; });
}

bool TakeFocusChanged() { return std::exchange(gFocusChanged, false); }
