// Reading image blocks from files written here: both forms, and the damaged
// files the user could end up with, each failing with a message naming it.
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

TEST(ReadAppendedImage, ReadsTheFourBlocksFromTheImageOffset) {
  TempFolder folder;
  std::string path = folder.Write("p.exe", AppendedImage(77, kBlocks));
  ImageBlocks blocks;
  std::string message;
  ASSERT_TRUE(ReadAppendedImage(path.c_str(), 77, blocks, message)) << message;
  for (int i = 0; i < 4; ++i) {
    auto which = static_cast<image::Block>(i);
    ASSERT_EQ(blocks.Length(which), kBlocks[i].size());
    EXPECT_EQ(Bytes(blocks.Bytes(which), blocks.Bytes(which) + blocks.Length(which)), kBlocks[i]);
  }
}

TEST(ReadAppendedImage, TruncatedImagesNameWhatIsMissing) {
  TempFolder folder;
  Bytes whole = AppendedImage(0, kBlocks);
  struct Case {
    size_t keep;
    const char* message;
  } cases[] = {
      {2, "the length of the code block is missing."},
      {5, "the code block runs past the end of the program file."},
      {6, "the length of the code fixup block is missing."},
      {10 + 4 + 7, "the data block runs past the end of the program file."},
      {whole.size() - 1, "the data fixup block runs past the end of the program file."},
  };
  for (const Case& c : cases) {
    std::string path = folder.Write("cut.exe", Bytes(whole.begin(), whole.begin() + c.keep));
    ImageBlocks blocks;
    std::string message;
    EXPECT_FALSE(ReadAppendedImage(path.c_str(), 0, blocks, message)) << c.keep;
    EXPECT_EQ(message, kPrefix + c.message) << c.keep;
  }
}

TEST(ReadAppendedImage, HugeLengthsAndMissingFilesFailCleanly) {
  TempFolder folder;
  Bytes f = AppendedImage(0, kBlocks);
  WriteU32LE(f.data(), 0xFFFFFFF0u);
  std::string path = folder.Write("huge.exe", f);
  ImageBlocks blocks;
  std::string message;
  EXPECT_FALSE(ReadAppendedImage(path.c_str(), 0, blocks, message));
  EXPECT_EQ(message, kPrefix + "the code block runs past the end of the program file.");
  EXPECT_FALSE(ReadAppendedImage(path.c_str(), 0x7FFFFFFF, blocks, message));
  EXPECT_EQ(message, kPrefix + "the image begins past the end of the program file.");
  EXPECT_FALSE(ReadAppendedImage((folder.Path() + "\\none.exe").c_str(), 0, blocks, message));
  EXPECT_EQ(message, kPrefix + "the program file could not be opened.");
}

TEST(ReadSeparateImage, ReadsTheDatFilesAsBareBlocks) {
  TempFolder folder;
  folder.Write("code1.dat", kBlocks[0]);
  folder.Write("code2.dat", kBlocks[1]);
  folder.Write("data1.dat", kBlocks[2]);
  folder.Write("data2.dat", kBlocks[3]);
  ImageBlocks blocks;
  std::string message;
  ASSERT_TRUE(ReadSeparateImage(folder.Path(), blocks, message)) << message;
  EXPECT_EQ(blocks.Length(image::kData), 8u);
  EXPECT_EQ(blocks.Bytes(image::kData)[7], 8);
  EXPECT_EQ(blocks.Length(image::kCodeFixups), 0u);
  EXPECT_NE(blocks.Bytes(image::kCodeFixups), nullptr);
}

TEST(ReadSeparateImage, NamesTheFirstMissingFileInReadingOrder) {
  TempFolder folder;
  ImageBlocks blocks;
  std::string message;
  EXPECT_FALSE(ReadSeparateImage(folder.Path(), blocks, message));
  EXPECT_EQ(message, kPrefix + "code1.dat is missing.");
  folder.Write("code1.dat", kBlocks[0]);
  folder.Write("code2.dat", kBlocks[1]);
  EXPECT_FALSE(ReadSeparateImage(folder.Path(), blocks, message));
  EXPECT_EQ(message, kPrefix + "data1.dat is missing.");  // before code2.dat is looked at
  folder.Write("data1.dat", kBlocks[2]);
  EXPECT_FALSE(ReadSeparateImage(folder.Path(), blocks, message));
  EXPECT_EQ(message, kPrefix + "data2.dat is missing.");
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

TEST(ImageBlocks, TheCodeBlockIsExecutableMemory) {
  ImageBlocks blocks;
  ASSERT_TRUE(blocks.Allocate(image::kCode, 16));
  MEMORY_BASIC_INFORMATION info;
  ASSERT_NE(VirtualQuery(blocks.Bytes(image::kCode), &info, sizeof info), 0u);
  EXPECT_EQ(info.Protect, static_cast<DWORD>(PAGE_EXECUTE_READWRITE));
  blocks.Bytes(image::kCode)[0] = 0xB8;  // mov eax, 42; ret
  WriteU32LE(blocks.Bytes(image::kCode) + 1, 42);
  blocks.Bytes(image::kCode)[5] = 0xC3;
  EXPECT_EQ(reinterpret_cast<int(__cdecl*)()>(blocks.Bytes(image::kCode))(), 42);
}

}  // namespace
