// The enabling cycle; see menu_enabling.h. Enabled is a request that lasts
// one cycle: an item is enabled exactly when some handler enabled it in the
// current one, so stale enabling left by earlier code cannot survive the
// opening of a menu.
#include "ui/menu_enabling.h"

#include <windows.h>

#include "objects/builtin_classes.h"
#include "objects/classes.h"
#include "objects/events.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "ui/class_events.h"
#include "ui/focus.h"
#include "ui/front_window.h"
#include "ui/menu_bar.h"
#include "ui/menu_items.h"
#include "ui/menu_shortcuts.h"
#include "ui/pane.h"

namespace {

// Quitting is always possible unless a handler says otherwise: applications
// do not enable their quit item themselves.
bool IsQuitItem(const MenuItemObject* item) {
  ClassRecord* quit = FindBuiltInClass("QuitMenuItem");
  return quit && ClassIsa(item->header.cls, quit);
}

// The active pane enables items by name.
void EnableItemsNamed(const char* itemName) {
  for (RuntimeMenu* menu : RuntimeMenus())
    for (const MenuSlot& slot : menu->slots)
      if (SameTextIgnoringCase(StringView(slot.item->name), itemName)) slot.item->enabled = 1;
}

void RaiseOnFrontWindow() {
  WindowObject* w = FrontApplicationWindow();
  if (!w) return;
  RuntimeLockObject(&w->header);
  RaiseEvent(&w->header, gWindowEvents[kWindowEnableMenuItems]);
  RuntimeUnlockObject(&w->header);
}

void RaiseOnApplication() {
  ObjectRecord* app = getAppObject();
  RaiseEvent(app, gApplicationEvents[kAppEnableMenuItems]);
  RuntimeUnlockObject(app);
}

// Pass one: a Visible item not in the Win32 menu goes in at its running
// position, an invisible one comes out. RemoveMenu keeps a submenu's own
// Win32 menu alive for when its item comes back.
void ApplyPresence(RuntimeMenu* menu) {
  int32_t position = 0;
  for (const MenuSlot& slot : menu->slots) {
    MenuItemObject* item = slot.item;
    if (item->visible && !item->inserted) InsertIntoWin32Menu(menu, slot, position);
    if (!item->visible && item->inserted) {
      RemoveMenu(menu->handle, static_cast<UINT>(position), MF_BYPOSITION);
      item->inserted = 0;
    }
    item->position = position;
    if (item->visible) ++position;
  }
}

// Passes two and three. Items outside the Win32 menu keep their shown state
// until they are inserted again.
void ApplyEnabling(RuntimeMenu* menu) {
  for (const MenuSlot& slot : menu->slots) {
    MenuItemObject* item = slot.item;
    if (!item->inserted || (item->enabled != 0) == (item->enabledShown != 0)) continue;
    EnableMenuItem(menu->handle, static_cast<UINT>(item->position),
                   MF_BYPOSITION | (item->enabled ? MF_ENABLED : MF_GRAYED));
    item->enabledShown = item->enabled ? 1 : 0;
  }
}

void ApplyChecking(RuntimeMenu* menu) {
  for (const MenuSlot& slot : menu->slots) {
    MenuItemObject* item = slot.item;
    if (!item->inserted || (item->checked != 0) == (item->checkedShown != 0)) continue;
    CheckMenuItem(menu->handle, static_cast<UINT>(item->position),
                  MF_BYPOSITION | (item->checked ? MF_CHECKED : MF_UNCHECKED));
    item->checkedShown = item->checked ? 1 : 0;
  }
}

}  // namespace

void ApplyMenuStates() {
  for (RuntimeMenu* menu : RuntimeMenus()) {
    ApplyPresence(menu);
    ApplyEnabling(menu);
    ApplyChecking(menu);
  }
}

void RunEnablingCycle() {
  if (!MenuBarHandle()) return;
  std::vector<MenuItemObject*> items = HeldMenuItems();
  for (MenuItemObject* item : items) item->enabled = IsQuitItem(item) ? 1 : 0;
  for (MenuItemObject* item : items) RaiseEvent(&item->header, gMenuItemEvents[kMenuItemEnableMenu]);
  ReleaseMenuItems(items);
  if (Pane* pane = ActivePaneOfFrontWindow()) pane->EnableMenuItems(EnableItemsNamed);
  RaiseOnFrontWindow();
  RaiseOnApplication();
  ApplyMenuStates();
}
