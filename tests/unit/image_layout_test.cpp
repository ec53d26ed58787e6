// Where the appended image's blocks and the archive's items lie, against files
// laid out by hand: one byte short, one index too far or past the end is refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sdk/le_bytes.h"
#include "startup/archive_layout.h"
#include "startup/image_reader.h"

namespace {

using Bytes = std::vector<uint8_t>;

template <typename Offset, uint32_t (*Read)(const uint8_t*)>
bool ReadWord(void* file, Offset at, uint32_t& value) {
  const Bytes& b = *static_cast<const Bytes*>(file);
  if (uint64_t{at} + 4 > b.size()) return false;
  value = Read(b.data() + at);
  return true;
}
constexpr auto ReadLE = ReadWord<uint64_t, ReadU32LE>;
constexpr auto ReadBE = ReadWord<uint32_t, ReadU32BE>;

TEST(ImageLayout, BlocksOfAWholeFileAreTakenAndRefusedWhenCut) {
  // Five bytes of "program", then four blocks of 3, 0, 5 and 2 bytes.
  Bytes file(5, 0xEE);
  for (uint32_t length : {3u, 0u, 5u, 2u}) {
    file.resize(file.size() + 4);
    WriteU32LE(file.data() + file.size() - 4, length);
    file.insert(file.end(), length, 0xAB);
  }
  BlockPlace places[image::kBlockCount];
  std::string message;
  // Taken whole, the last block ending at the file's end; where they lie is every appended image test's.
  ASSERT_TRUE(PlaceAppendedBlocks(file.size(), 5, ReadLE, &file, places, message)) << message;
  Bytes huge = file;
  WriteU32LE(huge.data() + 5, 0xFFFFFFF0u);
  const struct { const Bytes& file; uint64_t size; uint32_t imageOffset; const char* message; } kRefused[] = {
      {file, 30, 5, "the data fixup block runs past the end of the program file."},  // one byte short
      {file, 27, 5, "the length of the data fixup block is missing."},
      {huge, 31, 5, "the code block runs past the end of the program file."},
      {file, 31, 32, "the image begins past the end of the program file."},
  };
  for (const auto& r : kRefused) {
    Bytes cut(r.file.begin(), r.file.begin() + static_cast<ptrdiff_t>(std::min<uint64_t>(r.size, r.file.size())));
    EXPECT_FALSE(PlaceAppendedBlocks(r.size, r.imageOffset, ReadLE, &cut, places, message)) << r.message;
    EXPECT_EQ(message, std::string("The application image could not be read: ") + r.message);
  }
}

TEST(ArchiveLayout, ItemsAreFoundByIndexFromOneAndRefusedPastTheEnd) {
  // Two bytes before the archive; three items at 0, 5 and 9 past the table.
  Bytes file(2 + 16 + 12, 0x55);
  for (uint32_t i = 0; uint32_t word : {3u, 0u, 5u, 9u}) WriteU32BE(file.data() + 2 + 4 * i++, word);
  const struct { int32_t index; uint32_t size; bool found; uint32_t at; } kCases[] = {
      {0, 30, false, 0}, {1, 30, true, 18}, {2, 30, true, 23}, {3, 30, true, 27},
      {4, 30, false, 0}, {3, 27, false, 0}, {2, 27, true, 23}, {-1, 30, false, 0},
  };
  for (const auto& c : kCases) {
    uint32_t at = 0;
    EXPECT_EQ(LocateArchiveItem(2, c.size, c.index, ReadBE, &file, at), c.found)
        << "item " << c.index << " of a " << c.size << "-byte file";
    EXPECT_EQ(c.found ? at : 0u, c.at) << "item " << c.index;
  }
}

}  // namespace
