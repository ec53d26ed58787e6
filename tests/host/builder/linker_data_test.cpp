// The data block of a linked image and the pointers in it (data fixups),
// checked after the runtime's own passes have run over them, together with
// the bytes that must not move. Plain references from code and the
// generated data's pointers every image shows working.
#include <gtest/gtest.h>

#include "sdk/image_format.h"
#include "tests/host/builder/builder_test_support.h"

namespace {

using namespace builder_test;

// Pointers in data (read-only, consecutive of both kinds, unaligned in a
// packed struct, either side of a gap longer than one advance, a run longer
// than 512) after the loader's relocation, and the bytes around them, which
// are not pointers and stay as compiled.
TEST(LinkData, PointersInDataReachTheirTargetsAndTheBytesAroundThemStay) {
  LinkResult linked = MustLink(Request({"data_refs"}));
  Loaded loaded = Load(linked);
  auto At = [&](const char* name, uint32_t plus) { return Word(loaded.data, linked.dataSymbols.at(name) + plus); };
  auto Data = [&](const char* name, uint32_t plus) { return kDataAddress + linked.dataSymbols.at(name) + plus; };
  auto Code = [&](const char* name) { return kCodeAddress + linked.codeSymbols.at(name); };
  const struct {
    const char* at;
    uint32_t plus;
    uint32_t expected;
  } cases[] = {
      {"handlers", 0, Code("HandlerA")},  {"handlers", 4, Code("HandlerB")},
      {"mixed", 0, Code("HandlerA")},     {"mixed", 4, Data("table", 0)},
      {"mixed", 8, Code("HandlerB")},     {"packed", 1, Data("table", 8)},
      {"packed", 6, Code("HandlerB")},    {"gapped", 0, Data("table", 0)},
      {"gapped", 4 + 6000, Data("zeros", 12)},
  };
  for (const auto& c : cases) EXPECT_EQ(At(c.at, c.plus), c.expected) << c.at << " + " << c.plus;
  for (uint32_t i = 0; i < 600; ++i) ASSERT_EQ(At("many", 4 * i), Data("table", 4 * (i % 4))) << i;
  uint32_t packed = linked.dataSymbols.at("packed");
  EXPECT_TRUE((packed + 1) % 4 != 0 || (packed + 6) % 4 != 0);  // really unaligned
  EXPECT_EQ(loaded.data[packed], 'p');
  EXPECT_EQ(loaded.data[packed + 5], 'q');
  uint32_t pad = linked.dataSymbols.at("gapped") + 4;
  EXPECT_EQ(loaded.data[pad], 1);
  EXPECT_EQ(loaded.data[pad + 2], 3);
  EXPECT_EQ(loaded.data[pad + 3], 0);
  for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(At("table", 4 * i), 10 * (i + 1));
  for (uint32_t i = 0; i < 64; ++i) ASSERT_EQ(At("zeros", 4 * i), 0u) << i;
}

TEST(LinkData, ZeroFilledDataFollowsTheDataSectionsAndPrecedesTheGeneratedData) {
  LinkResult linked = MustLink(Request({"data_refs"}));
  uint32_t zeros = linked.dataSymbols.at("zeros");
  for (const char* name : {"table", "handlers", "packed", "gapped", "mixed", "many"})
    EXPECT_LT(linked.dataSymbols.at(name), zeros) << name;
  EXPECT_EQ(zeros % 32, 0u);  // the section's own alignment
  uint32_t generated = linked.dataSymbols.at("ProjectRecord");
  EXPECT_GE(generated, zeros + 256);
  EXPECT_EQ(generated % 4, 0u);
  EXPECT_EQ(linked.parts.blocks[image::kData].size(), generated + 16);
}

TEST(LinkGenerated, MoreThan65535PointersInOneSection) {
  LinkResult linked = MustLink(Request({"many_pointers"}));
  Loaded loaded = Load(linked);
  uint32_t first = linked.dataSymbols.at("manyPointers");
  uint32_t target = kDataAddress + linked.dataSymbols.at("target");
  for (uint32_t i = 0; i < 70000; ++i) ASSERT_EQ(Word(loaded.data, first + 4 * i), target) << i;
  EXPECT_EQ(Word(loaded.data, linked.dataSymbols.at("target")), 7u);
}

}  // namespace
