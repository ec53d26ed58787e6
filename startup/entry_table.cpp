// The two lookups over the entry table; see entry_table.h. Linking walks the
// table linearly, as the image's import records are few; plug-ins look names
// up at run time, so they get a hashed index.
#include "startup/entry_table.h"

#include <windows.h>

#include "objects/name_map.h"

void* FindEntryPoint(const char* name) {
  for (const EntrySlot& slot : kEntryTable)
    if (slot.name && lstrcmpiA(slot.name, name) == 0) return slot.function;
  return nullptr;
}

namespace {

const NameMap& EntryIndex() {
  static NameMap* index = [] {
    auto* map = new NameMap;
    for (int32_t i = 0; i < kEntrySlotCount; ++i)
      if (kEntryTable[i].name) map->Insert(kEntryTable[i].name, static_cast<uint32_t>(i) + 1);
    return map;
  }();
  return *index;
}

}  // namespace

extern "C" void* __cdecl PluginLookupEntryPoint(const char* name) {
  if (!name) return nullptr;
  uint32_t slot = EntryIndex().Find(name);
  return slot ? kEntryTable[slot - 1].function : nullptr;
}
