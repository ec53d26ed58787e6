// Linking and relocation over plain byte buffers. Expected values are worked
// out here from the image format (displacements, added bases), not taken from
// the code under test. Runs natively (with sanitizers) and under Wine.
#include "startup/code_linker.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

#include "sdk/le_bytes.h"

namespace {

constexpr uint32_t kCodeAddr = 0x00500000;
constexpr uint32_t kDataAddr = 0x00A00000;

using Bytes = std::vector<uint8_t>;

struct FakeResolver : ImportResolver {
  std::map<std::string, uint32_t> known;
  std::vector<std::pair<std::string, uint32_t>> deferred;
  std::vector<std::string> asked;

  bool Resolve(const ImportName& import, uint32_t& address, std::string& message) override {
    std::string key = import.kind == ImportKind::Library
                          ? std::string(import.library) + "!" + std::string(import.routine)
                          : std::string(import.routine);
    asked.push_back(key);
    auto it = known.find(key);
    if (it == known.end()) {
      message = "missing " + key;
      return false;
    }
    address = it->second;
    return true;
  }
  bool Defer(const ImportName& import, uint32_t head, std::string&) override {
    deferred.emplace_back(std::string(import.member), head);
    return true;
  }
};

struct Image {
  Bytes code, data;
  LoadedBlocks Blocks() {
    return {code.data(), static_cast<uint32_t>(code.size()), kCodeAddr,
            data.data(), static_cast<uint32_t>(data.size()), kDataAddr};
  }
};

void Put32(Bytes& b, uint32_t v) {
  uint8_t w[4];
  WriteU32LE(w, v);
  b.insert(b.end(), w, w + 4);
}
void Put16(Bytes& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
Bytes ImportRecord(uint32_t head, const std::string& name) {
  Bytes r = {1};
  Put32(r, head);
  r.push_back(static_cast<uint8_t>(name.size()));
  r.insert(r.end(), name.begin(), name.end());
  return r;
}
Bytes DataRefRecord(uint32_t site) {
  Bytes r = {2};
  Put32(r, site);
  return r;
}
Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
uint32_t At(const Bytes& b, uint32_t offset) { return ReadU32LE(b.data() + offset); }

// Code with call sites at the given operand offsets, chained in order.
Bytes ChainedCode(uint32_t size, const std::vector<uint32_t>& sites, uint8_t opcode = 0xE8) {
  Bytes code(size, 0x90);
  for (size_t i = 0; i < sites.size(); ++i) {
    code[sites[i] - 1] = opcode;
    WriteU32LE(code.data() + sites[i], i + 1 < sites.size() ? sites[i + 1] : 0);
  }
  return code;
}
uint32_t Displacement(uint32_t target, uint32_t site) { return target - (kCodeAddr + site + 4); }

TEST(LinkCode, EmptyStreamLinksNothing) {
  Image img{ChainedCode(32, {1}), Bytes(8, 0)};
  Bytes before = img.code;
  FakeResolver r;
  std::string message;
  EXPECT_TRUE(LinkCode(img.Blocks(), nullptr, 0, r, message));
  EXPECT_EQ(img.code, before);
  EXPECT_TRUE(message.empty());
}

TEST(LinkCode, CallChainsOfOneAndSeveralSitesReachTheirTarget) {
  Image img{ChainedCode(64, {1, 11, 30}), {}};
  img.code[44] = 0xE9;  // a lone tail-jump site of a second import
  WriteU32LE(img.code.data() + 45, 0);
  FakeResolver r;
  r.known["k.dll!A"] = 0x7C801000;
  r.known["k.dll!B"] = 0x00401234;
  Bytes fixups = Cat({ImportRecord(1, "!Xk.dll!A"), ImportRecord(45, "!Xk.dll!B")});
  std::string message;
  ASSERT_TRUE(LinkCode(img.Blocks(), fixups.data(), fixups.size(), r, message)) << message;
  for (uint32_t site : {1u, 11u, 30u}) EXPECT_EQ(At(img.code, site), Displacement(0x7C801000, site));
  EXPECT_EQ(At(img.code, 45), Displacement(0x00401234, 45));
  EXPECT_EQ(img.code[44], 0xE9);  // the tail jump keeps its opcode
}

TEST(LinkCode, DataReferencesGetTheDataBaseEvenUnaligned) {
  Image img{Bytes(16, 0), {}};
  WriteU32LE(img.code.data() + 3, 0x20);
  WriteU32LE(img.code.data() + 12, 0);
  Bytes fixups = Cat({DataRefRecord(3), DataRefRecord(12)});
  FakeResolver r;
  std::string message;
  ASSERT_TRUE(LinkCode(img.Blocks(), fixups.data(), fixups.size(), r, message));
  EXPECT_EQ(At(img.code, 3), kDataAddr + 0x20);
  EXPECT_EQ(At(img.code, 12), kDataAddr);
}

TEST(LinkCode, UnknownRecordTypesAreSkippedByteByByte) {
  Image img{Bytes(8, 0), {}};
  Bytes fixups = Cat({{0x00, 0x77, 0xFF}, DataRefRecord(4), {0x03}});
  FakeResolver r;
  std::string message;
  ASSERT_TRUE(LinkCode(img.Blocks(), fixups.data(), fixups.size(), r, message));
  EXPECT_EQ(At(img.code, 4), kDataAddr);
}

TEST(LinkCode, MemberImportsAreDeferredWithTheirChainUntouched) {
  Image img{ChainedCode(32, {1, 6}), {}};
  Bytes before = img.code;
  Bytes fixups = ImportRecord(1, "!SDisclosureTriangle!Value");
  FakeResolver r;
  std::string message;
  ASSERT_TRUE(LinkCode(img.Blocks(), fixups.data(), fixups.size(), r, message));
  ASSERT_EQ(r.deferred.size(), 1u);
  EXPECT_EQ(r.deferred[0].first, "SDisclosureTriangle!Value");
  EXPECT_EQ(r.deferred[0].second, 1u);
  EXPECT_EQ(img.code, before);
}

TEST(LinkCode, AFailedImportStopsLinkingWithTheResolversMessage) {
  Image img{Bytes(16, 0), {}};
  Bytes fixups = Cat({ImportRecord(1, "!Xk.dll!Missing"), DataRefRecord(8)});
  FakeResolver r;
  std::string message;
  EXPECT_FALSE(LinkCode(img.Blocks(), fixups.data(), fixups.size(), r, message));
  EXPECT_EQ(message, "missing k.dll!Missing");
  EXPECT_EQ(At(img.code, 8), 0u);  // the record after it was not applied
}

TEST(ClassifyImport, SplitsTheThreeForms) {
  ImportName lib = ClassifyImport("!Xkernel32.dll!ExitProcess");
  EXPECT_EQ(lib.kind, ImportKind::Library);
  EXPECT_EQ(lib.library, "kernel32.dll");
  EXPECT_EQ(lib.routine, "ExitProcess");
  ImportName noBang = ClassifyImport("!Xkernel32.dll");
  EXPECT_EQ(noBang.kind, ImportKind::Library);
  EXPECT_EQ(noBang.library, "");
  EXPECT_EQ(noBang.routine, "kernel32.dll");
  ImportName member = ClassifyImport("!GSerial!Baud");
  EXPECT_EQ(member.kind, ImportKind::Member);
  EXPECT_EQ(member.member, "GSerial!Baud");
  ImportName runtime = ClassifyImport("RuntimeInit");
  EXPECT_EQ(runtime.kind, ImportKind::Runtime);
  EXPECT_EQ(runtime.routine, "RuntimeInit");
  EXPECT_EQ(ClassifyImport("!").kind, ImportKind::Member);
}

TEST(LinkCode, DamagedRecordsAreRefusedWithoutTouchingMemoryOutsideTheBlock) {
  struct Case {
    const char* what;
    Bytes code;
    Bytes fixups;
    const char* message;
  };
  const std::string kPrefix = "The application image could not be read: ";
  Case cases[] = {
      {"data reference at the last 3 bytes", Bytes(16, 0), DataRefRecord(13),
       "a data reference points outside the code block."},
      {"data reference record cut short", Bytes(16, 0), {2, 1, 0},
       "a code fixup record is cut short."},
      {"import name cut short", Bytes(16, 0), {1, 1, 0, 0, 0, 9, 'a', 'b'},
       "a code fixup record is cut short."},
      {"import head cut short", Bytes(16, 0), {1, 1, 0}, "a code fixup record is cut short."},
      {"chain running out of the block", ChainedCode(16, {1}), ImportRecord(100, "!Xk.dll!A"),
       "a call site lies outside the code block."},
      {"chain that loops", ChainedCode(16, {1}), ImportRecord(6, "!Xk.dll!A"),
       "a chain of call sites does not end."},
  };
  WriteU32LE(cases[5].code.data() + 6, 6);  // the site names itself as next
  for (Case& c : cases) {
    Image img{c.code, {}};
    FakeResolver r;
    r.known["k.dll!A"] = kCodeAddr + 16;  // site 6 is linked to point at itself
    std::string message;
    EXPECT_FALSE(LinkCode(img.Blocks(), c.fixups.data(), c.fixups.size(), r, message)) << c.what;
    EXPECT_EQ(message, kPrefix + c.message) << c.what;
  }
}

// --- RelocateData ------------------------------------------------------------

struct Relocation {
  Image img;
  std::string message;
  bool ok = false;
  Relocation(uint32_t dataSize, const Bytes& fixups) {
    img.data.assign(dataSize, 0);
    for (uint32_t i = 0; i + 4 <= dataSize; i += 4) WriteU32LE(img.data.data() + i, i);
    ok = RelocateData(img.Blocks(), fixups.data(), fixups.size(), message);
  }
  // The word at `offset` as it was before relocation, plus `base`.
  uint32_t Original(uint32_t offset) const {
    Bytes fresh(img.data.size(), 0);
    for (uint32_t i = 0; i + 4 <= fresh.size(); i += 4) WriteU32LE(fresh.data() + i, i);
    return ReadU32LE(fresh.data() + offset);
  }
  uint32_t Word(uint32_t offset) const { return ReadU32LE(img.data.data() + offset); }
};

Bytes Words(std::initializer_list<uint16_t> words) {
  Bytes b;
  for (uint16_t w : words) Put16(b, w);
  return b;
}

TEST(RelocateData, EmptyAndOddLengthStreams) {
  Relocation empty(16, {});
  EXPECT_TRUE(empty.ok);
  EXPECT_EQ(empty.Word(0), 0u);
  Bytes odd = Words({0x4000});
  odd.push_back(0x42);  // a lone last byte is no word
  Relocation r(16, odd);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.Word(0), kCodeAddr);
  EXPECT_EQ(r.Word(4), 4u);
}

TEST(RelocateData, AdvancesOfOneAndOfFourThousandNinetySixBytes) {
  Relocation r(8192, Words({0x8000, 0x4200, 0x8FFF, 0x4600}));
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.Word(1), r.Original(1) + kDataAddr);  // unaligned
  EXPECT_EQ(r.Word(5 + 4096), r.Original(5 + 4096) + kCodeAddr);
  EXPECT_EQ(r.Word(0) & 0xFF, 0u);  // the byte before the cursor is untouched
}

