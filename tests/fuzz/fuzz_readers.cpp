// Fuzzing every reader of untrusted bytes that builds on the host, under the
// sanitizers: each reader gets mutations of the real inputs, the same
// sequence for the same seed. A finding becomes a case of the reader's unit test.
//
//   reader-fuzz IMAGE_DIR PREFS_EXPECTED [--inputs N] [--seed S] [--only NAME]
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>

#include "app/frame_assembler.h"
#include "app/pref_codec.h"
#include "plugins/embedded_plugins.h"
#include "sdk/description_encoding.h"
#include "startup/archive_layout.h"
#include "startup/image_reader.h"
#include "tests/fuzz/startup_reads.h"
#include "objects/description_stream.h"

namespace {

uint32_t Size(const Bytes& b) { return static_cast<uint32_t>(b.size()); }

[[noreturn]] void Fail(const std::string& why, int status = 2) {
  std::fprintf(stderr, "reader-fuzz: %s\n", why.c_str());
  std::exit(status);
}

// Where packed integers start in `b`, read as a description stream reads them.
std::vector<size_t> PackedIntegerStarts(const Bytes& b) {
  std::vector<size_t> starts;
  for (DescriptionStream s(b.data(), Size(b)); !s.AtEnd();) {
    starts.push_back(b.size() - s.Remaining());
    int32_t value = s.PackedInt();
    // A small positive integer may be a string's length: skip its bytes.
    if (value > 0 && value < 256 && static_cast<uint32_t>(value) <= s.Remaining())
      for (int32_t i = 0; i < value; ++i) s.Byte();
  }
  return starts;
}

class Mutator {
 public:
  explicit Mutator(uint64_t seed) : rng_(seed) {}

  uint32_t Below(uint32_t n) { return n ? static_cast<uint32_t>(rng_() % n) : 0; }
  bool OneIn(uint32_t n) { return Below(n) == 0; }

  // A word a reader will take as a count, a size or an offset into a block of
  // `size` bytes.
  uint32_t EdgeWord(uint32_t size) {
    uint32_t r = static_cast<uint32_t>(rng_()), inside = static_cast<uint32_t>(r % (uint64_t{size} + 1));
    const uint32_t edges[] = {
        0,      ~0u, size, size - 1 - r % 4, size + 1 + r % 8, 0x7FFFFFFF + r % 3, ~0u - r % 16, 1u << r % 32,
        inside, r};
    return edges[Below(10)];
  }

  // One blind change: a bit or byte, an edge word, a cut, bytes inserted, a
  // piece repeated or dropped, or a piece of `other` (else of `b`) copied over `b`'s own.
  void Blind(Bytes& b, const Bytes* other = nullptr) {
    size_t n = b.size(), at = Below(n), where = Below(n + 1);
    uint32_t kind = Below(9);
    if (kind == 4) return b.resize(where);
    for (uint32_t count = kind == 5 ? 1 + Below(16) : 0; count > 0; --count)
      b.insert(b.begin() + where, static_cast<uint8_t>(rng_()));
    if (kind < 2 && n) b[at] = kind ? static_cast<uint8_t>(rng_()) : b[at] ^ static_cast<uint8_t>(1u << Below(8));
    if ((kind == 2 || kind == 3) && n >= 4)  // an edge word, aligned or anywhere
      EdgeAt(b, kind == 2 ? Below(n / 4) * 4 : Below(n - 3), static_cast<uint32_t>(n));
    if (kind < 6 || !n) return;
    const Bytes& from = kind == 8 && other && !other->empty() ? *other : b;
    size_t start = Below(static_cast<uint32_t>(from.size()));
    size_t len = 1 + Below(std::min<size_t>(from.size() - start, 64));
    Bytes piece(from.begin() + start, from.begin() + start + len);
    if (kind == 6) b.insert(b.begin() + where, piece.begin(), piece.end());
    if (kind == 7) b.erase(b.begin() + start, b.begin() + start + len);
    if (kind == 8) std::copy_n(piece.begin(), std::min(len, n - at), b.begin() + at);
  }

