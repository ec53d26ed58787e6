// The two lookups over the entry table; see entry_table.h. Linking looks up
// each runtime name the image imports, several hundred of them at every
// start, so it goes through the filled slots sorted by name rather than
// comparing with every slot; plug-ins look names up at run time through a
// hashed index.
#include "startup/entry_table.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "objects/collation.h"
#include "objects/name_map.h"

namespace {

// Letters, digits and underscores: the names on which the runtime's
// collation (a-z folded) finds what lstrcmpiA finds (it may also ignore or
// fold other characters).
bool PlainName(const char* name) {
  for (; *name; ++name) {
    char c = *name;
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'))
      return false;
  }
  return true;
}

// The filled slots in collated name order, equal names in slot order; empty
// when some entry name is not plain (then only the linear walk is exact).
const std::vector<int32_t>& SlotsByName() {
  static const std::vector<int32_t> sorted = [] {
    std::vector<int32_t> slots;
    for (int32_t i = 0; i < kEntrySlotCount; ++i) {
      if (!kEntryTable[i].name) continue;
      if (!PlainName(kEntryTable[i].name)) return std::vector<int32_t>();
      slots.push_back(i);
    }
    std::stable_sort(slots.begin(), slots.end(), [](int32_t x, int32_t y) {
      return CollateCompare(kEntryTable[x].name, kEntryTable[y].name) < 0;
    });
    return slots;
  }();
  return sorted;
}

void* LinearFind(const char* name) {
  for (const EntrySlot& slot : kEntryTable)
    if (slot.name && lstrcmpiA(slot.name, name) == 0) return slot.function;
  return nullptr;
}

}  // namespace

void* FindEntryPoint(const char* name) {
  const std::vector<int32_t>& sorted = SlotsByName();
  if (sorted.empty() || !PlainName(name)) return LinearFind(name);
  auto it = std::lower_bound(sorted.begin(), sorted.end(), name, [](int32_t slot, const char* n) {
    return CollateCompare(kEntryTable[slot].name, n) < 0;
  });
  if (it == sorted.end() || CollateCompare(kEntryTable[*it].name, name) != 0) return nullptr;
  // The first slot of that name, as the walk from slot 0 finds it, unless
  // the user's locale folds case differently (a Turkish i, say).
  if (lstrcmpiA(kEntryTable[*it].name, name) == 0) return kEntryTable[*it].function;
  return LinearFind(name);
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
