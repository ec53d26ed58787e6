// The application's menu bar: the Win32 menus built from the stored
// description and the runtime's side of them, one RuntimeMenu per built menu
// holding its MenuItem objects in menu order (a separator is an item too).
// Items carry command identifiers from 1000; the shortcut table maps the
// shortcut texts the items show to those identifiers.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sdk/ui_layouts.h"

struct MenuSlot {
  MenuItemObject* item;  // one reference
  HMENU submenu;         // the item's own menu, or null
  std::string shortcut;  // "Ctrl+K", or empty
};

struct RuntimeMenu {
  HMENU handle = nullptr;
  std::vector<MenuSlot> slots;
};

// Builds the menu bar from a stored menu description (the packed stream);
// true when the image described one, even when it builds no menu.
bool BuildMenuBar(const uint8_t* description, uint32_t length);
// The Win32 menu bar, or null when the image has none.
HMENU MenuBarHandle();
const std::vector<RuntimeMenu*>& RuntimeMenus();
// Drops every menu, item, identifier and shortcut; the Win32 menus are
// destroyed unless a window already did so with itself. Idempotent.
void DestroyMenuBar();

// Every item of every menu, each held by a reference, for walks that run
// handlers (which may close items meanwhile).
std::vector<MenuItemObject*> HeldMenuItems();
void ReleaseMenuItems(std::vector<MenuItemObject*>& items);

// The item with command identifier `id`, borrowed; null for 0 or unknown.
MenuItemObject* MenuItemWithCommand(uint32_t id);
// The identifier registered for a shortcut text (ignoring case), or 0.
uint32_t CommandOfShortcut(std::string_view keyText);

// The item's slot in its menu, or null for a closed item.
MenuSlot* SlotOf(const MenuItemObject* item);
// What the Win32 menu shows for a slot: the text, then a tab and the
// shortcut when there is one.
std::string ShownText(const MenuSlot& slot);
// The item's position among the items of its menu now in the Win32 menu.
int32_t InsertedPosition(const RuntimeMenu* menu, const MenuItemObject* item);
// Puts the item into its Win32 menu at `position` as it was built.
void InsertIntoWin32Menu(RuntimeMenu* menu, const MenuSlot& slot, int32_t position);

// Adds a copy of array element `model` (same class, name and texts) after the
// array's last element, with Index one past the highest; held by the menu.
MenuItemObject* AddArrayElement(MenuItemObject* model);
// Takes the item out of its menu: the Win32 item, its identifier, its
// shortcut and the menu's reference go.
void RemoveMenuItem(MenuItemObject* item);
