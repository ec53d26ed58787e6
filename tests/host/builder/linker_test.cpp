// The linker over objects the cross compiler really wrote (builder_inputs),
// loaded by the runtime's own LinkCode and RelocateData; its refusals; and
// the fixup encoders on their own.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <tuple>

#include "sdk/image_format.h"
#include "sdk/le_bytes.h"
#include "startup/code_linker.h"
#include "tools/image_builder/coff_object.h"
#include "tools/image_builder/fixup_encoding.h"
#include "tools/image_builder/image_linker.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kCodeAddress = 0x00400000;
constexpr uint32_t kDataAddress = 0x01000000;
constexpr uint32_t kStringLenAddress = 0x7E000010;
constexpr uint32_t kStringMid2Address = 0x7E000020;
constexpr uint32_t kMessageBoxAddress = 0x7E100000;

// The object file compiled from builder_inputs/<name>.cpp or .s.
Bytes Snippet(const std::string& name) {
  std::string path = std::string(BUILDER_INPUTS_DIR) + "/" + name + ".o";
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << "missing compiled snippet " << path;
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The snippets, then `objects`, then entry.o ("AppMain"); 16 generated
// bytes defining "ProjectRecord"; the runtime names the snippets call.
LinkRequest Request(std::initializer_list<std::string> snippets, std::vector<ObjectFile> objects = {}) {
  LinkRequest request;
  for (const std::string& name : snippets) request.objects.push_back({name + ".o", Snippet(name)});
  request.objects.insert(request.objects.end(), objects.begin(), objects.end());
  request.objects.push_back({"entry.o", Snippet("entry")});
  request.generated.bytes.assign(16, 0);
  request.generated.symbols["ProjectRecord"] = 0;
  request.entrySymbol = "AppMain";
  request.projectRecordSymbol = "ProjectRecord";
  request.runtimeNames = {"RuntimeInit", "StringLen", "StringMid2"};
  return request;
}

LinkResult MustLink(const LinkRequest& request) {
  LinkResult result;
  std::string error;
  EXPECT_TRUE(LinkImage(request, result, error)) << error;
  return result;
}

std::string Refusal(const LinkRequest& request) {
  LinkResult result;
  std::string error;
  EXPECT_FALSE(LinkImage(request, result, error));
  return error;
}

// The runtime's imports at the addresses above, each name asked for kept
// (one per import record).
struct FakeRuntime : ImportResolver {
  std::vector<std::string> asked;
  bool Resolve(const ImportName& import, uint32_t& address, std::string& message) override {
    std::string key(import.routine);
    if (import.kind == ImportKind::Library) key = std::string(import.library) + "!" + key;
    asked.push_back(key);
    address = key == "StringLen" ? kStringLenAddress : key == "StringMid2" ? kStringMid2Address
              : key == "user32!MessageBoxA" ? kMessageBoxAddress : 0;
    message = "no import " + key;
    return address != 0;
  }
  bool Defer(const ImportName&, uint32_t, std::string&) override { return true; }
};

struct Loaded {
  Bytes code, data;
  std::vector<std::string> imports;
};
Loaded Load(const LinkResult& linked) {
  Loaded loaded{linked.parts.blocks[image::kCode], linked.parts.blocks[image::kData], {}};
  LoadedBlocks blocks{loaded.code.data(), static_cast<uint32_t>(loaded.code.size()), kCodeAddress,
                      loaded.data.data(), static_cast<uint32_t>(loaded.data.size()), kDataAddress};
  const Bytes& codeFixups = linked.parts.blocks[image::kCodeFixups];
  const Bytes& dataFixups = linked.parts.blocks[image::kDataFixups];
  FakeRuntime runtime;
  std::string m;
  EXPECT_TRUE(LinkCode(blocks, codeFixups.data(), static_cast<uint32_t>(codeFixups.size()), runtime, m)) << m;
  EXPECT_TRUE(RelocateData(blocks, dataFixups.data(), static_cast<uint32_t>(dataFixups.size()), m)) << m;
  loaded.imports = runtime.asked;
  return loaded;
}

uint32_t Word(const Bytes& block, uint32_t offset) {
  if (offset + 4ull <= block.size()) return ReadU32LE(block.data() + offset);
  ADD_FAILURE() << "word at " << offset << " lies outside a block of " << block.size();
  return 0;
}

// From a function's symbol to the next code symbol or the end.
std::pair<uint32_t, uint32_t> FunctionRange(const LinkResult& linked, const std::string& name) {
  uint32_t start = linked.codeSymbols.at(name),
           end = static_cast<uint32_t>(linked.parts.blocks[image::kCode].size());
  for (const auto& [other, offset] : linked.codeSymbols)
    if (offset > start && offset < end) end = offset;
  return {start, end};
}

// How many rel32 calls, jmps or conditional jumps in `range` lead to `target`.
size_t Sites(const Bytes& code, std::pair<size_t, size_t> range, uint32_t target) {
  size_t sites = 0;
  for (size_t at = range.first; at < range.second && at + 5 <= code.size(); ++at) {
    bool call = code[at] == 0xE8 || code[at] == 0xE9;
    if (!call && !(code[at] == 0x0F && (code[at + 1] & 0xF0) == 0x80 && at + 6 <= code.size())) continue;
    size_t operand = at + (call ? 1 : 2);
    sites += static_cast<uint32_t>(kCodeAddress + operand + 4 + ReadU32LE(code.data() + operand)) == target;
  }
  return sites;
}

// Later1 and Later2 are called through their section's symbol plus an
// offset; laterTable in data holds their addresses. Callee is offered by the
// runtime as well: the object's definition wins. Debug information is left out.
TEST(LinkCalls, EverySiteReachesItsTargetAndDebugInformationIsLeftOut) {
  LinkRequest request = Request({"calls_main", "calls_other", "lower_case_import"});
  request.runtimeNames.insert("Callee");
  LinkResult linked = MustLink(request);
  Loaded loaded = Load(linked);
  uint32_t table = linked.dataSymbols.at("laterTable");
  uint32_t later1 = Word(loaded.data, table), later2 = Word(loaded.data, table + 4);
  EXPECT_EQ(later2 - later1, 0x20u);
  const struct { const char* function; uint32_t target; size_t sites; } cases[] = {
      {"CallsCallee", kCodeAddress + linked.codeSymbols.at("Callee"), 1}, {"ThreeLens", kStringLenAddress, 3},
      {"Callee", kStringLenAddress, 1}, {"LowerCaseCall", kStringLenAddress, 1}, {"TailMid", kStringMid2Address, 1},
      {"Ask", kMessageBoxAddress, 1}, {"CallsLater", later1, 1}, {"CallsLater", later2, 1}};
  for (const auto& c : cases)
    EXPECT_EQ(Sites(loaded.code, FunctionRange(linked, c.function), c.target), c.sites) << c.function;
  // No StringLen site left unlinked; one import record per name (a second
  // chain for StringLen, or one under the call's lower-case spelling, makes four).
  EXPECT_EQ(Sites(loaded.code, {0, loaded.code.size()}, kStringLenAddress), 5u);
  EXPECT_EQ(loaded.imports.size(), 3u);
  request.objects[1].bytes = Snippet("calls_other_g");  // calls_other.o with debug information
  LinkResult debug = MustLink(request);
  for (int block = 0; block < image::kBlockCount; ++block)
    EXPECT_EQ(linked.parts.blocks[block], debug.parts.blocks[block]) << "block " << block;
  EXPECT_EQ(linked.codeSymbols, debug.codeSymbols);
}

// data_refs.cpp's pointers after relocation, and many_pointers.s's 70,000 in
// one section; the bytes around them stay. Zero-filled data follows the data
// sections and precedes the generated data.
TEST(LinkData, PointersInDataReachTheirTargetsAndTheBytesAroundThemStay) {
  LinkResult linked = MustLink(Request({"data_refs", "many_pointers"}));
  Loaded loaded = Load(linked);
  auto At = [&](const char* name, uint32_t plus) { return Word(loaded.data, linked.dataSymbols.at(name) + plus); };
  auto Data = [&](const char* name, uint32_t plus) { return kDataAddress + linked.dataSymbols.at(name) + plus; };
  auto Code = [&](const char* name) { return kCodeAddress + linked.codeSymbols.at(name); };
  const struct { const char* at; uint32_t plus, expected; } cases[] = {
      {"handlers", 0, Code("HandlerA")},  {"handlers", 4, Code("HandlerB")},
      {"mixed", 0, Code("HandlerA")},     {"mixed", 4, Data("table", 0)},
      {"mixed", 8, Code("HandlerB")},     {"packed", 1, Data("table", 8)},
      {"packed", 6, Code("HandlerB")},    {"gapped", 0, Data("table", 0)},
      {"target", 0, 7},                   {"gapped", 4 + 6000, Data("zeros", 12)},
  };
  for (const auto& c : cases) EXPECT_EQ(At(c.at, c.plus), c.expected) << c.at << " + " << c.plus;
  for (uint32_t i = 0; i < 70000; ++i) ASSERT_EQ(At("manyPointers", 4 * i), Data("target", 0)) << i;
  const std::tuple<const char*, uint32_t, uint8_t> kept[] = {
      {"packed", 0, 'p'}, {"packed", 5, 'q'}, {"gapped", 4, 1}, {"gapped", 6, 3}, {"gapped", 7, 0}};
  for (const auto& [name, plus, byte] : kept)
    EXPECT_EQ(loaded.data[linked.dataSymbols.at(name) + plus], byte) << name << plus;
  for (uint32_t i = 0; i < 64; ++i) ASSERT_EQ(At("zeros", 4 * i), 0u) << i;
  uint32_t zeros = linked.dataSymbols.at("zeros");
  for (const char* name : {"table", "handlers", "packed", "gapped", "mixed"})
    EXPECT_LT(linked.dataSymbols.at(name), zeros) << name;
  EXPECT_EQ(zeros % 32, 0u);  // the section's own alignment
  uint32_t generated = linked.dataSymbols.at("ProjectRecord");
  EXPECT_GE(generated, zeros + 256);
  EXPECT_EQ(generated % 4, 0u);
  EXPECT_EQ(linked.parts.blocks[image::kData].size(), generated + 16);
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
    EXPECT_EQ(Sites(loaded.code, {start, end}, shared), 1u) << user;
    bool reads = false;
    for (uint32_t at = start; at + 4 <= end; ++at) reads |= Word(loaded.code, at) == counter;
    EXPECT_TRUE(reads) << user;
  }
  EXPECT_LT(linked.codeSymbols.at("_Z12SharedInlinei"), linked.codeSymbols.at("SecondUser"));
  // The dropped copy took its relocations (its StringLen site) with it.
  EXPECT_EQ(Sites(loaded.code, {0, loaded.code.size()}, kStringLenAddress), 1u);
}

