// Reading image blocks from files written here: both forms, and the damaged
// files the user could end up with, each failing with a message naming it.
// Whole appended images are read (into executable memory) end to end by every
// image test; image_truncated and image_dat_missing see a cut last block and
// a missing data1.dat.
#include "startup/image_reader.h"

#include <gtest/gtest.h>

#include "sdk/le_bytes.h"
#include "unit/temp_folder.h"

namespace {

using Bytes = std::vector<uint8_t>;

const std::string kPrefix = "The application image could not be read: ";

// `lead` filler bytes, then the four blocks each as u32 length and bytes.
Bytes AppendedImage(uint32_t lead, const Bytes (&blocks)[4]) {
  Bytes f(lead, 'x');
  for (const Bytes& b : blocks) {
    uint8_t w[4];
    WriteU32LE(w, b.size());
    f.insert(f.end(), w, w + 4);
    f.insert(f.end(), b.begin(), b.end());
  }
  return f;
}

const Bytes kBlocks[4] = {{0xC3, 0x90}, {}, {1, 2, 3, 4, 5, 6, 7, 8}, {0x00, 0x40}};

TEST(ReadAppendedImage, DamagedAndMissingFilesNameWhatIsWrong) {
  TempFolder folder;
  const Bytes whole = AppendedImage(0, kBlocks);
  Bytes huge = whole;
  WriteU32LE(huge.data(), 0xFFFFFFF0u);
  const struct { Bytes file; uint32_t offset; const char* message; } cases[] = {
      {Bytes(whole.begin(), whole.begin() + 2), 0, "the length of the code block is missing."},
      {Bytes(whole.begin(), whole.begin() + 5), 0, "the code block runs past the end of the program file."},
      {Bytes(whole.begin(), whole.begin() + 6), 0, "the length of the code fixup block is missing."},
      {Bytes(whole.begin(), whole.begin() + 10 + 4 + 7), 0, "the data block runs past the end of the program file."},
      {huge, 0, "the code block runs past the end of the program file."},
      {whole, 0x7FFFFFFF, "the image begins past the end of the program file."},
  };
  for (const auto& c : cases) {
    std::string path = folder.Write("cut.exe", c.file);
    ImageBlocks blocks;
    std::string message;
    EXPECT_FALSE(ReadAppendedImage(path.c_str(), c.offset, blocks, message)) << c.message;
    EXPECT_EQ(message, kPrefix + c.message) << c.file.size();
  }
  ImageBlocks blocks;
  std::string message;
  EXPECT_FALSE(ReadAppendedImage((folder.Path() + "\\none.exe").c_str(), 0, blocks, message));
  EXPECT_EQ(message, kPrefix + "the program file could not be opened.");
}

// The four files are read in the order code1, data1, code2, data2; the
// first one missing is named.
TEST(ReadSeparateImage, ReadsTheDatFilesAsBareBlocksAndNamesTheFirstMissing) {
  TempFolder folder;
  ImageBlocks blocks;
  std::string message;
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
