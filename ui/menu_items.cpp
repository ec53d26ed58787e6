// MenuItem objects as the application sees them: finding items by name,
// cloning and closing array elements, the properties whose effect goes
// beyond the field (Text changes the Win32 menu too). Names are matched
// ignoring case, as the designer treats them.
#include "ui/menu_items.h"

#include <cstddef>

#include "objects/checked_cast.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "sdk/vellory.h"
#include "ui/menu_bar.h"
#include "ui/menu_description.h"
#include "ui/menu_enabling.h"
#include "ui/menu_shortcuts.h"

namespace {

// The object as a MenuItem; null for nil and for an object of any other class.
MenuItemObject* AsItem(ObjectRecord* o) { return As<MenuItemObject>(o); }

// The first item named `name` with Index `index`, borrowed.
MenuItemObject* FindItem(StringRecord* name, int32_t index) {
  for (RuntimeMenu* menu : RuntimeMenus())
    for (const MenuSlot& slot : menu->slots)
      if (slot.item->index == index && SameTextIgnoringCase(StringView(slot.item->name), StringView(name)))
        return slot.item;
  return nullptr;
}

ObjectRecord* Referenced(MenuItemObject* item) {
  if (!item) return nullptr;
  RuntimeLockObject(&item->header);
  return &item->header;
}

// The element of array `name` that clones are made from: its last one.
MenuItemObject* LastArrayElement(StringRecord* name) {
  MenuItemObject* last = nullptr;
  for (RuntimeMenu* menu : RuntimeMenus())
    for (const MenuSlot& slot : menu->slots)
      if (slot.item->index != kNotAnArrayElement &&
          SameTextIgnoringCase(StringView(slot.item->name), StringView(name)))
        last = slot.item;
  return last;
}

void ChangeShownText(MenuItemObject* item) {
  MenuSlot* slot = SlotOf(item);
  if (!slot || !item->inserted || StringView(item->text) == "-") return;
  std::string shown = ShownText(*slot);
  UINT at = static_cast<UINT>(InsertedPosition(item->menu, item));
  UINT flags = MF_BYPOSITION | (slot->submenu ? MF_POPUP : MF_STRING);
  UINT_PTR id = slot->submenu ? reinterpret_cast<UINT_PTR>(slot->submenu) : item->commandId;
  ModifyMenuA(item->menu->handle, at, flags, id, shown.c_str());
  // ModifyMenu leaves the item enabled and unchecked; the next apply restores both.
  EnableMenuItem(item->menu->handle, at, MF_BYPOSITION | (item->enabledShown ? MF_ENABLED : MF_GRAYED));
  CheckMenuItem(item->menu->handle, at, MF_BYPOSITION | (item->checkedShown ? MF_CHECKED : MF_UNCHECKED));
}

constexpr uint32_t Field(size_t offset) { return static_cast<uint32_t>(offset); }

}  // namespace

EventEntry gMenuItemEvents[kMenuItemEventCount] = {
    {0, "Action", "", "Boolean", 0, nullptr},
    {0, "EnableMenu", "", "", 0, nullptr},
};

void __cdecl MenuItemDestruct(ObjectRecord* object, ClassRecord*) {
  auto* item = reinterpret_cast<MenuItemObject*>(object);
  for (StringRecord** s : {&item->name, &item->text, &item->balloonHelp, &item->disabledBalloonHelp,
                           &item->tag, &item->commandKey}) {
    RuntimeUnlockString(*s);
    *s = nullptr;
  }
}

extern "C" {

ObjectRecord* RuntimeMenuReference(StringRecord* name) {
  return Referenced(FindItem(name, kNotAnArrayElement));
}

ObjectRecord* RuntimeMenuArrayReference(StringRecord* name, int32_t index) {
  if (index == kNotAnArrayElement) return nullptr;
  return Referenced(FindItem(name, index));
}

ObjectRecord* RuntimeCloneMenu(StringRecord* name) {
  return Referenced(AddArrayElement(LastArrayElement(name)));
}

void RuntimeCloseMenuItem(ObjectRecord* item) {
  if (MenuItemObject* i = AsItem(item)) RemoveMenuItem(i);
}

void RuntimeEnableMenu(ObjectRecord* item) {
  if (MenuItemObject* i = AsItem(item)) i->enabled = 1;
}

StringRecord* menuItemTextGetter(ObjectRecord* item) {
  MenuItemObject* i = AsItem(item);
  if (!i) return nullptr;
  RuntimeLockString(i->text);
  return i->text;
}

void menuItemTextSetter(ObjectRecord* item, uint32_t, StringRecord* text) {
  MenuItemObject* i = AsItem(item);
  if (!i) return;
  stringSetter(item, offsetof(MenuItemObject, text), text);
  ChangeShownText(i);
}

void menuItemCommandKeySetter(ObjectRecord* item, uint32_t, StringRecord* key) {
  if (AsItem(item)) stringSetter(item, offsetof(MenuItemObject, commandKey), key);
}

void enableMenuItems() { RunEnablingCycle(); }

}  // extern "C"

const PropertyEntry kMenuItemProperties[] = {
    {"", "Name", "String", CodeOf(stringGetter), CodeOf(stringSetter), Field(offsetof(MenuItemObject, name))},
    {"", "Index", "Integer", CodeOf(intFieldGetter), nullptr, Field(offsetof(MenuItemObject, index))},
    {"", "Tag", "String", CodeOf(stringGetter), CodeOf(stringSetter), Field(offsetof(MenuItemObject, tag))},
    {"", "BalloonHelp", "String", CodeOf(stringGetter), CodeOf(stringSetter),
     Field(offsetof(MenuItemObject, balloonHelp))},
    {"", "DisabledBalloonHelp", "String", CodeOf(stringGetter), CodeOf(stringSetter),
     Field(offsetof(MenuItemObject, disabledBalloonHelp))},
    {"", "Text", "String", CodeOf(menuItemTextGetter), CodeOf(menuItemTextSetter), 0},
    {"", "Checked", "Boolean", CodeOf(byteFieldGetter), CodeOf(byteFieldSetter),
     Field(offsetof(MenuItemObject, checked))},
    {"", "Enabled", "Boolean", CodeOf(byteFieldGetter), CodeOf(byteFieldSetter),
     Field(offsetof(MenuItemObject, enabled))},
    {"", "Visible", "Boolean", CodeOf(byteFieldGetter), CodeOf(byteFieldSetter),
     Field(offsetof(MenuItemObject, visible))},
    {"", "CommandKey", "String", CodeOf(stringGetter), CodeOf(menuItemCommandKeySetter),
     Field(offsetof(MenuItemObject, commandKey))},
};
const uint32_t kMenuItemPropertyCount = sizeof kMenuItemProperties / sizeof kMenuItemProperties[0];