// Copies whose selection asks them to agree (or never to meet), linked as
// first.o and second.o: a refusal names the symbol and the object at fault.
TEST(ComdatSelection, CopiesThatMustAgreeAreChecked) {
  const struct { const char *first, *second; std::vector<const char*> says; /* empty: they link */ } cases[] = {
      {"comdat_sized_4", "comdat_sized_4", {}},
      {"comdat_sized_4", "comdat_sized_8", {"Sized", "size", "second.o"}},
      {"comdat_exact_a", "comdat_exact_a", {}},
      {"comdat_exact_a", "comdat_exact_b", {"Exact", "second.o"}},
      {"comdat_one_only", "comdat_one_only", {"OnlyOnce", "first.o", "second.o"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.first) + " + " + c.second);
    LinkRequest request = Request({}, {{"first.o", Snippet(c.first)}, {"second.o", Snippet(c.second)}});
    if (c.says.empty()) MustLink(request);
    std::string error = c.says.empty() ? "" : Refusal(request);
    for (const char* word : c.says) EXPECT_NE(error.find(word), std::string::npos) << error;
  }
}

// Each snippet does one thing the image cannot express: the message names
// the object file and the symbol or section at fault. Then requests that go
// wrong beyond any one object (the generated data is 16 bytes).
TEST(Refusals, EachForbiddenThingAndEachRequestThatCannotBeLinkedIsNamed) {
  const std::pair<std::string, std::vector<const char*>> rows[] = {
      {"refuse_constructor", {".ctors", "constructors"}},
      {"refuse_tls", {".tls$", "thread-local"}},
      {"refuse_unknown_section", {".vellory"}},
      {"refuse_plain_undefined", {"plain_symbol", "not defined"}},
      {"refuse_long_name", {"!Xlib!abcdefghij", "255"}},
      {"refuse_code_address", {"from code to code", "Target"}},
      {"refuse_import_address", {"StringLen", "address"}},
      {"refuse_import_pointer", {"StringLen", "data"}},
      {"refuse_rel32_in_data", {"relative", ".text"}},
      {"refuse_relative_data", {"relative", "value"}},
      {"refuse_import_offset", {"StringLen", "+ 4"}},
      {"refuse_rva", {"type 0x7", ".data", "base"}},
      {"refuse_common", {"shared", "common"}},
      {"refuse_not_offered", {"StringFoo is not offered by the runtime"}},
  };
  for (const auto& [snippet, words] : rows) {
    SCOPED_TRACE(snippet);
    std::string error = Refusal(Request({snippet}));
    EXPECT_TRUE(error.starts_with(snippet + ".o: ")) << error;
    for (const char* word : words) EXPECT_NE(error.find(word), std::string::npos) << error;
  }
  const struct { const char* says; void (*change)(LinkRequest&); } cases[] = {
      {"two.o: Callee is already defined in one.o",
       [](LinkRequest& r) { for (auto o : {"one.o", "two.o"}) r.objects.push_back({o, Snippet("calls_other")}); }},
      {"table is already defined in data_refs.o", [](LinkRequest& r) { r.generated.symbols["table"] = 4; }},
      {"NoSuchEntry", [](LinkRequest& r) { r.entrySymbol = "NoSuchEntry"; }},
      {"table", [](LinkRequest& r) { r.entrySymbol = "table"; }},                // data, not code
      {"HandlerA", [](LinkRequest& r) { r.projectRecordSymbol = "HandlerA"; }},  // code, not data
      {"NoSuchThing", [](LinkRequest& r) { r.generated.relocations = {{0, "NoSuchThing"}}; }},
      {"outside", [](LinkRequest& r) { r.generated.relocations = {{13, "table"}}; }},  // ends at 17
      {"Beyond", [](LinkRequest& r) { r.generated.symbols["Beyond"] = 17; }},
      {"notes.txt: ", [](LinkRequest& r) { r.objects.push_back({"notes.txt", {'h', 'e', 'l', 'l', 'o'}}); }},
  };
  for (const auto& c : cases) {
    LinkRequest request = Request({"data_refs"});
    c.change(request);
    EXPECT_NE(Refusal(request).find(c.says), std::string::npos) << c.says;
  }
}

