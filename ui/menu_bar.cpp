// The menu bar; see menu_bar.h. Items are made only from classes that derive
// from MenuItem: the fields written here would otherwise land in an object
// too small or shaped differently. A removed item keeps its object alive for
// whoever still holds it, but loses its identifier and shortcut at once, so a
// later key press or stale WM_COMMAND cannot reach it.
#include "ui/menu_bar.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "objects/class_table.h"
#include "objects/classes.h"
#include "objects/builtin_classes.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "ui/menu_description.h"
#include "ui/menu_shortcuts.h"
#include "ui/native_window.h"

namespace {

constexpr uint32_t kFirstCommand = 1000;
constexpr size_t kCommandSlots = 1024;

HMENU gBar = nullptr;
std::vector<RuntimeMenu*> gMenus;
std::array<bool, kCommandSlots> gTakenCommands{};
std::vector<std::pair<uint32_t, std::string>> gShortcuts;

uint32_t TakeCommandId() {
  for (size_t s = 0; s < kCommandSlots; ++s) {
    if (gTakenCommands[s]) continue;
    gTakenCommands[s] = true;
    return kFirstCommand + static_cast<uint32_t>(s);
  }
  return 0;
}

void ReleaseCommandId(uint32_t id) {
  if (id < kFirstCommand || id >= kFirstCommand + kCommandSlots) return;
  gTakenCommands[id - kFirstCommand] = false;
  std::erase_if(gShortcuts, [id](const auto& s) { return s.first == id; });
}

void SetText(MenuItemObject* item, uint32_t offset, std::string_view text) {
  StringRef s = StringRef::Adopt(NewString(text));
  stringSetter(&item->header, offset, s.get());
}

bool IsMenuItemClass(int32_t classIndex) {
  ClassRecord* cls = ClassAt(classIndex);
  return cls && ClassIsa(cls, FindBuiltInClass("MenuItem"));
}

// A new item with the description's texts, enabled, visible and (about to
// be) in the Win32 menu at the end of `menu`.
MenuItemObject* NewItem(const MenuEntryDescription& e, RuntimeMenu* menu) {
  if (!IsMenuItemClass(e.classIndex)) return nullptr;
  auto* item = reinterpret_cast<MenuItemObject*>(RuntimeNewObject(e.classIndex));
  if (!item) return nullptr;
  SetText(item, offsetof(MenuItemObject, name), e.name);
  SetText(item, offsetof(MenuItemObject, text), e.text);
  SetText(item, offsetof(MenuItemObject, balloonHelp), e.help);
  SetText(item, offsetof(MenuItemObject, disabledBalloonHelp), e.disabledHelp);
  SetText(item, offsetof(MenuItemObject, commandKey), e.commandKey);
  item->index = e.index;
  item->enabled = item->enabledShown = 1;
  item->visible = item->inserted = 1;
  item->menu = menu;
  item->position = static_cast<int32_t>(menu->slots.size());
  item->commandId = TakeCommandId();
  return item;
}

bool IsSeparator(const MenuItemObject* item) { return StringView(item->text) == "-"; }

void AppendToWin32Menu(RuntimeMenu* menu, const MenuSlot& slot) {
  MenuItemObject* item = slot.item;
  std::string shown = ShownText(slot);
  if (IsSeparator(item)) {
    AppendMenuA(menu->handle, MF_SEPARATOR, 0, nullptr);
  } else if (slot.submenu) {
    AppendMenuA(menu->handle, MF_POPUP, reinterpret_cast<UINT_PTR>(slot.submenu), shown.c_str());
  } else {
    AppendMenuA(menu->handle, MF_STRING, item->commandId, shown.c_str());
  }
}

void AddItem(RuntimeMenu* menu, const MenuEntryDescription& e, HMENU submenu) {
  MenuItemObject* item = NewItem(e, menu);
  if (!item) return;
  MenuSlot slot{item, submenu, IsSeparator(item) ? std::string() : ShortcutOfCommandKey(e.commandKey)};
  // A submenu's title shows its shortcut but cannot be chosen by it.
  if (!submenu && !slot.shortcut.empty() && item->commandId)
    gShortcuts.emplace_back(item->commandId, slot.shortcut);
  AppendToWin32Menu(menu, slot);
  menu->slots.push_back(slot);
}

RuntimeMenu* NewMenu() {
  auto* menu = new RuntimeMenu;
  menu->handle = CreatePopupMenu();
  gMenus.push_back(menu);
  return menu;
}

void BuildLevel(RuntimeMenu* menu, const std::vector<MenuEntryDescription>& entries);

HMENU BuildSubmenu(const std::vector<MenuEntryDescription>& entries) {
  RuntimeMenu* menu = NewMenu();
  BuildLevel(menu, entries);
  return menu->handle;
}

// Entries of kind 2 are empty slots: neither they nor their submenus exist.
void BuildLevel(RuntimeMenu* menu, const std::vector<MenuEntryDescription>& entries) {
  for (const MenuEntryDescription& e : entries) {
    if (e.kind == 2) continue;
    HMENU submenu = e.hasSubmenu ? BuildSubmenu(e.items) : nullptr;
    AddItem(menu, e, submenu);
  }
}

// The application menu (kind 1) belongs to another platform's menu bar.
void BuildTopLevel(const std::vector<MenuEntryDescription>& menus) {
  for (const MenuEntryDescription& e : menus) {
    if (e.kind != 0) continue;
    RuntimeMenu* menu = NewMenu();
    BuildLevel(menu, e.items);
    AppendMenuA(gBar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu->handle), e.text.c_str());
  }
}

