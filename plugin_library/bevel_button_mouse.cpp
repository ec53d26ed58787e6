// The BevelButton under the mouse: a push that follows the pointer in and
// out of the bounds, or a pop-up menu of its rows, then "Action" and the
// action receivers.
#include "plugin_library/bevel_button.h"
#include "plugin_library/gdi_kit.h"
#include "plugin_library/runtime_services.h"

namespace {

constexpr UINT kFirstRowCommand = 1000;

// One item per row, ids from 1000 in row order, the MenuValue row checked.
HMENU BuildRowMenu(const BevelButtonData& d) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return nullptr;
  UINT id = kFirstRowCommand;
  for (const MenuRow* row = d.rows; row; row = row->next, ++id) {
    if (row->separator) {
      AppendMenuA(menu, MF_SEPARATOR, id, nullptr);
      continue;
    }
    UINT checked = id == kFirstRowCommand + d.menuValue ? MF_CHECKED : MF_UNCHECKED;
    AppendMenuA(menu, MF_STRING | checked, id, StringText(row->text));
  }
  return menu;
}

// Shows the rows below or beside the button; the chosen command or 0.
UINT TrackRowMenu(PlugInstance instance, const BevelButtonData& d) {
  HWND hwnd = ControlHwnd(instance);
  HMENU menu = BuildRowMenu(d);
  if (!menu) return 0;
  RECT b = ControlBounds(instance);
  POINT at = d.hasMenu == 2 ? POINT{b.right, b.top} : POINT{b.left, b.bottom};
  UINT command = 0;
  if (hwnd && ClientToScreen(hwnd, &at))
    command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, hwnd, nullptr);
  DestroyMenu(menu);
  return command;
}

// PerformAction of every receiver, front of the list first.
void NotifyReceivers(const BevelButtonData& d) {
  for (ReceiverNode* node = d.receivers; node;) {
    ReceiverNode* next = node->next;  // the receiver may remove itself
    void* routine = InterfaceRoutine(node->receiver, "actionNotificationReceiver", "PerformAction");
    if (routine) reinterpret_cast<PerformActionRoutine>(routine)(node->receiver);
    node = next;
  }
}

// Whether a window point lies within the button.
bool Inside(PlugInstance instance, int x, int y) {
  return PlugContains(ToPlugRect(ControlBounds(instance)), x, y);
}

}  // namespace

int __cdecl BevelMouseDown(PlugInstance instance, int, int, int) {
  if (!ControlEnabled(instance)) return 1;
  BevelButtonData* d = BevelData(instance);
  d->pressed = 1;
  RedrawBevelButton(instance);
  if (!d->hasMenu) return 1;
  UINT command = TrackRowMenu(instance, *d);
  d->pressed = 0;
  RedrawBevelButton(instance);
  if (command < kFirstRowCommand) return 0;
  d->menuValue = static_cast<int16_t>(command - kFirstRowCommand);
  RaiseEvent(instance, BevelActionEvent());
  return 0;
}

void __cdecl BevelMouseDrag(PlugInstance instance, int x, int y) {
  BevelButtonData* d = BevelData(instance);
  if (d->hasMenu || !ControlEnabled(instance)) return;
  bool inside = Inside(instance, x, y);
  if (d->pressed == inside) return;
  d->pressed = inside;
  RedrawBevelButton(instance);
}

void __cdecl BevelMouseUp(PlugInstance instance, int x, int y) {
  if (!ControlEnabled(instance)) return;
  BevelButtonData* d = BevelData(instance);
  if (d->hasMenu) {
    d->pressed = 0;
    RedrawBevelButton(instance);
  }
  if (!d->pressed) return;
  d->pressed = 0;
  // A release outside counts as a cancel even when no drag reported the
  // pointer leaving first.
  if (!Inside(instance, x, y)) {
    RedrawBevelButton(instance);
    return;
  }
  if (d->buttonType == 1) d->value = !d->value;
  if (d->buttonType == 2) d->value = 1;
  RedrawBevelButton(instance);
  // An "Action" handler may close the window: the receivers are read from
  // an instance still held.
  LockObject(instance);
  RaiseEvent(instance, BevelActionEvent());
  NotifyReceivers(*d);
  UnlockObject(instance);
}
