// The COFF reader over damaged copies of objects the cross compiler really
// wrote: every prefix, fields and indexes pointing outside the file or their
// table, which must give an error and never a read out of bounds (the
// sanitizers watch). What it reads from whole objects, the linker's tests
// check through what they link; random damage goes through the linker too.
#include "tools/image_builder/coff_object.h"

#include <gtest/gtest.h>

#include "sdk/le_bytes.h"
#include "tests/host/builder/builder_test_support.h"

namespace {

using builder_test::Bytes;
using builder_test::Snippet;

coff::Object Read(const Bytes& bytes) {
  coff::Object object;
  std::string error;
  EXPECT_TRUE(coff::ReadObject(bytes, object, error)) << error;
  return object;
}

// Header fields of a COFF file and of its first section header.
constexpr size_t kSymbolTable = 8, kSection = 20, kRelocations = kSection + 24;

TEST(CoffObjectDamage, EveryProperPrefixIsRefused) {
  Bytes whole = Snippet("calls_other");
  for (size_t n = 0; n < whole.size(); ++n) {
    coff::Object object;
    std::string error;
    ASSERT_FALSE(coff::ReadObject(Bytes(whole.begin(), whole.begin() + n), object, error)) << n;
  }
}

// Fields and table indexes pointing outside the file or their table, each
// refused with a message naming what is wrong.
TEST(CoffObjectDamage, FieldsAndIndexesPointingOutsideAreRefused) {
  Bytes good = Snippet("calls_other");
  uint32_t size = static_cast<uint32_t>(good.size());
  uint32_t symbols = ReadU32LE(good.data() + kSymbolTable), relocations = ReadU32LE(good.data() + kRelocations);
  uint32_t lastSymbol = symbols + 18 * static_cast<uint32_t>(Read(good).symbols.size() - 1);
  struct Patch {
    uint32_t at, value, width;
  };
  const std::pair<const char*, std::vector<Patch>> cases[] = {
      {"i386", {{0, 0x8664, 4}}},
      {"contents of .text", {{kSection + 20, size - 2, 4}}},
      {"relocations of .text", {{kRelocations, 0xFFFFFFF0, 4}}},
      {"symbol table", {{12, 0x10000000, 4}}},  // the symbol count
      {"symbol table", {{kSymbolTable, size, 4}}},
      {"symbol that does not exist", {{relocations + 4, 100000, 4}}},  // the first relocation's
      {"section that does not exist", {{symbols + 12, 40, 2}}},  // .file's section number
      {"string table", {{symbols, 0, 4}, {symbols + 4, 0x7FFFFFFF, 4}}},  // .file's name, past its end
      {"aux records", {{lastSymbol + 17, 3, 1}}},  // beyond the table
  };
  for (const auto& [says, patches] : cases) {
    Bytes bad = good;
    for (const Patch& p : patches)
      for (uint32_t i = 0; i < p.width; ++i) bad[p.at + i] = static_cast<uint8_t>(p.value >> (8 * i));
    coff::Object object;
    std::string error;
    EXPECT_FALSE(coff::ReadObject(bad, object, error)) << says;
    EXPECT_NE(error.find(says), std::string::npos) << error;
  }
}

}  // namespace