  void EdgeAt(Bytes& b, size_t at, uint32_t blockSize) {
    uint32_t v = EdgeWord(blockSize);
    for (size_t i = 0; i < 4 && at + i < b.size(); ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
  }

  // One change of a description stream's tokens: the stream cut where a
  // token starts, a token repeated or dropped, or an edge value where an
  // integer (a count or a string's length) was.
  void Stream(Bytes& b) {
    std::vector<size_t> starts = PackedIntegerStarts(b);
    if (starts.empty()) return Blind(b);
    size_t pick = Below(starts.size()), at = starts[pick];
    size_t next = pick + 1 < starts.size() ? starts[pick + 1] : b.size();
    Bytes piece(b.begin() + at, b.begin() + next);
    uint32_t change = Below(4);
    if (change == 1) b.resize(at);
    if (change == 2) b.insert(b.begin() + next, piece.begin(), piece.end());
    if (change == 3) b.erase(b.begin() + at, b.begin() + next);
    if (change != 0) return;
    static const int32_t kEdges[] = {0, -1, 1, 63, 64, 127, 255, 256, 0x7FFFFFFF, INT32_MIN, -64, 100000, 0x3FFFFFFF};
    DescriptionStream token(b.data() + at, static_cast<uint32_t>(b.size() - at));
    token.PackedInt();
    Bytes packed;
    PutPackedInt(packed, OneIn(4) ? static_cast<int32_t>(b.size() - at + Below(8) - 4)
                                  : kEdges[Below(std::size(kEdges))]);
    if (OneIn(8)) packed.back() |= 0x80;  // a continuation that never ends
    b.erase(b.begin() + at, b.end() - token.Remaining());
    b.insert(b.begin() + at, packed.begin(), packed.end());
  }

 private:
  std::mt19937_64 rng_;
};

// The delivered application's blocks as stored (addresses still offsets),
// what lies in them, and a preference file as the program writes it.
struct RealSeeds {
  Bytes code, data, codeFixups, dataFixups, archive;
  std::vector<Bytes> settings, menuBars, windows, pluginLists, preferenceFiles;
};

// `words` little-endian, then 0x5A bytes up to `size`.
Bytes Words(std::initializer_list<uint32_t> words, size_t size) {
  Bytes b(std::max(size, 4 * words.size()), 0x5A);
  for (size_t i = 0; i < words.size(); ++i) WriteU32LE(b.data() + 4 * i, words.begin()[i]);
  return b;
}

// The window descriptions at data offsets the code refers to.
void FromCodeReferences(RealSeeds& s) {
  const Bytes& f = s.codeFixups;
  for (size_t at = 0; at < f.size(); ++at) {
    uint32_t site = 0, offset = 0, length = 0;
    if (f[at] == image::kImportRecord && at + 5 < f.size()) {
      at += 5 + f[at + 5];
    } else if (f[at] == image::kDataReferenceRecord && Word(f, at + 1, site)) {
      at += 4;
      if (Word(s.code, site, offset) && Word(s.data, offset, length) && uint64_t{offset} + 4 + length <= s.data.size() &&
          length > 2 && WindowDescriptionReadsWhole(s.data.data() + offset + 4, length))
        s.windows.emplace_back(s.data.begin() + offset + 4, s.data.begin() + offset + 4 + length);
    }
  }
}

// The embedded plug-in list: the node whose name is the plug-in library's.
void FromPluginList(RealSeeds& s) {
  static const char kName[] = "\x0dzorbplug1.dll";
  uint64_t name = std::search(s.data.begin(), s.data.end(), kName, kName + 14) - s.data.begin();
  uint32_t size = 0;
  if (name == s.data.size() || name < 12 || !Word(s.data, name - 8, size) || size < 5u + 13u) return;
  uint32_t kept = std::min<uint32_t>(size, 5 + 13 + 256);  // the first 256 bytes of its library, for speed
  Bytes list(s.data.begin() + name - 12, s.data.begin() + std::min<uint64_t>(name - 4 + kept, s.data.size()));
  WriteU32LE(list.data() + 4, kept);
  s.pluginLists.push_back(list);
}

// The real inputs but the items, which InPlaceImage finds; exits when a file is missing.
RealSeeds LoadRealSeeds(const std::string& imageDir, const std::string& prefsExpected) {
  RealSeeds s;
  const std::pair<const char*, Bytes*> files[] = {
      {image::kCodeFile, &s.code}, {image::kDataFile, &s.data}, {image::kCodeFixupsFile, &s.codeFixups},
      {image::kDataFixupsFile, &s.dataFixups}, {image::kArchiveFile, &s.archive}};
  for (const auto& [name, into] : files) {
    std::ifstream in(imageDir + "/" + name, std::ios::binary);
    into->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (into->empty()) Fail(imageDir + "/" + name + " is missing or empty");
  }
  FromCodeReferences(s);
  FromPluginList(s);
  std::ifstream prefs(prefsExpected);
  std::string line, file;
  while (std::getline(prefs, line))
    if (line.rfind("line ", 0) == 0) file += line.substr(5) + "\r\n";
  s.preferenceFiles.push_back(Bytes(file.begin(), file.end()));  // empty: refused in main
  return s;
}

// The appended form in a program file whose image starts at 16.
constexpr uint32_t kImageStart = 16;

void AppendedImage(const Bytes& input) {
  BlockPlace places[image::kBlockCount];
  std::string message;
  if (PlaceAppendedBlocks(input.size(), kImageStart, LengthInBytes, const_cast<Bytes*>(&input), places, message))
    for (const BlockPlace& p : places) Touch(input.data() + p.offset, p.length);
}

// The archive alone in its file; each item read as a cursor record (68 bytes).
void Archive(const Bytes& input) {
  ArchiveWordReader read = [](void* f, uint32_t at, uint32_t& value) {
    const Bytes& file = *static_cast<const Bytes*>(f);
    return uint64_t{at} + 4 <= file.size() && (value = ReadU32BE(file.data() + at), true);
  };
  for (int32_t index : {-1, 0, 1, 2, 3, 4, 1000, INT32_MAX}) {
    uint32_t offset = 0;
    if (LocateArchiveItem(0, Size(input), index, read, const_cast<Bytes*>(&input), offset))
      Touch(input.data() + offset, std::min<size_t>(68, input.size() - offset));
  }
}

// A stored picture's description, then its pixels row by row as the surface is built.
void StoredPicture(const Bytes& input) {
  if (input.size() < 16) return;
  uint32_t d[4];
  memcpy(d, input.data(), sizeof d);
  if (d[3] > input.size() - 16 || !StoredPictureFits(d)) return;
  for (uint32_t row = 0; row < d[2]; ++row) Touch(input.data() + 16 + row * d[1] * 2, d[1] * 2);
}

// The plug-in list at a low block's end; its next word may point back into it or past it.
bool PluginList(LowBlock& block, const Bytes& input) {
  uint8_t* at = block.Place(input);
  std::vector<EmbeddedPlugin> plugins;
  bool read = ReadEmbeddedPluginList(at, {reinterpret_cast<uintptr_t>(at), input.size()}, plugins);
  for (const EmbeddedPlugin& p : plugins) Touch(p.bytes, p.length);
  return read && plugins.size() == 1;
}

void PreferenceFile(const Bytes& input) {
  const char* text = reinterpret_cast<const char*>(input.data());
  for (size_t begin = 0, end = 0; begin <= input.size(); begin = end + 1) {
    end = std::find(input.begin() + begin, input.end(), '\n') - input.begin();
    PrefSpan name{}, value{};
    if (!PrefSplitLine(text + begin, end - begin, &name, &value)) continue;
    std::string key(name.length, '\0'), out(value.length, '\0');
    key.resize(PrefUnescape(name.bytes, name.length, key.data()));
    out.resize(PrefUnescape(value.bytes, value.length, out.data()));
    std::string again(PrefEscapedCapacity(out.size()), '\0');
    Touch(again.data(), PrefEscape(out.data(), out.size(), again.data()));
  }
}

// Bytes from the handheld: fed whole and in chunks the input itself cuts
// (each byte's low bits the length of the next chunk), the frames must be
// the same, and none may carry STX, ETX or a backspace into the text.
std::vector<std::string> HandheldFrames(const Bytes& input, bool chunked) {
  static FrameAssembler assembler;
  std::vector<std::string> frames;
  FrameSink sink = {&frames,
                    [](void* c, const FrameText& t) {
                      const char controls[] = {kFrameStart, kFrameEnd, kFrameBackspace, 0};
                      std::string_view text(t.bytes, t.length);
                      if (t.length > kFrameLimit || (!t.command && text.find_first_of(controls) != text.npos))
                        std::abort();
                      static_cast<std::vector<std::string>*>(c)->push_back(
                          std::string(text) + static_cast<char>(t.erasures % 251) + (t.firstErases ? "^" : ""));
                    },
                    [](void* c) { static_cast<std::vector<std::string>*>(c)->push_back("dropped"); }};
  FrameReset(&assembler);
  for (size_t at = 0, n = 0; at < input.size(); at += n) {
    n = chunked ? std::min<size_t>(input.size() - at, 1 + input[at] % 5) : input.size();
    FrameFeed(&assembler, reinterpret_cast<const char*>(input.data()) + at, n, sink);
  }
  return frames;
}

// The real data block relocated in low memory, its settings and menu bar
// items the seeds of their readers. An input damages one to four of the
// words start-up reads first (the project record and its lists, class
// descriptors and their names' lengths, items) for one ReadProject.
class InPlaceImage {
 public:
  explicit InPlaceImage(RealSeeds& s) : code_(s.code.size()), data_(s.data.size()) {
    uint8_t* code = code_.Place(s.code);
    uint8_t* data = data_.Place(s.data);
    LoadedBlocks b{code, Size(s.code), Low(code), data, Size(s.data), Low(data)};
    data_span_ = {reinterpret_cast<uintptr_t>(data), s.data.size()};
    code_span_ = {reinterpret_cast<uintptr_t>(code), s.code.size()};
    std::string message;
    if (!RelocateData(b, s.dataFixups.data(), Size(s.dataFixups), message)) std::abort();
    uint32_t record = ReadU32LE(data + image::kProjectRecordField);
    ProjectLists lists;
    if (!ReadProjectLists(record, data_span_, lists)) std::abort();
    targets_ = {record, lists.items - 4};
    for (uint32_t c = 0; c < lists.classCount; ++c) {
      uint32_t d = WordAt(record + 4 + 4 * c);
      targets_.push_back(record + 4 + 4 * c);
      for (uint32_t w = 0; w < 24; ++w) targets_.push_back(d + 4 * w);
      targets_.push_back(WordAt(d + 8) + 12);
    }
    for (uint32_t n = 0; n < lists.itemCount; ++n) {
      uint32_t at = WordAt(lists.items + 4 * n);
      targets_.push_back(lists.items + 4 * n);
      for (uint32_t w = 0; w < 8; ++w) targets_.push_back(at + 4 * w);
      ProjectItem item;
      if (at && ReadProjectItem(at, data_span_, item) && (item.type == kSettingsItem || item.type == kMenuBarItem))
        (item.type == kSettingsItem ? s.settings : s.menuBars).emplace_back(item.bytes, item.bytes + item.length);
    }
    whole_ = lists.classCount > 0 && lists.itemCount > 0;
  }

