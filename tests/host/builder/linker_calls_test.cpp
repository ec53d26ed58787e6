// Calls in linked code: between application functions (resolved by the
// builder) and to imports (chained by the builder, linked by the runtime's
// own LinkCode). Each check follows a call site's displacement to where it
// really lands.
#include <gtest/gtest.h>

#include "sdk/image_format.h"
#include "tests/host/builder/builder_test_support.h"

namespace {

using namespace builder_test;

// Between objects, to runtime imports (several sites of one, a tail call), to
// a library import (the one kind of import only this test links), and to
// Later1 and Later2: static, in a section of their own, reached through that
// section's symbol plus their offset in it; the table in data holds their
// addresses by another route, the data fixups.
TEST(LinkCalls, EverySiteReachesItsTarget) {
  LinkResult linked = MustLink(Request({"calls_main", "calls_other"}));
  Loaded loaded = Load(linked);
  uint32_t table = linked.dataSymbols.at("laterTable");
  uint32_t later1 = Word(loaded.data, table), later2 = Word(loaded.data, table + 4);
  EXPECT_EQ(later2 - later1, 0x20u);
  // Both lie in the code block, past the .text of calls_main.
  EXPECT_GT(later1, kCodeAddress + linked.codeSymbols.at("CallsLater"));
  EXPECT_LT(later2, kCodeAddress + linked.parts.blocks[image::kCode].size());
  const struct {
    const char* function;
    uint32_t target;
    size_t sites;
  } cases[] = {{"CallsCallee", kCodeAddress + linked.codeSymbols.at("Callee"), 1},
               {"ThreeLens", kStringLenAddress, 3}, {"Callee", kStringLenAddress, 1},
               {"TailMid", kStringMid2Address, 1},  {"Ask", kMessageBoxAddress, 1},
               {"CallsLater", later1, 1},           {"CallsLater", later2, 1}};
  for (const auto& c : cases) {
    auto [start, end] = FunctionRange(linked, c.function);
    EXPECT_EQ(CountOf(BranchTargets(loaded.code, start, end), c.target), c.sites) << c.function;
  }
  // Nothing else calls StringLen: no site was left unlinked, none linked twice.
  EXPECT_EQ(CountOf(BranchTargets(loaded.code, 0, loaded.code.size()), kStringLenAddress), 4u);
}

TEST(LinkCalls, ImportsAreMatchedWithoutRegardToCaseAndNamedAsTheRuntimeListsThem) {
  LinkResult linked = MustLink(Request({"lower_case_import", "calls_other"}));
  CodeFixups fixups = ReadCodeFixups(linked.parts.blocks[image::kCodeFixups]);
  ASSERT_EQ(fixups.imports.size(), 1u);
  EXPECT_EQ(fixups.imports[0].first, "StringLen");
  Loaded loaded = Load(linked);
  EXPECT_EQ(CountOf(BranchTargets(loaded.code, 0, loaded.code.size()), kStringLenAddress), 2u);
}

TEST(LinkCalls, AnObjectDefinitionWinsOverARuntimeNameOfTheSameSpelling) {
  // calls_other defines Callee; offering "Callee" from the runtime as well
  // must not turn the call into an import.
  LinkRequest request = Request({"calls_main", "calls_other"});
  request.runtimeNames.insert("Callee");
  LinkResult linked = MustLink(request);
  for (const auto& [name, head] : ReadCodeFixups(linked.parts.blocks[image::kCodeFixups]).imports)
    EXPECT_NE(name, "Callee");
}

TEST(LinkCalls, DebugInformationIsLeftOut) {
  LinkResult plain = MustLink(Request({"calls_other"}));
  LinkResult debug = MustLink(Request({"calls_other_g"}));
  for (int block = 0; block < image::kBlockCount; ++block)
    EXPECT_EQ(plain.parts.blocks[block], debug.parts.blocks[block]) << "block " << block;
  EXPECT_EQ(plain.codeSymbols, debug.codeSymbols);
}

}  // namespace