// The COFF reader: every prefix of a real object, and fields and indexes
// pointing outside the file or their table, refused with what is wrong.
TEST(Refusals, CoffFieldsAndIndexesPointingOutsideAreRefused) {
  Bytes good = Snippet("calls_other");
  coff::Object object;
  std::string error;
  for (size_t n = 0; n < good.size(); ++n)
    ASSERT_FALSE(coff::ReadObject(Bytes(good.begin(), good.begin() + n), object, error)) << n;
  ASSERT_TRUE(coff::ReadObject(good, object, error)) << error;
  // Header fields of a COFF file and of its first section header.
  constexpr uint32_t kSymbolTable = 8, kSection = 20, kRelocations = kSection + 24;
  uint32_t size = static_cast<uint32_t>(good.size());
  uint32_t symbols = ReadU32LE(good.data() + kSymbolTable), relocations = ReadU32LE(good.data() + kRelocations);
  uint32_t lastSymbol = symbols + 18 * static_cast<uint32_t>(object.symbols.size() - 1);
  struct Patch { uint32_t at, value, width; };
  const std::pair<const char*, std::vector<Patch>> cases[] = {
      {"i386", {{0, 0x8664, 4}}},
      {"contents of .text", {{kSection + 20, size - 2, 4}}},
      {"relocations of .text", {{kRelocations, 0xFFFFFFF0, 4}}},
      {"symbol table", {{12, 0x10000000, 4}}},  // the symbol count
      {"symbol that does not exist", {{relocations + 4, 100000, 4}}},  // the first relocation's
      {"section that does not exist", {{symbols + 12, 40, 2}}},  // .file's section number
      {"string table", {{symbols, 0, 4}, {symbols + 4, 0x7FFFFFFF, 4}}},  // .file's name, past its end
      {"aux records", {{lastSymbol + 17, 3, 1}}},  // beyond the table
  };
  for (const auto& [says, patches] : cases) {
    Bytes bad = good;
    for (const Patch& p : patches)
      for (uint32_t i = 0; i < p.width; ++i) bad[p.at + i] = static_cast<uint8_t>(p.value >> (8 * i));
    EXPECT_FALSE(coff::ReadObject(bad, object, error)) << says;
    EXPECT_NE(error.find(says), std::string::npos) << error;
  }
}

