// The COFF reader over objects the cross compiler really wrote, and over
// damaged copies of them: every prefix, fields pointing outside the file,
// and random damage, which must give an error and never a read out of bounds
// (the sanitizers watch).
#include "tools/image_builder/coff_object.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

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

const coff::Section* FindSection(const coff::Object& object, const std::string& name) {
  for (const coff::Section& s : object.sections)
    if (s.name == name) return &s;
  ADD_FAILURE() << "no section " << name;
  return nullptr;
}

TEST(CoffObject, ReadsSectionsWithShortAndLongNames) {
  coff::Object object = Read(Snippet("calls_main"));
  const coff::Section* text = FindSection(object, ".text");
  const coff::Section* later = FindSection(object, ".text$later");  // longer than 8: string table
  ASSERT_TRUE(text && later);
  EXPECT_TRUE(later->characteristics & coff::kCode);
  EXPECT_EQ(later->alignment, 16u);
  EXPECT_EQ(later->bytes.size(), later->size);
  // Later1 begins with the frame prologue.
  EXPECT_EQ(later->bytes[0], 0x55);
  EXPECT_EQ(later->bytes[1], 0x89);
}

TEST(CoffObject, ComdatSectionsCarryTheirSelection) {
  coff::Object object = Read(Snippet("comdat_a"));
  const coff::Section* code = FindSection(object, ".text$_Z12SharedInlinei");
  const coff::Section* data = FindSection(object, ".data$_ZN7CounterIiE5valueE");
  ASSERT_TRUE(code && data);
  EXPECT_TRUE(code->characteristics & coff::kLinkComdat);
  EXPECT_EQ(code->comdatSelection, coff::kSelectAny);
  EXPECT_EQ(data->comdatSelection, coff::kSelectSameSize);
  EXPECT_EQ(FindSection(object, ".text")->comdatSelection, 0);
}

TEST(CoffObject, WeakSymbolsPointAtTheirDefault) {
  coff::Object object = Read(Snippet("weak_default"));
  const coff::Symbol* hook = nullptr;
  for (const coff::Symbol& s : object.symbols)
    if (!s.isAux && s.name == "_Hook" && s.storageClass == coff::kWeakExternal) hook = &s;
  ASSERT_TRUE(hook);
  const coff::Symbol& fallback = object.symbols[hook->weakDefault];
  EXPECT_TRUE(fallback.name.starts_with(".weak._Hook.")) << fallback.name;
  EXPECT_GT(fallback.section, 0);
}

TEST(CoffObject, ReadsTheRelocationCountThatOverflowsTheHeader) {
  coff::Object object = Read(Snippet("many_pointers"));
  const coff::Section* data = FindSection(object, ".data");
  ASSERT_TRUE(data);
  ASSERT_EQ(data->relocations.size(), 70000u);
  // Each names the section's own symbol, with _target's offset stored in place.
  for (size_t i = 0; i < data->relocations.size(); ++i) {
    ASSERT_EQ(data->relocations[i].offset, 4 * i);
    ASSERT_EQ(object.symbols[data->relocations[i].symbol].name, ".data");
    ASSERT_EQ(ReadU32LE(data->bytes.data() + 4 * i), 4u * 70000);
  }
}

// --- damaged files ----------------------------------------------------------

// Header fields of a COFF file and of its first section header.
constexpr size_t kMachine = 0, kSymbolTable = 8, kSymbolCount = 12;
constexpr size_t kSection = 20, kRawData = kSection + 20, kRelocations = kSection + 24;

std::string Refusal(const Bytes& bytes) {
  coff::Object object;
  std::string error;
  EXPECT_FALSE(coff::ReadObject(bytes, object, error));
  EXPECT_FALSE(error.empty());
  return error;
}

Bytes Patched(Bytes bytes, size_t at, uint32_t value) {
  WriteU32LE(bytes.data() + at, value);
  return bytes;
}

