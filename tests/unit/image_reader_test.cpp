// Reading image blocks from files written here. The layout's messages are
// image_layout_test's; image_truncated reads a cut appended image end to end.
#include "startup/image_reader.h"

#include <gtest/gtest.h>

#include "unit/temp_folder.h"

namespace {

using Bytes = std::vector<uint8_t>;

const std::string kPrefix = "The application image could not be read: ";
const Bytes kBlocks[4] = {{0xC3, 0x90}, {}, {1, 2, 3, 4, 5, 6, 7, 8}, {0x00, 0x40}};

// The four .dat files are read in the order code1, data1, code2, data2.
TEST(ReadImage, NamesAMissingProgramOrFirstMissingDatFileAndReadsDatFilesAsBareBlocks) {
  TempFolder folder;
  ImageBlocks blocks;
  std::string message;
  EXPECT_FALSE(ReadAppendedImage((folder.Path() + "\\none.exe").c_str(), 0, blocks, message));
  EXPECT_EQ(message, kPrefix + "the program file could not be opened.");
  const std::pair<const char*, const char*> steps[] = {
      {nullptr, "code1.dat"}, {"code1.dat", "data1.dat"}, {"code2.dat", "data1.dat"}, {"data1.dat", "data2.dat"}};
  for (int i = 0; auto [write, missing] : steps) {
    if (write) folder.Write(write, kBlocks[i++]);
    EXPECT_FALSE(ReadSeparateImage(folder.Path(), blocks, message));
    EXPECT_EQ(message, kPrefix + missing + " is missing.");
  }
  folder.Write("data2.dat", kBlocks[3]);
  ASSERT_TRUE(ReadSeparateImage(folder.Path(), blocks, message)) << message;
  EXPECT_EQ(Bytes(blocks.Bytes(image::kData), blocks.Bytes(image::kData) + blocks.Length(image::kData)), kBlocks[2]);
  EXPECT_EQ(blocks.Length(image::kCodeFixups), 0u);
  EXPECT_NE(blocks.Bytes(image::kCodeFixups), nullptr);
}

TEST(DecodeLocator, PlaceholderShortAndFilledLocators) {
  image::Locator locator{};
  const uint8_t placeholder[8] = {'P', 'I', 'C', 'K', 'P', 'I', 'C', 'K'};
  EXPECT_FALSE(DecodeLocator(placeholder, 8, locator));
  const uint8_t filled[8] = {0x00, 0xEC, 0x09, 0x00, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_FALSE(DecodeLocator(filled, 7, locator));
  EXPECT_FALSE(DecodeLocator(nullptr, 8, locator));
  ASSERT_TRUE(DecodeLocator(filled, 8, locator));
  EXPECT_EQ(locator.imageOffset, 0x9EC00u);
  EXPECT_EQ(locator.archiveOffset, image::kNoArchive);
}

}  // namespace
