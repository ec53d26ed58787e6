// Archive lookups against archives written here byte by byte.
#include "startup/resource_archive.h"

#include <gtest/gtest.h>

#include "sdk/image_format.h"
#include "sdk/le_bytes.h"
#include "unit/temp_folder.h"

namespace {

// `lead` bytes of something else, then an archive of items "A", "BB", "CCC".
std::vector<uint8_t> ArchiveFile(uint32_t lead) {
  std::vector<uint8_t> f(lead, 0xEE);
  for (uint32_t v : {3u, 0u, 1u, 3u}) {  // the count, then each item's offset past the table
    f.resize(f.size() + 4);
    WriteU32BE(f.data() + f.size() - 4, v);
  }
  for (char c : std::string("ABBCCC")) f.push_back(static_cast<uint8_t>(c));
  return f;
}

char ItemByte(HFILE file, uint32_t offset) {
  char c = 0;
  _llseek(file, static_cast<LONG>(offset), FILE_BEGIN);
  _lread(file, &c, 1);
  return c;
}

// Items are found by index and read from the file; nothing is found whose table
// cannot be in the file, nor without an archive or a file (asked twice: a failed
// open stays failed). Index limits are ArchiveLayout's.
TEST(ResourceArchive, FindsItemsOneToCountInsideTheFileAndNoOthers) {
  TempFolder folder;
  std::vector<uint8_t> bigCount = ArchiveFile(0);
  WriteU32BE(bigCount.data(), 1000000);  // a count whose table cannot be in the file
  ResourceArchive lead(folder.Write("program.exe", ArchiveFile(100)), 100);
  ResourceArchive none(folder.Write("none.exe", ArchiveFile(0)), image::kNoArchive);
  ResourceArchive big(folder.Write("count.dat", bigCount), 0);
  ResourceArchive past(folder.Path() + "\\none.exe", 40);  // archive start past the end of the file
  ResourceArchive missing(folder.Path() + "\\absent.dat", 0);
  const struct { const char* what; ResourceArchive& archive; int32_t index; char item; uint32_t offset; } rows[] = {
      {"lead", lead, 1, 'A', 100 + 4 + 12}, {"lead", lead, 2, 'B', 100 + 4 + 12 + 1},
      {"lead", lead, 3, 'C', 100 + 4 + 12 + 3}, {"no archive", none, 1, 0, 0}, {"big count", big, 1, 0, 0},
      {"start past the end", past, 1, 0, 0}, {"missing", missing, 1, 0, 0}, {"missing", missing, 1, 0, 0}};
  for (const auto& r : rows) {
    HFILE file;
    uint32_t offset = 0;
    ASSERT_EQ(r.archive.Find(r.index, file, offset), r.item != 0) << r.what << " item " << r.index;
    if (!r.item) continue;
    EXPECT_EQ(offset, r.offset) << r.what << " item " << r.index;
    EXPECT_EQ(ItemByte(file, offset), r.item) << r.what << " item " << r.index;
  }
}

}  // namespace
