// The FolderItem class: one Windows path, and answers about it asked of the
// file system each time.
#pragma once
#include <string>

#include "sdk/class_records.h"

void __cdecl FolderItemDestruct(ObjectRecord* item, ClassRecord* cls);

// A new FolderItem for `path` (one reference for the caller).
ObjectRecord* NewFolderItem(const std::string& path);
// The item's path; the program's folder for an item made without one. ""
// for nil and for an object that is no FolderItem, which the entry points
// then treat alike.
std::string PathOf(ObjectRecord* item);

extern const PropertyEntry kFolderItemProperties[];
extern const uint32_t kFolderItemPropertyCount;
