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
  uint8_t w[4];
  auto put = [&](uint32_t v) {
    WriteU32BE(w, v);
    f.insert(f.end(), w, w + 4);
  };
  put(3);
  put(0);
  put(1);
  put(3);
  for (char c : std::string("ABBCCC")) f.push_back(static_cast<uint8_t>(c));
  return f;
}

char ItemByte(HFILE file, uint32_t offset) {
  char c = 0;
  _llseek(file, static_cast<LONG>(offset), FILE_BEGIN);
  _lread(file, &c, 1);
  return c;
}

TEST(ResourceArchive, FindsItemsOneToCountAndNoOthers) {
  TempFolder folder;
  std::string path = folder.Write("program.exe", ArchiveFile(100));
  ResourceArchive archive(path, 100);
  HFILE file;
  uint32_t offset = 0;
  EXPECT_FALSE(archive.Find(0, file, offset));
  EXPECT_FALSE(archive.Find(-1, file, offset));
  ASSERT_TRUE(archive.Find(1, file, offset));
  EXPECT_EQ(offset, 100u + 4 + 12 + 0);
  EXPECT_EQ(ItemByte(file, offset), 'A');
  ASSERT_TRUE(archive.Find(2, file, offset));
  EXPECT_EQ(ItemByte(file, offset), 'B');
  ASSERT_TRUE(archive.Find(3, file, offset));
  EXPECT_EQ(offset, 100u + 4 + 12 + 3);
  EXPECT_EQ(ItemByte(file, offset), 'C');
  EXPECT_FALSE(archive.Find(4, file, offset));
}

TEST(ResourceArchive, NoArchiveOrNoFileMeansNotFound) {
  TempFolder folder;
  std::string path = folder.Write("program.exe", ArchiveFile(0));
  HFILE file;
  uint32_t offset = 0;
  ResourceArchive none(path, image::kNoArchive);
  EXPECT_FALSE(none.Find(1, file, offset));
  ResourceArchive missing(folder.Path() + "\\absent.dat", 0);
  EXPECT_FALSE(missing.Find(1, file, offset));
  EXPECT_FALSE(missing.Find(1, file, offset));  // still not found after the failed open
}

TEST(ResourceArchive, CountsAndOffsetsBeyondTheFileAreNotFound) {
  TempFolder folder;
  std::vector<uint8_t> f = ArchiveFile(0);
  WriteU32BE(f.data(), 1000000);  // a count whose table cannot be in the file
  std::string bigCount = folder.Write("count.dat", f);
  f = ArchiveFile(0);
  WriteU32BE(f.data() + 8, 5000);  // item 2 would start past the end
  std::string farItem = folder.Write("item.dat", f);
  HFILE file;
  uint32_t offset = 0;
  ResourceArchive a(bigCount, 0);
  EXPECT_FALSE(a.Find(1, file, offset));
  ResourceArchive b(farItem, 0);
  EXPECT_TRUE(b.Find(1, file, offset));
  EXPECT_FALSE(b.Find(2, file, offset));
  ResourceArchive c(farItem, 40);  // archive start past the end of the file
  EXPECT_FALSE(c.Find(1, file, offset));
}

}  // namespace