  bool ReadsWhole() { return whole_ && !ReadProject(data_span_, code_span_); }

  void Run(Mutator& m) {
    std::vector<std::pair<uint32_t, uint32_t>> saved;
    auto size = static_cast<uint32_t>(data_span_.length);
    for (uint32_t n = 1 + m.Below(4); n > 0; --n) {
      uint32_t at = targets_[m.Below(static_cast<uint32_t>(targets_.size()))];
      if (!data_span_.Holds(at, 4)) continue;
      saved.push_back({at, WordAt(at)});
      uint32_t value = m.OneIn(3)   ? WordAt(at) ^ (1u << m.Below(32))
                       : m.OneIn(2) ? m.EdgeWord(size)
                                    : static_cast<uint32_t>(data_span_.start) + m.EdgeWord(size);
      Put(at, value);
    }
    ReadProject(data_span_, code_span_);
    for (auto it = saved.rbegin(); it != saved.rend(); ++it) Put(it->first, it->second);
  }

 private:
  static void Put(uint32_t at, uint32_t v) { WriteU32LE(reinterpret_cast<uint8_t*>(uintptr_t{at}), v); }

  LowBlock code_, data_;
  MemorySpan data_span_{}, code_span_{};
  std::vector<uint32_t> targets_;
  bool whole_ = false;
};

enum class Shape { kBlind, kWords, kStream, kPluginNode };

struct Target {
  const char* name;
  const std::vector<Bytes>* seeds;
  Shape shape;
  std::function<void(const Bytes&)> run;
  std::function<void(Mutator&)> inPlace;  // instead of `run`: damages and reads in place
};

// A mutated copy of one of the target's seeds: one to eight changes of its kind.
Bytes Mutate(Mutator& m, const Target& t) {
  Bytes b = (*t.seeds)[m.Below(static_cast<uint32_t>(t.seeds->size()))];
  const Bytes& other = (*t.seeds)[m.Below(static_cast<uint32_t>(t.seeds->size()))];
  for (uint32_t n = 1 + m.Below(8); n > 0; --n) {
    if (t.shape == Shape::kStream && m.Below(3)) {
      m.Stream(b);
    } else if (t.shape == Shape::kWords && m.Below(2) && b.size() >= 4) {
      m.EdgeAt(b, m.Below(Size(b) / 4) * 4, Size(b));
    } else if (t.shape != Shape::kPluginNode) {
      m.Blind(b, &other);
    } else if (uint32_t pick = m.Below(5); pick < 3) {
      m.EdgeAt(b, 4 * pick, Size(b));  // the node's own fields: next, size, reserved
    } else if (pick == 3 && b.size() > 12) {
      b[12] = static_cast<uint8_t>(m.Below(256));  // the name's length
    } else {
      m.Blind(b, &other);
    }
  }
  return b;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) Fail("usage: reader-fuzz IMAGE_DIR PREFS_EXPECTED [--inputs N] [--seed S] [--only NAME]");
  std::map<std::string, std::string> flags = {{"--inputs", "100000"}, {"--seed", "1"}, {"--only", ""}};
  for (int i = 3; i + 1 < argc; i += 2) flags[argv[i]] = argv[i + 1];
  uint64_t inputs = std::stoull(flags["--inputs"]), seed = std::stoull(flags["--seed"]);
  std::printf("seed %llu\n", static_cast<unsigned long long>(seed));
  RealSeeds seeds = LoadRealSeeds(argv[1], argv[2]);
  InPlaceImage inPlace(seeds);
  const std::pair<const char*, const std::vector<Bytes>*> kinds[] = {
      {"settings", &seeds.settings}, {"menu bar", &seeds.menuBars}, {"window description", &seeds.windows},
      {"plug-in list", &seeds.pluginLists}, {"preference file", &seeds.preferenceFiles}};
  for (const auto& [what, found] : kinds)
    if (found->empty() || found->front().empty()) Fail(std::string("no ") + what + " found in the real inputs");
  std::vector<Bytes> codeFixups = {seeds.codeFixups}, dataFixups = {seeds.dataFixups}, wholeDataBlock = {seeds.data};
  std::vector<Bytes> locators = {Words({0x2010, ~0u}, 8), Bytes{'P', 'I', 'C', 'K', 0, 0, 0, 0}};
  // The real blocks behind a program's first bytes, each cut to 64 bytes.
  Bytes appended(kImageStart, 0x4D);
  for (const Bytes* block : {&seeds.code, &seeds.codeFixups, &seeds.data, &seeds.dataFixups}) {
    uint32_t kept = std::min<uint32_t>(Size(*block), 64);
    for (int i = 0; i < 4; ++i) appended.push_back(static_cast<uint8_t>(kept >> 8 * i));
    appended.insert(appended.end(), block->begin(), block->begin() + kept);
  }
  std::vector<Bytes> images = {appended};
  // The delivered archive, and one with three cursor records.
  std::vector<Bytes> archives = {seeds.archive, Bytes{0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 68, 0, 0, 0, 136}};
  archives.back().resize(16 + 3 * 68, 0xA5);
  // Stored pictures of 1 x 1, 7 x 3 and 8 x 8; clipboard bitmaps of every
  // depth, 7 x 3, the 24-bit one top-down.
  std::vector<Bytes> pictures, bitmaps;
  for (auto [w, h] : {std::pair<uint32_t, uint32_t>{1, 1}, {7, 3}, {8, 8}})
    pictures.push_back(Words({16, w, h, w * h * 2}, 16 + w * h * 2));
  for (uint32_t bits : {1, 4, 8, 16, 24, 32}) {
    uint32_t colours = bits <= 8 ? 1u << bits : bits == 16 ? 3 : 0;
    bitmaps.push_back(Words({40, 7, bits == 24 ? 0xFFFFFFFD : 3, 1 | bits << 16, bits == 16 ? 3u : 0, 0, 0, 0, 0, 0},
                            40 + colours * 4 + (7 * bits + 31) / 32 * 4 * 3));
  }
  Bytes code, data;  // the blocks the fixups are linked into, afresh now and then
  uint32_t links = 0;
  AcceptAll resolver(0x00400000u);
  auto blocks = [&]() -> LoadedBlocks {
    if (links++ % 512 == 0) code = seeds.code, data = seeds.data;
    return {code.data(), Size(code), 0x00400000u, data.data(), Size(data), 0x10000000u};
  };
  LowBlock low(seeds.pluginLists.front().size() + 4096);  // room for what the mutations add
  auto text = [](const std::string& s) { return Bytes(s.begin(), s.end()); };
  std::vector<Bytes> handheld = {text("\x02hello\x08\x03\x02\x08\x03\x02" "ab\x02" "cd\x03op\x03"),
                                 text("\x02\x01ping\x03" "abc\x08\x08\x08\x08\x03\x02x")};
  std::string error;

