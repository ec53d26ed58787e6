// Calls in linked code: between application functions (resolved by the
// builder) and to imports (chained by the builder, linked by the runtime's
// own LinkCode). Each check follows a call site's displacement to where it
// really lands.
#include <gtest/gtest.h>

#include "sdk/image_format.h"
#include "tests/host/builder/builder_test_support.h"

namespace {

using namespace builder_test;

class LinkedCalls : public testing::Test {
 protected:
  void SetUp() override {
    linked = MustLink(Request({"calls_main", "calls_other"}));
    loaded = Load(linked);
  }
  std::vector<uint32_t> Targets(const std::string& function) {
    auto [start, end] = FunctionRange(linked, function);
    return BranchTargets(loaded.code, start, end);
  }
  uint32_t CodeAddress(const std::string& name) { return kCodeAddress + linked.codeSymbols.at(name); }

  LinkResult linked;
  Loaded loaded;
};

// Between objects, to runtime imports (several sites of one, a tail call)
// and to a library import.
TEST_F(LinkedCalls, EverySiteReachesItsTarget) {
  const struct {
    const char* function;
    uint32_t target;
    size_t sites;
  } cases[] = {{"CallsCallee", CodeAddress("Callee"), 1},   {"ThreeLens", kStringLenAddress, 3},
               {"Callee", kStringLenAddress, 1},            {"TailMid", kStringMid2Address, 1},
               {"Ask", kMessageBoxAddress, 1}};
  for (const auto& c : cases) EXPECT_EQ(CountOf(Targets(c.function), c.target), c.sites) << c.function;
  // Nothing else in the code calls StringLen: no site was left unlinked
  // and none was linked twice.
  EXPECT_EQ(CountOf(BranchTargets(loaded.code, 0, loaded.code.size()), kStringLenAddress), 4u);
  // The tail call is a jump, linked like a call.
  auto [start, end] = FunctionRange(linked, "TailMid");
  bool viaJump = false;
  for (uint32_t at = start; at + 5 <= end; ++at)
    viaJump |= loaded.code[at] == 0xE9 &&
               kCodeAddress + at + 5 + Word(loaded.code, at + 1) == kStringMid2Address;
  EXPECT_TRUE(viaJump);
}

// Later1 and Later2 are static, in a section of their own, and reached
// through that section's symbol plus their offset in it; the table in data
// holds their addresses by another route, the data fixups.
TEST_F(LinkedCalls, CallsIntoAnotherSectionKeepTheOffsetWithinIt) {
  uint32_t table = linked.dataSymbols.at("laterTable");
  uint32_t later1 = Word(loaded.data, table);
  uint32_t later2 = Word(loaded.data, table + 4);
  EXPECT_EQ(later2 - later1, 0x20u);
  std::vector<uint32_t> targets = Targets("CallsLater");
  EXPECT_EQ(CountOf(targets, later1), 1u);
  EXPECT_EQ(CountOf(targets, later2), 1u);
  // Both lie in the code block, past the .text of calls_main.
  EXPECT_GT(later1, CodeAddress("CallsLater"));
  EXPECT_LT(later2, kCodeAddress + linked.parts.blocks[image::kCode].size());
}

TEST_F(LinkedCalls, EachImportHasOneRecordWhoseChainHoldsAllItsSites) {
  CodeFixups fixups = ReadCodeFixups(linked.parts.blocks[image::kCodeFixups]);
  std::map<std::string, size_t> sites;
  for (const auto& [name, head] : fixups.imports) {
    EXPECT_EQ(sites.count(name), 0u) << name << " has two records";
    sites[name] = ChainSites(linked.parts.blocks[image::kCode], head).size();
  }
  std::map<std::string, size_t> expected = {
      {"StringLen", 4}, {"StringMid2", 1}, {"!SDisclosureTriangle!Value", 1}, {"!Xuser32!MessageBoxA", 1}};
  EXPECT_EQ(sites, expected);
}

TEST(LinkCalls, ImportsAreMatchedWithoutRegardToCaseAndNamedAsTheRuntimeListsThem) {
  LinkResult linked = MustLink(Request({"lower_case_import", "calls_other"}));
  CodeFixups fixups = ReadCodeFixups(linked.parts.blocks[image::kCodeFixups]);
  ASSERT_EQ(fixups.imports.size(), 1u);
  EXPECT_EQ(fixups.imports[0].first, "StringLen");
  EXPECT_EQ(ChainSites(linked.parts.blocks[image::kCode], fixups.imports[0].second).size(), 2u);
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
