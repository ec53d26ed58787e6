// Entry points of the runtime's menus, as application code and plug-ins
// call them; included by sdk/vellory.h. Items are MenuItem objects; names
// are compared ignoring case.
#pragma once
#include <stdint.h>

#include "sdk/runtime_records.h"

extern "C" {

// The item named `name` that is no array element, with a reference for the
// caller; nil when there is none.
ObjectRecord* RuntimeMenuReference(StringRecord* name);
// The element `index` of the menu item array `name`, with a reference; nil
// when there is none.
ObjectRecord* RuntimeMenuArrayReference(StringRecord* name, int32_t index);
// A new element of the menu item array `name`, after its last element, with a
// reference; nil when there is no such array.
ObjectRecord* RuntimeCloneMenu(StringRecord* name);
// Takes the item out of its menu for good (its shortcut goes with it).
void RuntimeCloseMenuItem(ObjectRecord* item);
// For enabling handlers: the item is enabled in the current cycle.
void RuntimeEnableMenu(ObjectRecord* item);
// Text: the caller owns the result; the setter also changes the shown text.
StringRecord* menuItemTextGetter(ObjectRecord* item);
void menuItemTextSetter(ObjectRecord* item, uint32_t param, StringRecord* text);
// Stores the command key; the shortcut made when the item was built stays.
void menuItemCommandKeySetter(ObjectRecord* item, uint32_t param, StringRecord* key);
// Runs the enabling cycle now (as opening the menu does).
void enableMenuItems();

}  // extern "C"
