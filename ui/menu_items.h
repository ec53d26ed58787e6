// The MenuItem class (QuitMenuItem derives from it): its events, properties
// and destructor for the built-in class registry.
#pragma once
#include "sdk/class_records.h"

enum MenuItemEvent { kMenuItemAction, kMenuItemEnableMenu, kMenuItemEventCount };
extern EventEntry gMenuItemEvents[kMenuItemEventCount];

extern const PropertyEntry kMenuItemProperties[];
extern const uint32_t kMenuItemPropertyCount;

// Drops the texts the item holds.
void __cdecl MenuItemDestruct(ObjectRecord* item, ClassRecord* cls);
