// The builder's PE reader on a program written here by hand, field by field
// from the PE layout: one resource section holding the PICKLE locator, whose
// bytes are the last bytes of the file, so that a bound checked one byte too
// tight or too loose shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sdk/le_bytes.h"
#include "tools/image_builder/pe_resources.h"

namespace {

constexpr uint32_t kPe = 0x40, kOptional = kPe + 24, kOptionalSize = 224;
constexpr uint32_t kSectionTable = kOptional + kOptionalSize, kRaw = 0x200, kRva = 0x1000;
// Inside the resource section: three one-entry directories, the type's
// name, the leaf, then the locator's bytes.
constexpr uint32_t kTypes = 0x18, kIds = 0x30, kName = 0x48, kLeaf = 0x58, kData = 0x68;
constexpr uint32_t kDataSize = 12, kSectionSize = kData + kDataSize;

void Directory(std::vector<uint8_t>& f, uint32_t at, bool named, uint32_t key, uint32_t value) {
  WriteU16LE(&f[kRaw + at + (named ? 12 : 14)], 1);
  WriteU32LE(&f[kRaw + at + 16], key);
  WriteU32LE(&f[kRaw + at + 20], value);
}

std::vector<uint8_t> HandMadeProgram(const char* typeName) {
  std::vector<uint8_t> f(kRaw + kSectionSize);
  f[0] = 'M', f[1] = 'Z';
  WriteU32LE(&f[0x3C], kPe);
  WriteU32LE(&f[kPe], 0x00004550);
  WriteU16LE(&f[kPe + 6], 1);  // sections
  WriteU16LE(&f[kPe + 20], kOptionalSize);
  WriteU16LE(&f[kOptional], 0x10B);
  WriteU32LE(&f[kOptional + 92], 16);                  // data directories
  WriteU32LE(&f[kOptional + 96 + 8 * 2], kRva);        // the resource directory's address
  WriteU32LE(&f[kOptional + 96 + 8 * 2 + 4], kSectionSize);
  WriteU32LE(&f[kSectionTable + 8], kSectionSize);     // virtual size
  WriteU32LE(&f[kSectionTable + 12], kRva);
  WriteU32LE(&f[kSectionTable + 16], kSectionSize);    // raw size
  WriteU32LE(&f[kSectionTable + 20], kRaw);
  Directory(f, 0, true, 0x80000000u | kName, 0x80000000u | kTypes);
  Directory(f, kTypes, false, 101, 0x80000000u | kIds);
  Directory(f, kIds, false, 1033, kLeaf);
  std::string name(typeName);
  WriteU16LE(&f[kRaw + kName], static_cast<uint16_t>(name.size()));
  for (size_t i = 0; i < name.size(); ++i) WriteU16LE(&f[kRaw + kName + 2 + 2 * i], name[i]);
  WriteU32LE(&f[kRaw + kLeaf], kRva + kData);
  WriteU32LE(&f[kRaw + kLeaf + 4], kDataSize);
  return f;
}

TEST(PeFacts, TheLocatorMayEndTheFileAndNotOneBytePast) {
  const struct {
    const char* typeName;
    size_t cut;  // bytes taken off the end
    const char* error;
  } kCases[] = {
      {"PICKLE", 0, ""},
      {"PICKLE", 1, "an address in the resources lies outside every section"},
      {"PICKLES", 0, "the program has no PICKLE resource 101 in language 1033"},
  };
  for (const auto& c : kCases) {
    std::vector<uint8_t> file = HandMadeProgram(c.typeName);
    file.resize(file.size() - c.cut);
    PeFacts facts;
    std::string error;
    bool read = ReadPeFacts(file, facts, error);
    EXPECT_EQ(error, c.error) << c.typeName << " cut " << c.cut;
    if (!read) continue;
    EXPECT_EQ(facts.locatorOffset, kRaw + kData);
    EXPECT_EQ(facts.locatorSize, kDataSize);
    EXPECT_EQ(facts.endOfSections, file.size());
  }
}

}  // namespace
