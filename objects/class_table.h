// The class table: one class record per class descriptor of the application
// image, in the image's order. Compiled code names classes by their index
// here. Reading the descriptors checks every address against the blocks it
// must lie in, so a damaged image cannot send the reader outside them.
#pragma once
#include <cstdint>

#include "objects/memory_span.h"
#include "sdk/class_records.h"

// The class at `index`, or null (after the assertion hook) when out of range.
ClassRecord* ClassAt(int32_t index);
int32_t ClassCount();

// Builds the class table from the image's class list (a count, then that many
// descriptor addresses), resolving kind-1 descriptors by name, linking
// superclasses and building interface tables. Stored addresses must lie in
// `data` (records, strings, tables) or `code` (code addresses). Returns false
// when the list itself is unreadable; single bad descriptors leave null
// entries and go to the assertion hook.
bool LinkImageClasses(const uint32_t* classList, MemorySpan data, MemorySpan code);

// Replaces the table with `count` given records (for tests and tools).
void SetClassTable(ClassRecord* const* classes, int32_t count);
