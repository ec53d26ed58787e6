// LocateArchiveItem; see archive_layout.h. Sums are taken in 64 bits: an
// offset near the top of the range must not wrap into the file.
#include "startup/archive_layout.h"

bool LocateArchiveItem(uint32_t archiveOffset, uint32_t fileSize, int32_t index,
                       ArchiveWordReader readWord, void* file, uint32_t& offset) {
  if (index < 1) return false;
  uint32_t count = 0, itemOffset = 0;
  if (uint64_t{archiveOffset} + 4 > fileSize || !readWord(file, archiveOffset, count) ||
      uint32_t(index) > count)
    return false;
  uint64_t table = uint64_t{archiveOffset} + 4;
  uint64_t items = table + 4ull * count;
  uint64_t entry = uint64_t{archiveOffset} + 4ull * uint32_t(index);
  if (items > fileSize || entry + 4 > fileSize ||
      !readWord(file, static_cast<uint32_t>(entry), itemOffset))
    return false;
  uint64_t at = items + itemOffset;
  if (at >= fileSize) return false;
  offset = static_cast<uint32_t>(at);
  return true;
}
