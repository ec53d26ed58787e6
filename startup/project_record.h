// Reading the project record and its items as the image stores them, before
// anything is made from them. Pure and checked against the data block: a
// record or item that leaves it, is cut short or is of no known type is
// refused whole. Addresses are kept as the 32-bit words the image stores,
// so the reader runs (and is fuzzed) on the host as in the program.
#pragma once
#include <cstdint>

#include "objects/memory_span.h"

// The project record: a class count and that many descriptor addresses (the
// class list starts at the record), then an item count and the items'
// addresses (0 for an empty item).
struct ProjectLists {
  uint32_t classCount = 0;
  uint32_t items = 0;  // the address of the first item's address
  uint32_t itemCount = 0;
};
bool ReadProjectLists(uint32_t record, MemorySpan data, ProjectLists& out);

// One project item; which fields it has depends on its type (project_items.h).
struct ProjectItem {
  uint32_t type = 0;
  // The stored value (picture, movie, sound, resources); the archive index
  // (cursor); the class index (module); the name's length (database).
  uint32_t value = 0;
  uint32_t slot = 0;  // module: where its instance goes
  // Picture: its 16-byte description and the pixels; menu bar and settings:
  // the stream; database: the name; sound: where its bytes start.
  const uint8_t* bytes = nullptr;
  uint32_t length = 0;
  uint32_t first = 0, second = 0;  // database
};
bool ReadProjectItem(uint32_t address, MemorySpan data, ProjectItem& out);
