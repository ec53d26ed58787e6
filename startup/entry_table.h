// The runtime entry table: the named entry points through which compiled
// application code (linked by name at load time) and plug-ins (through the
// lookup routine) reach the runtime. Its contents are generated from
// startup/entry_points.txt.
#pragma once
#include <cstdint>

struct EntrySlot {
  const char* name;  // null for an empty slot
  void* function;
  uint32_t reserved[2];
};
static_assert(sizeof(EntrySlot) == 8 + 2 * sizeof(uint32_t) || sizeof(void*) == 8);

inline constexpr int32_t kEntrySlotCount = 1098;
extern const EntrySlot kEntryTable[kEntrySlotCount];
extern const int32_t kEntriesFilled;

// Link-time lookup: the first slot whose name equals `name` ignoring case
// (lstrcmpiA), searched from slot 0; null when none does.
void* FindEntryPoint(const char* name);

extern "C" {
// The lookup routine handed to plug-ins: the same answer through a NameMap
// built from the filled slots on the first call.
void* __cdecl PluginLookupEntryPoint(const char* name);
}