TEST(RelocateData, RunsOfOneAndOfFiveHundredTwelveValues) {
  Relocation r(4 + 2048 + 4, Words({0x4000, 0x41FF}));
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.Word(0), kCodeAddr);
  for (uint32_t i = 0; i < 512; ++i) EXPECT_EQ(r.Word(4 + 4 * i), 4 + 4 * i + kCodeAddr);
  EXPECT_EQ(r.Word(4 + 2048), 4u + 2048u);  // value 513 is not part of the run
}

TEST(RelocateData, OtherWordsAreIgnoredAndTheCursorStays) {
  Relocation r(16, Words({0x1234, 0x4400, 0xC000, 0x4200}));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.Word(0), kDataAddr);
  EXPECT_EQ(r.Word(4), 4u);
}

TEST(RelocateData, AStreamEndingEarlyLeavesTheRestUnrelocated) {
  Relocation r(64, Words({0x4201}));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.Word(4), 4 + kDataAddr);
  for (uint32_t i = 8; i < 64; i += 4) EXPECT_EQ(r.Word(i), i);
}

TEST(RelocateData, ARunPastTheBlockIsRefusedAndWritesNothingThere) {
  Relocation r(16, Words({0x8007, 0x4201}));  // cursor 8, two words: fits exactly
  EXPECT_TRUE(r.ok);
  Relocation past(16, Words({0x8008, 0x4201}));  // cursor 9: the second word would not fit
  EXPECT_FALSE(past.ok);
  EXPECT_EQ(past.message,
            "The application image could not be read: a data fixup points outside the data block.");
  EXPECT_EQ(past.Word(12), 12u);
  Relocation advanceOnly(16, Words({0x8FFF, 0x8FFF}));  // moving past the end writes nothing
  EXPECT_TRUE(advanceOnly.ok);
}

// Random fixup streams over small blocks: whatever the bytes, the passes end
// and never touch memory outside their blocks (the sanitizers watch that on
// the host).
TEST(LinkerFuzz, RandomStreamsStayInsideTheirBlocks) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 3000; ++round) {
    Image img{Bytes(rng() % 40, 0), Bytes(rng() % 40, 0)};
    for (auto& b : img.code) b = static_cast<uint8_t>(rng() % 3 == 0 ? rng() : rng() % 40);
    Bytes fixups(rng() % 48);
    for (auto& b : fixups) b = static_cast<uint8_t>(rng() % 4 == 0 ? rng() % 3 : rng());
    FakeResolver r;
    r.known[""] = 0x1000;
    std::string message;
    LinkCode(img.Blocks(), fixups.data(), fixups.size(), r, message);
    RelocateData(img.Blocks(), fixups.data(), fixups.size(), message);
  }
  SUCCEED();
}

}  // namespace