using Words = std::vector<uint16_t>;

Words DataWords(const std::vector<DataPointer>& pointers) {
  Bytes bytes;
  std::string error;
  EXPECT_TRUE(EncodeDataFixups(pointers, bytes, error)) << error;
  EXPECT_EQ(bytes.size() % 2, 0u);
  Words words;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) words.push_back(ReadU16LE(bytes.data() + i));
  return words;
}

DataPointer Code(uint32_t offset) { return {offset, PointerKind::Code}; }
DataPointer Data(uint32_t offset) { return {offset, PointerKind::Data}; }

std::vector<DataPointer> Consecutive(uint32_t first, size_t count, PointerKind kind) {
  std::vector<DataPointer> out;
  for (size_t i = 0; i < count; ++i) out.push_back({first + 4 * static_cast<uint32_t>(i), kind});
  return out;
}

// Words worked out by hand from the format: a run is 0x4000 (code) or 0x4200
// (data) plus its count less one, an advance 0x8000 plus its distance less one.
TEST(FixupEncoding, PointerLayoutsGiveTheirWordsOverlapsAreRefusedAndALongestImportNameFits) {
  const struct { const char* what; std::vector<DataPointer> pointers; Words words; } rows[] = {
      {"consecutive pointers of one kind merge", {Data(0), Data(4), Data(8), Code(12), Code(16)}, {0x4202, 0x4001}},
      {"out of order: sorted first", {Data(8), Code(0), Data(4)}, {0x4000, 0x4201}},
      {"a gap of one whole advance", {Code(0), Data(4 + 4096)}, {0x4000, 0x8FFF, 0x4200}},
      {"a gap one past an advance", {Code(0), Data(4 + 4097)}, {0x4000, 0x8FFF, 0x8000, 0x4200}},
      // Cursor 0 -> 1 (advance 1), run of one to 5, advance 1 to 6.
      {"unaligned pointers", {Data(1), Code(6)}, {0x8000, 0x4200, 0x8000, 0x4000}},
      {"not four apart: a new run", {Data(0), Data(5)}, {0x4200, 0x8000, 0x4200}},
      {"a run of 512", Consecutive(0, 512, PointerKind::Data), {0x43FF}},
      {"a run of 513", Consecutive(0, 513, PointerKind::Code), {0x41FF, 0x4000}},
  };
  for (const auto& r : rows) EXPECT_EQ(DataWords(r.pointers), r.words) << r.what;
  // Overlapping pointers are refused; an import name of 255 bytes fits its length byte.
  Bytes out;
  std::string error;
  EXPECT_FALSE(EncodeDataFixups({Data(0), Code(2)}, out, error));
  EXPECT_NE(error.find("overlap"), std::string::npos) << error;
  ASSERT_TRUE(EncodeCodeFixups({{std::string(255, 'n'), 9}}, {}, out, error)) << error;
  EXPECT_EQ(out.size(), 1u + 4 + 1 + 255);
  EXPECT_EQ(out[5], 255);
}

}  // namespace
