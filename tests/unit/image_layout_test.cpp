// Where the appended image's blocks and the resource archive's items lie in
// the program file, against files laid out by hand: every block and item
// that fits is found at its place, and one byte short, one index too far or
// an offset past the end is refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "startup/archive_layout.h"
#include "startup/image_reader.h"

namespace {

using Bytes = std::vector<uint8_t>;

void PutLE(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutBE(Bytes& b, uint32_t v) {
  for (int i = 3; i >= 0; --i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

bool ReadLE(void* file, uint64_t at, uint32_t& value) {
  const Bytes& b = *static_cast<const Bytes*>(file);
  if (at + 4 > b.size()) return false;
  value = b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t{b[at + 3]} << 24;
  return true;
}
bool ReadBE(void* file, uint32_t at, uint32_t& value) {
  const Bytes& b = *static_cast<const Bytes*>(file);
  if (uint64_t{at} + 4 > b.size()) return false;
  value = uint32_t{b[at]} << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
  return true;
}

// Five bytes of "program", then four blocks of 3, 0, 5 and 2 bytes.
Bytes ProgramWithImage() {
  Bytes file(5, 0xEE);
  for (uint32_t length : {3u, 0u, 5u, 2u}) {
    PutLE(file, length);
    file.insert(file.end(), length, 0xAB);
  }
  return file;
}

TEST(ImageLayout, BlocksAreFoundWhereTheyLieAndRefusedWhenCut) {
  Bytes file = ProgramWithImage();
  ASSERT_EQ(file.size(), 31u);
  BlockPlace places[image::kBlockCount];
  std::string message;
  ASSERT_TRUE(PlaceAppendedBlocks(file.size(), 5, ReadLE, &file, places, message)) << message;
  const BlockPlace expected[] = {{9, 3}, {16, 0}, {20, 5}, {29, 2}};
  for (int i = 0; i < image::kBlockCount; ++i) {
    EXPECT_EQ(places[i].offset, expected[i].offset) << "block " << i;
    EXPECT_EQ(places[i].length, expected[i].length) << "block " << i;
  }
  const struct { const char* what; uint64_t size; uint32_t imageOffset; } kRefused[] = {
      {"the last block one byte short", 30, 5},
      {"a length word cut", 27, 5},
      {"the image past the end", 31, 32},
  };
  for (const auto& r : kRefused) {
    Bytes cut(file.begin(), file.begin() + static_cast<ptrdiff_t>(std::min<uint64_t>(r.size, file.size())));
    std::string why;
    EXPECT_FALSE(PlaceAppendedBlocks(r.size, r.imageOffset, ReadLE, &cut, places, why)) << r.what;
    EXPECT_FALSE(why.empty()) << r.what;
  }
}

TEST(ArchiveLayout, ItemsAreFoundByIndexFromOneAndRefusedPastTheEnd) {
  // Two bytes before the archive; three items at 0, 5 and 9 past the table.
  Bytes file(2, 0);
  PutBE(file, 3);
  for (uint32_t at : {0u, 5u, 9u}) PutBE(file, at);
  file.insert(file.end(), 12, 0x55);
  ASSERT_EQ(file.size(), 30u);
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
