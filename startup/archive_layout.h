// Where an item of the resource archive lies: a big-endian count, then a
// table of offsets counted from the table's end. Pure, apart from reading
// the words, so that it can be fuzzed on the host.
#pragma once
#include <cstdint>

// Reads the big-endian word at `at` of `file`; false past its end.
using ArchiveWordReader = bool (*)(void* file, uint32_t at, uint32_t& value);

// The absolute file offset of item `index` (from 1) of the archive at
// `archiveOffset` in a file of `fileSize` bytes; false when there is no such
// item or its table or offset lies past the file's end.
bool LocateArchiveItem(uint32_t archiveOffset, uint32_t fileSize, int32_t index,
                       ArchiveWordReader readWord, void* file, uint32_t& offset);