TEST(CoffObjectDamage, EveryProperPrefixIsRefused) {
  Bytes whole = Snippet("calls_other");
  for (size_t n = 0; n < whole.size(); ++n) {
    coff::Object object;
    std::string error;
    ASSERT_FALSE(coff::ReadObject(Bytes(whole.begin(), whole.begin() + n), object, error)) << n;
  }
}

TEST(CoffObjectDamage, FieldsPointingOutsideTheFileAreRefused) {
  Bytes good = Snippet("calls_other");
  uint32_t size = static_cast<uint32_t>(good.size());
  EXPECT_NE(Refusal(Patched(good, kMachine, 0x8664)).find("i386"), std::string::npos);
  EXPECT_NE(Refusal(Patched(good, kRawData, size - 2)).find("contents of .text"), std::string::npos);
  EXPECT_NE(Refusal(Patched(good, kRelocations, 0xFFFFFFF0)).find("relocations of .text"), std::string::npos);
  EXPECT_NE(Refusal(Patched(good, kSymbolCount, 0x10000000)).find("symbol table"), std::string::npos);
  EXPECT_NE(Refusal(Patched(good, kSymbolTable, size)).find("symbol table"), std::string::npos);
}

TEST(CoffObjectDamage, IndexesIntoTablesAreChecked) {
  Bytes good = Snippet("calls_other");
  coff::Object object = Read(good);
  uint32_t symbols = ReadU32LE(good.data() + kSymbolTable);
  uint32_t relocations = ReadU32LE(good.data() + kRelocations);
  // A relocation naming a symbol past the table.
  EXPECT_NE(Refusal(Patched(good, relocations + 4, 100000)).find("symbol that does not exist"),
            std::string::npos);
  // The first symbol (.file) naming a section that does not exist.
  Bytes badSection = good;
  WriteU16LE(badSection.data() + symbols + 12, 40);
  EXPECT_NE(Refusal(badSection).find("section that does not exist"), std::string::npos);
  // The first symbol's name moved into the string table, past its end.
  Bytes badName = Patched(Patched(good, symbols, 0), symbols + 4, 0x7FFFFFFF);
  EXPECT_NE(Refusal(badName).find("string table"), std::string::npos);
  // The last symbol claiming aux records beyond the table.
  Bytes badAux = good;
  badAux[symbols + 18 * (object.symbols.size() - 1) + 17] = 3;
  EXPECT_NE(Refusal(badAux).find("aux records"), std::string::npos);
}

// Random damage either reads (the damage fell on bytes nobody checks) or is
// refused with a message; never a read outside the buffer.
TEST(CoffObjectDamage, RandomDamageIsReadOrRefusedSafely) {
  std::mt19937 random(99);
  for (const char* name : {"calls_main", "comdat_a", "data_refs"}) {
    Bytes good = Snippet(name);
    size_t refused = 0;
    for (int trial = 0; trial < 400; ++trial) {
      Bytes bad = good;
      // Damage the headers and tables, where offsets and counts live.
      size_t headerEnd = std::min<size_t>(bad.size(), 20 + 40 * ReadU16LE(good.data() + 2));
      size_t symbols = ReadU32LE(good.data() + kSymbolTable);
      for (int k = 0; k < 3; ++k) {
        size_t at = random() % 2 ? random() % headerEnd : symbols + random() % (bad.size() - symbols);
        bad[at] = static_cast<uint8_t>(random());
      }
      coff::Object object;
      std::string error;
      if (!coff::ReadObject(bad, object, error)) {
        ++refused;
        EXPECT_FALSE(error.empty());
        continue;
      }
      for (const coff::Section& s : object.sections)
        for (const coff::Relocation& r : s.relocations) ASSERT_LT(r.symbol, object.symbols.size());
      for (const coff::Symbol& s : object.symbols) ASSERT_LE(s.section, static_cast<int>(object.sections.size()));
    }
    EXPECT_GT(refused, 0u) << name;
  }
}

}  // namespace
