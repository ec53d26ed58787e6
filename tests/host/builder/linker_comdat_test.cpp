// Duplicate definitions the compiler makes on purpose: COMDAT copies of
// inline functions and template data in several objects (one copy kept, the
// others dropped with their relocations, as each section's selection asks),
// and weak functions with a default body that a strong definition replaces.
#include <gtest/gtest.h>

#include "sdk/image_format.h"
#include "sdk/le_bytes.h"
#include "tests/host/builder/builder_test_support.h"
#include "tools/image_builder/coff_object.h"

namespace {

using namespace builder_test;

uint16_t SectionNumber(const Bytes& bytes, const std::string& name) {
  coff::Object object;
  std::string error;
  EXPECT_TRUE(coff::ReadObject(bytes, object, error)) << error;
  for (size_t s = 0; s < object.sections.size(); ++s)
    if (object.sections[s].name == name) return static_cast<uint16_t>(s + 1);
  ADD_FAILURE() << "no section " << name;
  return 0;
}

// Rewrites the COMDAT selection (and associated section) in the aux record
// of section `name`'s own symbol, for the selections the assembler cannot
// write itself.
void SetSelection(Bytes& bytes, const std::string& name, uint8_t selection, uint16_t associated = 0) {
  uint16_t number = SectionNumber(bytes, name);
  uint32_t table = ReadU32LE(bytes.data() + 8), count = ReadU32LE(bytes.data() + 12);
  for (uint32_t i = 0; number && i < count; i += 1 + bytes[table + 18 * i + 17]) {
    uint8_t* symbol = bytes.data() + table + 18 * i;
    if (ReadU16LE(symbol + 12) == number && symbol[16] == 3 && symbol[17] > 0) {
      WriteU16LE(symbol + 18 + 12, associated);  // in the aux record that follows
      symbol[18 + 14] = selection;
      return;
    }
  }
  ADD_FAILURE() << "no section symbol for " << name;
}

// Two objects with copies of an inline function and of template data: the
// first object's copy is kept, and both users reach it.
TEST(SharedCopies, BothUsersReachTheOneKeptCopy) {
  LinkResult linked = MustLink(Request({"comdat_a", "comdat_b"}));
  Loaded loaded = Load(linked);
  uint32_t shared = kCodeAddress + linked.codeSymbols.at("_Z12SharedInlinei");
  uint32_t counter = kDataAddress + linked.dataSymbols.at("_ZN7CounterIiE5valueE");
  EXPECT_EQ(Word(loaded.data, counter - kDataAddress), 5u);
  for (const char* user : {"FirstUser", "SecondUser"}) {
    auto [start, end] = FunctionRange(linked, user);
    EXPECT_EQ(CountOf(BranchTargets(loaded.code, start, end), shared), 1u) << user;
    bool reads = false;
    for (uint32_t at = start; at + 4 <= end; ++at) reads |= Word(loaded.code, at) == counter;
    EXPECT_TRUE(reads) << user;
  }
  // The kept copy lies before comdat_b's code.
  EXPECT_LT(linked.codeSymbols.at("_Z12SharedInlinei"), linked.codeSymbols.at("SecondUser"));
  // The dropped copy took its relocations with it. Only SharedInline calls
  // StringLen: with both copies there would be two sites.
  EXPECT_EQ(CountOf(BranchTargets(loaded.code, 0, loaded.code.size()), kStringLenAddress), 1u);
  CodeFixups fixups = ReadCodeFixups(linked.parts.blocks[image::kCodeFixups]);
  // Each user reads the counter once; the kept copy reads it twice and
  // takes its string once. The dropped copy would add three more.
  EXPECT_EQ(fixups.dataReferences.size(), 5u);
}

// Copies whose selection asks them to agree (or never to meet), linked as
// first.o and second.o: a refusal names the symbol and the object at fault.
TEST(ComdatSelection, CopiesThatMustAgreeAreChecked) {
  const struct {
    const char *first, *second;
    std::vector<const char*> says;  // empty: they link
  } cases[] = {
      {"comdat_sized_4", "comdat_sized_4", {}},
      {"comdat_sized_4", "comdat_sized_8", {"Sized", "size", "second.o"}},
      {"comdat_exact_a", "comdat_exact_a", {}},
      {"comdat_exact_a", "comdat_exact_b", {"Exact", "second.o"}},
      {"comdat_one_only", "comdat_one_only", {"OnlyOnce", "first.o", "second.o"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.first) + " + " + c.second);
    LinkRequest request = Request({});
    request.objects.insert(request.objects.begin(),
                           {{"first.o", Snippet(c.first)}, {"second.o", Snippet(c.second)}});
    if (c.says.empty()) {
      MustLink(request);
      continue;
    }
    std::string error = Refusal(request);
    for (const char* word : c.says) EXPECT_NE(error.find(word), std::string::npos) << error;
  }
}

TEST(ComdatSelection, TheLargestCopyWinsWhereverItComes) {
  for (bool largeFirst : {false, true}) {
    Bytes small = Snippet("comdat_sized_4"), large = Snippet("comdat_sized_8");
    SetSelection(small, ".data$sized", 6);
    SetSelection(large, ".data$sized", 6);
    LinkRequest request = Request({});
    auto at = request.objects.begin();
    request.objects.insert(at, {{"small.o", small}, {"large.o", large}});
    if (largeFirst) std::swap(request.objects[0], request.objects[1]);
    LinkResult linked = MustLink(request);
    uint32_t sized = linked.dataSymbols.at("Sized");
    EXPECT_EQ(ReadU32LE(linked.parts.blocks[image::kData].data() + sized + 4), 2u) << largeFirst;
  }
}

TEST(ComdatSelection, AnAssociativeSectionGoesWithTheCopyItFollows) {
  Bytes follower = Snippet("comdat_follower");
  SetSelection(follower, ".data$follower", 5, SectionNumber(follower, ".text$owner"));
  // Alone, its owner is kept and so is it.
  LinkRequest alone = Request({});
  alone.objects.insert(alone.objects.begin(), {"follower.o", follower});
  EXPECT_EQ(MustLink(alone).dataSymbols.count("Follower"), 1u);
  // After another copy of the owner, its owner is dropped and so is it.
  LinkRequest after = Request({"comdat_owner"});
  after.objects.insert(after.objects.begin() + 1, {"follower.o", follower});
  EXPECT_EQ(MustLink(after).dataSymbols.count("Follower"), 0u);
}

TEST(ComdatSelection, AnUnknownSelectionIsRefused) {
  Bytes bytes = Snippet("comdat_owner");
  SetSelection(bytes, ".text$owner", 9);
  LinkRequest request = Request({});
  request.objects.insert(request.objects.begin(), {"odd.o", bytes});
  std::string error = Refusal(request);
  EXPECT_NE(error.find("odd.o"), std::string::npos) << error;
  EXPECT_NE(error.find(".text$owner"), std::string::npos) << error;
}

// The default serves when nothing else defines the name; a strong
// definition (weak_override's code, after all of weak_default's) replaces it.
TEST(WeakSymbols, AStrongDefinitionReplacesTheDefault) {
  uint32_t defaultCodeEnds = 0;
  for (bool strong : {false, true}) {
    LinkResult linked = MustLink(strong ? Request({"weak_default", "weak_override"}) : Request({"weak_default"}));
    Loaded loaded = Load(linked);
    ASSERT_EQ(linked.codeSymbols.count("Hook"), 1u);
    uint32_t hook = linked.codeSymbols.at("Hook");
    if (strong)
      EXPECT_GE(hook, defaultCodeEnds);
    else
      defaultCodeEnds = linked.codeSymbols.at("AppMain");
    auto [start, end] = FunctionRange(linked, "CallsHook");
    EXPECT_EQ(CountOf(BranchTargets(loaded.code, start, end), kCodeAddress + hook), 1u) << strong;
  }
}

}  // namespace