  const Target targets[] = {
      {"image locator", &locators, Shape::kWords,
       [](const Bytes& b) {
         image::Locator l{};
         if (DecodeLocator(b.data(), Size(b), l)) gSink = gSink + l.imageOffset + l.archiveOffset;
       }},
      {"appended image blocks", &images, Shape::kWords, AppendedImage},
      {"resource archive", &archives, Shape::kWords, Archive},
      {"code fixups", &codeFixups, Shape::kWords,
       [&](const Bytes& b) { LinkCode(blocks(), b.data(), Size(b), resolver, error); }},
      {"data fixups", &dataFixups, Shape::kWords,
       [&](const Bytes& b) { RelocateData(blocks(), b.data(), Size(b), error); }},
      {"settings", &seeds.settings, Shape::kStream,
       [](const Bytes& b) {
         AppSettings settings;
         ParseSettings(b.data(), Size(b), settings);
         for (const std::string& m : settings.messages) Touch(m.data(), m.size());
       }},
      {"menu bar description", &seeds.menuBars, Shape::kStream,
       [](const Bytes& b) {
         std::vector<MenuEntryDescription> menus;
         ReadMenuBarDescription(b.data(), Size(b), menus);
       }},
      // As the runtime checks a window description before building the window.
      {"window and control descriptions", &seeds.windows, Shape::kStream,
       [](const Bytes& b) { gSink = gSink + WindowDescriptionReadsWhole(b.data(), Size(b)); }},
      {"stored pictures", &pictures, Shape::kWords, StoredPicture},
      {"clipboard bitmaps", &bitmaps, Shape::kWords,
       [](const Bytes& b) {
         DibLayout layout{};
         if (ReadDibLayout(b.data(), b.size(), layout)) Touch(b.data() + layout.pixelOffset, layout.pixelBytes);
       }},
      {"plug-in list", &seeds.pluginLists, Shape::kPluginNode, [&](const Bytes& b) { PluginList(low, b); }},
      {"preference file", &seeds.preferenceFiles, Shape::kBlind, PreferenceFile},
      {"frames from the handheld", &handheld, Shape::kBlind,
       [](const Bytes& b) { if (HandheldFrames(b, false) != HandheldFrames(b, true)) std::abort(); }},
      {"project record, classes and items", &wholeDataBlock, Shape::kBlind, nullptr,
       [&](Mutator& m) { inPlace.Run(m); }},
  };
  // A reader that refused the real inputs would make the program refuse its
  // own image (ReadProject reads the settings, menu bar and picture items;
  // windows were taken only where they read whole).
  if (!PluginList(low, seeds.pluginLists.front())) Fail("the real plug-in list was not read whole", 1);
  if (!inPlace.ReadsWhole()) Fail("the real project record, classes and items were not read whole", 1);
  for (const Target& t : targets) {
    if (!flags["--only"].empty() && flags["--only"] != t.name) continue;
    Mutator m(seed);
    if (!t.inPlace)
      for (const Bytes& s : *t.seeds) t.run(s);  // the real inputs themselves first
    for (uint64_t i = 0; i < inputs; ++i) t.inPlace ? t.inPlace(m) : t.run(Mutate(m, t));
    std::printf("%-33s %zu seeds, %llu inputs\n", t.name, t.seeds->size(), static_cast<unsigned long long>(inputs));
    std::fflush(stdout);
  }
  return 0;
}