void DetachFromMainWindow() {
  HWND main = NativeWindowHandle(MainNativeWindow());
  if (main && GetMenu(main) == gBar) SetMenu(main, nullptr);
}

}  // namespace

bool BuildMenuBar(const uint8_t* description, uint32_t length) {
  if (!description) return false;
  DestroyMenuBar();
  std::vector<MenuEntryDescription> menus;
  if (!ReadMenuBarDescription(description, length, menus)) return true;
  gBar = CreateMenu();
  BuildTopLevel(menus);
  return true;
}

HMENU MenuBarHandle() { return gBar; }
const std::vector<RuntimeMenu*>& RuntimeMenus() { return gMenus; }

void DestroyMenuBar() {
  std::vector<RuntimeMenu*> menus;
  menus.swap(gMenus);
  for (RuntimeMenu* menu : menus)
    for (MenuSlot& slot : menu->slots) {
      slot.item->menu = nullptr;
      RuntimeUnlockObject(&slot.item->header);
    }
  if (gBar) {
    DetachFromMainWindow();
    if (IsMenu(gBar)) DestroyMenu(gBar);
  }
  for (RuntimeMenu* menu : menus) {
    if (IsMenu(menu->handle)) DestroyMenu(menu->handle);
    delete menu;
  }
  gBar = nullptr;
  gTakenCommands.fill(false);
  gShortcuts.clear();
}

std::vector<MenuItemObject*> HeldMenuItems() {
  std::vector<MenuItemObject*> out;
  for (RuntimeMenu* menu : gMenus)
    for (const MenuSlot& slot : menu->slots) {
      RuntimeLockObject(&slot.item->header);
      out.push_back(slot.item);
    }
  return out;
}

void ReleaseMenuItems(std::vector<MenuItemObject*>& items) {
  for (MenuItemObject* item : items) RuntimeUnlockObject(&item->header);
  items.clear();
}

MenuItemObject* MenuItemWithCommand(uint32_t id) {
  if (id == 0) return nullptr;
  for (RuntimeMenu* menu : gMenus)
    for (const MenuSlot& slot : menu->slots)
      if (slot.item->commandId == id) return slot.item;
  return nullptr;
}

uint32_t CommandOfShortcut(std::string_view keyText) {
  for (const auto& [id, text] : gShortcuts)
    if (SameTextIgnoringCase(text, keyText)) return id;
  return 0;
}

