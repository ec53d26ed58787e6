// Linking and relocation over byte buffers, expected values worked out from the
// image format. Call chains are linked by every image test; fuzz_readers feeds
// random streams.
#include "startup/code_linker.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "sdk/le_bytes.h"

namespace {

constexpr uint32_t kCodeAddr = 0x00500000;
constexpr uint32_t kDataAddr = 0x00A00000;
const std::string kPrefix = "The application image could not be read: ";

using Bytes = std::vector<uint8_t>;

// Knows library routines by "library!routine".
struct FakeResolver : ImportResolver {
  std::map<std::string, uint32_t> known;
  bool Resolve(const ImportName& import, uint32_t& address, std::string&) override {
    auto it = known.find(std::string(import.library) + "!" + std::string(import.routine));
    if (it == known.end()) return false;
    address = it->second;
    return true;
  }
  bool Defer(const ImportName&, uint32_t, std::string&) override { return true; }
};

struct Image {
  Bytes code, data;
  LoadedBlocks Blocks() {
    return {code.data(), static_cast<uint32_t>(code.size()), kCodeAddr,
            data.data(), static_cast<uint32_t>(data.size()), kDataAddr};
  }
  bool Link(const Bytes& fixups, FakeResolver& r, std::string& message) {
    return LinkCode(Blocks(), fixups.data(), static_cast<uint32_t>(fixups.size()), r, message);
  }
};

Bytes Le32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }
Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
Bytes ImportRecord(uint32_t head, const std::string& name) {
  return Cat({{1}, Le32(head), {static_cast<uint8_t>(name.size())}, Bytes(name.begin(), name.end())});
}
Bytes DataRefRecord(uint32_t site) { return Cat({{2}, Le32(site)}); }
uint32_t At(const Bytes& b, uint32_t offset) { return ReadU32LE(b.data() + offset); }

TEST(ClassifyImport, SplitsTheThreeForms) {
  const struct { const char* name; ImportKind kind; const char *library, *routine, *member; } rows[] = {
      {"!Xkernel32.dll!ExitProcess", ImportKind::Library, "kernel32.dll", "ExitProcess", ""},
      {"!Xkernel32.dll", ImportKind::Library, "", "kernel32.dll", ""},
      {"!GSerial!Baud", ImportKind::Member, "", "", "GSerial!Baud"},
      {"RuntimeInit", ImportKind::Runtime, "", "RuntimeInit", ""},
      {"!", ImportKind::Member, "", "", ""}};
  for (const auto& r : rows) {
    ImportName n = ClassifyImport(r.name);
    EXPECT_EQ(n.kind, r.kind) << r.name;
    EXPECT_EQ(std::string(n.library) + "|" + std::string(n.routine) + "|" + std::string(n.member),
              std::string(r.library) + "|" + r.routine + "|" + r.member) << r.name;
  }
}

// Data references get the data base, unaligned too; any other record type
// is one byte long.
TEST(LinkCode, DataReferencesGetTheDataBaseAndDamagedRecordsAreRefusedWithoutTouchingMemoryOutsideTheBlock) {
  FakeResolver r;
  r.known["k.dll!A"] = kCodeAddr + 16;
  std::string message;
  Image img{Bytes(16, 0), Bytes(0x20, 0)};
  WriteU32LE(img.code.data() + 3, 0x20);  // the data block's end
  ASSERT_TRUE(img.Link(Cat({{0x00, 0x77, 0xFF}, DataRefRecord(3), DataRefRecord(12), {0x03}}), r, message));
  EXPECT_EQ(At(img.code, 3), kDataAddr + 0x20);
  EXPECT_EQ(At(img.code, 12), kDataAddr);
  EXPECT_TRUE(message.empty());
  // Site 6 names itself as next, and linking it there writes 6 again; the
  // word at 2 ends a chain, and is an offset into an empty data block.
  const Bytes loop = Cat({Bytes(6, 0), Le32(6), Bytes(6, 0)});
  const std::string cut = "a code fixup record is cut short.";
  const struct {
    const char* what;
    Bytes fixups;
    std::string message;
  } cases[] = {
      {"data reference at the last 3 bytes", DataRefRecord(13),
       "a data reference points outside the code block."},
      {"data reference record cut short", {2, 1, 0}, cut},
      {"import name cut short", {1, 1, 0, 0, 0, 9, 'a', 'b'}, cut},
      // The sanitizers see the length byte read past the stream.
      {"import name length missing", {1, 1, 0, 0, 0}, cut},
      {"chain that loops", ImportRecord(6, "!Xk.dll!A"), "a word of the code block is linked twice."},
      {"one site named twice", Cat({DataRefRecord(0), DataRefRecord(0)}), "a word of the code block is linked twice."},
      {"a site inside another's word", Cat({DataRefRecord(0), DataRefRecord(3)}),
       "a word of the code block is linked twice."},
      // Its chain is linked only later, but its sites are claimed now.
      {"a member import's site named again", Cat({ImportRecord(2, "!M!x"), DataRefRecord(4)}),
       "a word of the code block is linked twice."},
      {"an operand past the data block", DataRefRecord(4), "a data reference points outside the data block."},
  };
  for (const auto& c : cases) {
    Image damaged{loop, {}};
    std::string why;
    EXPECT_FALSE(damaged.Link(c.fixups, r, why)) << c.what;
    EXPECT_EQ(why, kPrefix + c.message) << c.what;
  }
}

