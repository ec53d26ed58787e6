// Keyboard handling of a window; see window_keys.h. Shortcuts come first, so
// that a menu command works whichever pane has the focus. Windows delivers
// F10 and Alt combinations as system key presses, so those are looked up as
// shortcuts too (or a command key such as "F10" could never be pressed), and
// left to the system when they are none. Buttons are pushed
// only while they are enabled and visible, as a click could reach them; a
// Default button that is greyed out must not act on Return. While a modal
// window is up the menu bar is out of reach, and so are its shortcuts; an
// open drop-down list keeps Escape and Return, which close the list.
#include "ui/window_keys.h"

#include <commctrl.h>

#include <vector>

#include "objects/objects.h"
#include "sdk/ui_layouts.h"
#include "ui/control_dictionary.h"
#include "ui/controls.h"
#include "ui/focus.h"
#include "ui/menu_bar.h"
#include "ui/menu_dispatch.h"
#include "ui/menu_enabling.h"
#include "ui/menu_shortcuts.h"
#include "ui/native_window.h"
#include "ui/pane.h"

namespace {

bool Down(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

KeyModifiers HeldModifiers() {
  return {Down(VK_CONTROL), Down(VK_SHIFT), Down(VK_LMENU) || Down(VK_RMENU)};
}

// The character the keyboard layout gives a punctuation key, or 0.
char LayoutCharacter(UINT virtualKey) {
  UINT mapped = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_CHAR) & 0x7FFFFFFF;
  return (mapped >= 0x20 && mapped < 0x7F) ? static_cast<char>(mapped) : 0;
}

// The application window the message's HWND belongs to, or null. Owners do
// not count: a dialog box that a window owns keeps its own keys.
WindowObject* RuntimeWindowOf(HWND hwnd) {
  for (HWND h = hwnd; h; h = GetAncestor(h, GA_PARENT))
    if (NativeWindow* n = NativeWindowFromHandle(h)) return n->window;
  return nullptr;
}

// The window's panes, in control order.
std::vector<Pane*> PanesOf(const WindowObject* w) {
  std::vector<Pane*> out;
  for (int32_t i = 0; i < ControlCount(w->controls); ++i) {
    ObjectRecord* c = ControlAt(w->controls, i);
    if (!IsRectControl(c)) continue;
    if (Pane* pane = reinterpret_cast<RectControlObject*>(c)->pane) out.push_back(pane);
  }
  return out;
}

bool Pushable(Pane* pane) {
  RectControlObject* rc = pane->Control();
  return rc && rc->enabled && rc->visible;
}

bool PushFirst(const WindowObject* w, bool (Pane::*isWanted)() const) {
  for (Pane* pane : PanesOf(w)) {
    if (!(pane->*isWanted)() || !Pushable(pane)) continue;
    pane->Push();
    return true;
  }
  return false;
}

// Tab moves forward, Shift+Tab back, wrapping; with no focused pane in the
// window, the first (or last) that can take the focus.
void CycleFocus(WindowObject* w, bool backwards) {
  std::vector<Pane*> panes;
  for (Pane* pane : PanesOf(w))
    if (pane->CanTakeFocus()) panes.push_back(pane);
  if (panes.empty()) return;
  Pane* current = ActivePaneIn(w);
  size_t n = panes.size(), at = backwards ? 0 : n - 1;
  for (size_t i = 0; i < n; ++i)
    if (panes[i] == current) at = i;
  Pane* next = panes[(at + (backwards ? n - 1 : 1)) % n];
  SetFocusedPaneOf(w, next);
  SetActivePane(next);
}

// A shortcut chooses its item only when the item is enabled now, as a click
// in the open menu would: the enabling cycle runs first, as opening the menu
// runs it. The key is consumed either way.
bool HandleShortcut(UINT vk, const KeyModifiers& held) {
  uint32_t command = CommandOfShortcut(KeyText(held, vk, LayoutCharacter(vk)));
  if (!command) return false;
  RunEnablingCycle();
  MenuItemObject* item = MenuItemWithCommand(command);
  if (item && item->enabled) DispatchMenuCommand(command);
  return true;
}

// The combo box of the focused control (the control itself, or the parent
// of the edit box a drop-down combo has), when its list is open.
bool DropDownListOpen(HWND focus) {
  for (HWND h = focus; h; h = GetParent(h)) {
    char name[16];
    if (!GetClassNameA(h, name, sizeof name)) return false;
    if (lstrcmpiA(name, WC_COMBOBOXA) == 0) return SendMessageA(h, CB_GETDROPPEDSTATE, 0, 0) != 0;
    if (h != focus) return false;
  }
  return false;
}

bool HandleInWindow(WindowObject* w, const MSG& message) {
  UINT vk = static_cast<UINT>(message.wParam);
  KeyModifiers held = HeldModifiers();
  if (!VisibleModalWindow() && HandleShortcut(vk, held)) return true;
  if ((vk == VK_RETURN || vk == VK_ESCAPE) && DropDownListOpen(message.hwnd)) return false;
  // F10 and Alt combinations: a shortcut, or the system's menu-bar access.
  if (message.message == WM_SYSKEYDOWN) return false;
  Pane* focused = ActivePaneIn(w);
  if (focused && focused->KeyDown(message)) return true;
  if (vk == VK_TAB && !held.control) {
    CycleFocus(w, held.shift);
    return true;
  }
  if (vk == VK_RETURN && !(focused && focused->TakesReturn()))
    return PushFirst(w, &Pane::IsDefaultButton);
  if (vk == VK_ESCAPE) return PushFirst(w, &Pane::IsCancelButton);
  return false;
}

}  // namespace

bool HandleWindowKey(const MSG& message) {
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
  WindowObject* w = RuntimeWindowOf(message.hwnd);
  if (!w) return false;
  RuntimeLockObject(&w->header);
  bool consumed = HandleInWindow(w, message);
  RuntimeUnlockObject(&w->header);
  return consumed;
}