MenuSlot* SlotOf(const MenuItemObject* item) {
  RuntimeMenu* menu = item ? item->menu : nullptr;
  if (!menu) return nullptr;
  for (MenuSlot& slot : menu->slots)
    if (slot.item == item) return &slot;
  return nullptr;
}

std::string ShownText(const MenuSlot& slot) {
  std::string text(StringView(slot.item->text));
  if (slot.shortcut.empty()) return text;
  return text + "\t" + slot.shortcut;
}

int32_t InsertedPosition(const RuntimeMenu* menu, const MenuItemObject* item) {
  int32_t position = 0;
  for (const MenuSlot& slot : menu->slots) {
    if (slot.item == item) return position;
    if (slot.item->inserted) ++position;
  }
  return position;
}

void InsertIntoWin32Menu(RuntimeMenu* menu, const MenuSlot& slot, int32_t position) {
  MenuItemObject* item = slot.item;
  std::string shown = ShownText(slot);
  UINT at = static_cast<UINT>(position);
  if (IsSeparator(item))
    InsertMenuA(menu->handle, at, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
  else if (slot.submenu)
    InsertMenuA(menu->handle, at, MF_BYPOSITION | MF_POPUP,
                reinterpret_cast<UINT_PTR>(slot.submenu), shown.c_str());
  else
    InsertMenuA(menu->handle, at, MF_BYPOSITION | MF_STRING, item->commandId, shown.c_str());
  // A freshly inserted Win32 item is enabled and unchecked.
  item->inserted = 1;
  item->enabledShown = 1;
  item->checkedShown = 0;
}

MenuItemObject* AddArrayElement(MenuItemObject* model) {
  RuntimeMenu* menu = model ? model->menu : nullptr;
  if (!menu) return nullptr;
  size_t after = 0;
  int32_t highest = -1;
  for (size_t i = 0; i < menu->slots.size(); ++i) {
    const MenuItemObject* o = menu->slots[i].item;
    if (o->index == kNotAnArrayElement || !SameTextIgnoringCase(StringView(o->name), StringView(model->name)))
      continue;
    after = i + 1;
    highest = std::max(highest, o->index);
  }
  auto* item = reinterpret_cast<MenuItemObject*>(NewObjectOfClass(model->header.cls));
  if (!item) return nullptr;
  stringSetter(&item->header, offsetof(MenuItemObject, name), model->name);
  stringSetter(&item->header, offsetof(MenuItemObject, text), model->text);
  stringSetter(&item->header, offsetof(MenuItemObject, balloonHelp), model->balloonHelp);
  stringSetter(&item->header, offsetof(MenuItemObject, disabledBalloonHelp), model->disabledBalloonHelp);
  stringSetter(&item->header, offsetof(MenuItemObject, commandKey), model->commandKey);
  item->index = highest + 1;
  item->enabled = item->visible = 1;
  item->menu = menu;
  item->commandId = TakeCommandId();
  MenuSlot slot{item, nullptr, std::string()};
  menu->slots.insert(menu->slots.begin() + static_cast<std::ptrdiff_t>(after), slot);
  int32_t position = InsertedPosition(menu, item);
  item->position = position;
  InsertIntoWin32Menu(menu, slot, position);
  return item;
}

void RemoveMenuItem(MenuItemObject* item) {
  MenuSlot* slot = SlotOf(item);
  if (!slot) return;
  RuntimeMenu* menu = item->menu;
  if (item->inserted) {
    UINT at = static_cast<UINT>(InsertedPosition(menu, item));
    // RemoveMenu leaves a submenu's own Win32 menu alive for its runtime menu.
    RemoveMenu(menu->handle, at, MF_BYPOSITION);
  }
  ReleaseCommandId(item->commandId);
  item->commandId = 0;
  item->inserted = 0;
  item->menu = nullptr;
  menu->slots.erase(menu->slots.begin() + (slot - menu->slots.data()));
  RuntimeUnlockObject(&item->header);
}
