// Reading image blocks from files written here. The layout's messages are
// image_layout_test's; image_truncated reads a cut appended image end to end.
#include "startup/image_reader.h"

#include <gtest/gtest.h>

#include "sdk/image_seal.h"
#include "unit/temp_folder.h"

namespace {

using Bytes = std::vector<uint8_t>;

const std::string kPrefix = "The application image could not be read: ";
const Bytes kBlocks[4] = {{0xC3, 0x90}, {}, {1, 2, 3, 4, 5, 6, 7, 8}, {0x00, 0x40}};

// The four .dat files are read in the order code1, data1, code2, data2
// (image_dat_exit_code runs a program from them).
TEST(ReadImage, NamesAMissingProgramOrFirstMissingDatFile) {
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
}

// A program file of `lead` bytes, then the image with its seal as the
// builder writes it: the CRC-32 of every byte from the image's start on.
Bytes SealedProgram(size_t lead) {
  Bytes file(lead, 'M');
  for (const Bytes& block : kBlocks) {
    for (int shift = 0; shift < 32; shift += 8) file.push_back(static_cast<uint8_t>(block.size() >> shift));
    file.insert(file.end(), block.begin(), block.end());
  }
  uint32_t crc = image::Crc32(file.data() + lead, file.size() - lead);
  file.insert(file.end(), {'S', 'E', 'A', 'L'});
  for (int shift = 0; shift < 32; shift += 8) file.push_back(static_cast<uint8_t>(crc >> shift));
  return file;
}

// The seal catches a changed byte anywhere in the image, its own included;
// an image whose seal is gone (another tool's, or one cut after its last
// block) still loads.
TEST(ReadImage, TheSealRefusesAnyChangedByteAndItsAbsenceIsNoDamage) {
  const uint8_t check[] = "123456789";
  EXPECT_EQ(image::Crc32(check, 9), 0xCBF43926u);  // the standard check value
  EXPECT_EQ(image::Crc32(check + 4, 5, image::Crc32(check, 4)), 0xCBF43926u);
  const size_t lead = 3, end = SealedProgram(lead).size();
  const struct {
    const char* what;
    size_t at;      // byte changed (end = none)
    size_t keep;    // bytes of the file kept
    bool loads;
  } cases[] = {
      {"whole", end, end, true},
      {"the last fixup byte", end - 9, end, false},
      {"the seal's CRC", end - 1, end, false},
      {"the seal's tag", end - 8, end, true},
      {"the seal cut off", end, end - 8, true},
      {"the seal cut short", end, end - 1, true},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    Bytes file = SealedProgram(lead);
    if (c.at < end) file[c.at] ^= 0x10;
    file.resize(c.keep);
    ImageBlocks blocks;
    std::string message;
    EXPECT_EQ(ReadAppendedImage(folder.Write("p.exe", file).c_str(), lead, blocks, message), c.loads) << c.what;
    if (!c.loads) {
      EXPECT_EQ(message, kPrefix + "the program file is damaged. Please install the program again.") << c.what;
    }
  }
}

// The placeholder (the plain runtime, reading .dat files) and a filled
// locator are every image test's; a resource too short for one is refused.
TEST(DecodeLocator, NoLocatorIsReadFromFewerThanEightBytes) {
  image::Locator locator{};
  const uint8_t filled[8] = {0x00, 0xEC, 0x09, 0x00, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_FALSE(DecodeLocator(filled, 7, locator));
  EXPECT_FALSE(DecodeLocator(nullptr, 8, locator));
}

}  // namespace
