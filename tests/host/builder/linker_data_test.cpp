// The data block of a linked image and what points into it: references from
// code (data-reference records), pointers in data and in the generated data
// (data fixups), checked after the runtime's own passes have run over them,
// together with the bytes that must not move.
#include <gtest/gtest.h>

#include <cstring>

#include "sdk/image_format.h"
#include "sdk/le_bytes.h"
#include "tests/host/builder/builder_test_support.h"

namespace {

using namespace builder_test;

class LinkedData : public testing::Test {
 protected:
  void SetUp() override {
    linked = MustLink(Request({"data_refs"}));
    loaded = Load(linked);
  }
  uint32_t DataAt(const std::string& name, uint32_t plus = 0) {
    return Word(loaded.data, linked.dataSymbols.at(name) + plus);
  }
  uint32_t DataAddress(const std::string& name, uint32_t plus = 0) {
    return kDataAddress + linked.dataSymbols.at(name) + plus;
  }
  uint32_t CodeAddress(const std::string& name) { return kCodeAddress + linked.codeSymbols.at(name); }

  LinkResult linked;
  Loaded loaded;
};

// Code reaches data with the addend kept, through one data-reference
// record per reference.
TEST_F(LinkedData, CodeReachesDataThroughOneRecordPerReference) {
  CodeFixups fixups = ReadCodeFixups(linked.parts.blocks[image::kCodeFixups]);
  EXPECT_TRUE(fixups.imports.empty());
  ASSERT_EQ(fixups.dataReferences.size(), 2u);
  auto [start, end] = FunctionRange(linked, "ReadThird");
  EXPECT_GE(fixups.dataReferences[0], start);
  EXPECT_LT(fixups.dataReferences[0], end);
  EXPECT_EQ(Word(loaded.code, fixups.dataReferences[0]), DataAddress("table", 8));
  EXPECT_EQ(Word(loaded.code, fixups.dataReferences[1]), DataAddress("zeros", 20));
}

// Pointers in data (read-only, consecutive of both kinds, unaligned in a
// packed struct, either side of a gap longer than one advance), and the
// header's entry and project record, after the loader's relocation.
TEST_F(LinkedData, PointersInDataReachFunctionsAndData) {
  const struct {
    const char* at;
    uint32_t plus;
    uint32_t expected;
  } cases[] = {
      {"handlers", 0, CodeAddress("HandlerA")},      {"handlers", 4, CodeAddress("HandlerB")},
      {"dataPointers", 0, DataAddress("table", 4)},  {"dataPointers", 4, DataAddress("table", 12)},
      {"mixed", 0, CodeAddress("HandlerA")},         {"mixed", 4, DataAddress("table")},
      {"mixed", 8, CodeAddress("HandlerB")},         {"packed", 1, DataAddress("table", 8)},
      {"packed", 6, CodeAddress("HandlerB")},        {"gapped", 0, DataAddress("table")},
      {"gapped", 4 + 6000, DataAddress("zeros", 12)},
  };
  for (const auto& c : cases) EXPECT_EQ(DataAt(c.at, c.plus), c.expected) << c.at << " + " << c.plus;
  EXPECT_EQ(Word(loaded.data, 0), CodeAddress("AppMain"));
  EXPECT_EQ(Word(loaded.data, 4), DataAddress("ProjectRecord"));
  uint32_t text = DataAt("greeting") - kDataAddress;
  ASSERT_LT(text + 6, loaded.data.size());
  EXPECT_EQ(std::memcmp(loaded.data.data() + text, "hello", 6), 0);
  for (uint32_t i = 0; i < 600; ++i) ASSERT_EQ(DataAt("many", 4 * i), DataAddress("table", 4 * (i % 4))) << i;
}

// Bytes that are not pointers stay as compiled, the packed struct's and the
// gap's among them.
TEST_F(LinkedData, ValuesThatAreNotPointersStayAsCompiled) {
  uint32_t packed = linked.dataSymbols.at("packed");
  EXPECT_TRUE((packed + 1) % 4 != 0 || (packed + 6) % 4 != 0);  // really unaligned
  EXPECT_EQ(loaded.data[packed], 'p');
  EXPECT_EQ(loaded.data[packed + 5], 'q');
  uint32_t pad = linked.dataSymbols.at("gapped") + 4;
  EXPECT_EQ(loaded.data[pad], 1);
  EXPECT_EQ(loaded.data[pad + 2], 3);
  EXPECT_EQ(loaded.data[pad + 3], 0);
  for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(DataAt("table", 4 * i), 10 * (i + 1));
  for (uint32_t i = 0; i < 64; ++i) ASSERT_EQ(DataAt("zeros", 4 * i), 0u) << i;
}

TEST_F(LinkedData, ZeroFilledDataFollowsTheDataSectionsAndPrecedesTheGeneratedData) {
  uint32_t zeros = linked.dataSymbols.at("zeros");
  for (const char* name : {"table", "handlers", "dataPointers", "packed", "gapped", "mixed", "many"})
    EXPECT_LT(linked.dataSymbols.at(name), zeros) << name;
  EXPECT_EQ(zeros % 32, 0u);  // the section's own alignment
  uint32_t generated = linked.dataSymbols.at("ProjectRecord");
  EXPECT_GE(generated, zeros + 256);
  EXPECT_EQ(generated % 4, 0u);
  EXPECT_EQ(loaded.data.size(), generated + 16);
}

TEST(LinkGenerated, GeneratedPointersReachCodeObjectDataAndGeneratedData) {
  LinkRequest request = Request({"data_refs"});
  request.generated.bytes.assign(40, 0);
  request.generated.symbols["Second"] = 12;
  WriteU32LE(request.generated.bytes.data() + 16, 3);  // an addend already in place
  request.generated.relocations = {{16, "HandlerA"}, {21, "table"}, {25, "Second"}};
  LinkResult linked = MustLink(request);
  Loaded loaded = Load(linked);
  uint32_t base = linked.dataSymbols.at("ProjectRecord");
  EXPECT_EQ(linked.dataSymbols.at("Second"), base + 12);
  EXPECT_EQ(Word(loaded.data, base + 16), kCodeAddress + linked.codeSymbols.at("HandlerA") + 3);
  EXPECT_EQ(Word(loaded.data, base + 21), kDataAddress + linked.dataSymbols.at("table"));
  EXPECT_EQ(Word(loaded.data, base + 25), kDataAddress + base + 12);
  EXPECT_EQ(Word(loaded.data, base + 12), 0u);
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
