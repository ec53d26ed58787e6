// The project items of the application image: the objects start-up makes from
// them (pictures, module instances, sounds, cursors and the rest), the menu
// bar and the settings. Item numbers start at 1.
#pragma once
// This module's entry points are declared in the SDK.
#include "sdk/vellory.h"
#include <cstdint>

#include "objects/class_table.h"
#include "sdk/runtime_records.h"

enum ProjectItemType : uint32_t {
  kPictureItem = 1, kMenuBarItem = 2, kMovieItem = 3, kSettingsItem = 4, kModuleItem = 5,
  kSoundItem = 6, kResourceItemA = 7, kResourceItemB = 8, kMouseCursorItem = 9,
  kDatabaseItem = 10
};

// Creates the objects of `count` items, item 1 first, in order; every address
// read must lie in `data`. A module's instance is stored in its slot before
// the next item is made.
void CreateProjectItems(const uint32_t* items, uint32_t count, MemorySpan data);

// Whether the image described a menu bar.
bool ProjectHasMenuBar();