// --- RelocateData ------------------------------------------------------------

Bytes Words(std::initializer_list<uint16_t> words) {
  Bytes b;
  for (uint16_t w : words) b.insert(b.end(), {uint8_t(w), uint8_t(w >> 8)});
  return b;
}

// Unaligned advances and long runs are decoded in host_builder_tests' LinkData,
// from words its encoder test pins to the format.
TEST(RelocateData, AdvancesAndRunsAddTheirBaseAndNothingLeavesTheBlock) {
  using After = std::vector<std::pair<uint32_t, uint32_t>>;  // offset, value after
  const char* past = "a data fixup points outside the data block.";
  const char* wild = "a relocated word points outside its block.";
  // Each data word holds its own offset; the code block is 4096 bytes long.
  const struct { const char* what; uint32_t size; Bytes fixups; const char* refusal; After words;
  } rows[] = {
      {"a lone last byte is no word", 16, Cat({Words({0x4000}), {0x42}}), nullptr, {{0, kCodeAddr}, {4, 4}}},
      {"4096 on, other code run", 8192, Words({0x8FFF, 0x4600}), nullptr, {{0, 0}, {4096, 4096 + kCodeAddr}}},
      {"others keep the cursor", 16, Words({0x1234, 0x4400, 0xC000, 0x4200}), nullptr, {{0, kDataAddr}, {4, 4}}},
      {"a run to the end", 16, Words({0x8007, 0x4201}), nullptr, {{8, 8 + kDataAddr}, {12, 12 + kDataAddr}}},
      {"a run one byte past the end", 16, Words({0x8008, 0x4201}), past, {{12, 12}}},
      {"moving past the end alone", 16, Words({0x8FFF, 0x8FFF}), nullptr, {{12, 12}}},
      {"an offset past the code block", 8192, Words({0x8FFF, 0x8003, 0x4000}), wild, {{4100, 4100}}},
      // A cursor one byte short reads a byte of one offset and three of the
      // next: 0x00100400, past either block.
      {"an advance one byte short", 8192, Words({0x8FFF, 0x8002, 0x4200}), wild, {{4100, 4100}}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    Image img{Bytes(4096, 0), Bytes(r.size, 0)};
    for (uint32_t i = 0; i + 4 <= r.size; i += 4) WriteU32LE(img.data.data() + i, i);
    std::string message;
    EXPECT_EQ(RelocateData(img.Blocks(), r.fixups.data(), static_cast<uint32_t>(r.fixups.size()), message),
              r.refusal == nullptr);
    EXPECT_EQ(message, r.refusal ? kPrefix + r.refusal : "");
    for (auto [offset, value] : r.words) EXPECT_EQ(At(img.data, offset), value) << "at " << offset;
  }
}

// The entry function's address is the data block's first word, once
// relocated; it must lie inside the code block, its last byte included.
TEST(EntryAddress, OnlyAnAddressInsideTheCodeBlockIsTaken) {
  const struct { const char* what; Bytes data; const char* refusal; } rows[] = {
      {"the first byte", Le32(kCodeAddr), nullptr},
      {"the last byte", Le32(kCodeAddr + 15), nullptr},
      {"just past the end", Le32(kCodeAddr + 16), "the entry function lies outside the code block."},
      {"just before the start", Le32(kCodeAddr - 1), "the entry function lies outside the code block."},
      {"a data block too short for it", {0, 0, 0x50}, "the data block holds no entry function."},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    Image img{Bytes(16, 0), r.data};
    uint32_t entry = 0;
    std::string message;
    EXPECT_EQ(EntryAddress(img.Blocks(), entry, message), r.refusal == nullptr);
    EXPECT_EQ(message, r.refusal ? kPrefix + r.refusal : "");
    if (!r.refusal) {
      EXPECT_EQ(entry, At(r.data, 0));
    }
  }
}

}  // namespace
