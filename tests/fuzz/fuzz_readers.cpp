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
#include <random>

#include "app/frame_assembler.h"
#include "app/pref_codec.h"
#include "plugins/embedded_plugins.h"
#include "sdk/description_encoding.h"
#include "startup/archive_layout.h"
#include "startup/image_reader.h"
#include "tests/fuzz/startup_reads.h"
#include "ui/description_stream.h"

namespace {

// Where packed integers start in `b`, read as a description stream reads them.
std::vector<size_t> PackedIntegerStarts(const Bytes& b) {
  std::vector<size_t> starts;
  DescriptionStream s(b.data(), static_cast<uint32_t>(b.size()));
  while (!s.AtEnd()) {
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
    if (at >= b.size()) return;
    uint32_t v = EdgeWord(blockSize);
    for (size_t i = 0; i < 4 && at + i < b.size(); ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
  }

  // One change of a description stream's tokens.
  void Stream(Bytes& b) {
    std::vector<size_t> starts = PackedIntegerStarts(b);
    if (starts.empty()) return Blind(b);
    size_t pick = Below(starts.size()), at = starts[pick];
    DescriptionStream token(b.data() + at, static_cast<uint32_t>(b.size() - at));
    token.PackedInt();
    size_t end = b.size() - token.Remaining();
    size_t next = pick + 1 < starts.size() ? starts[pick + 1] : b.size();
    Bytes piece(b.begin() + at, b.begin() + next);
    switch (Below(4)) {
      case 0: {  // an edge value where an integer (a count or a string's length) was
        static const int32_t kEdges[] = {0,   -1,         1,         63,  64,     127,       255,
                                         256, 0x7FFFFFFF, INT32_MIN, -64, 100000, 0x3FFFFFFF};
        Bytes packed;
        PutPackedInt(packed, OneIn(4) ? static_cast<int32_t>(b.size() - at + Below(8) - 4)
                                      : kEdges[Below(std::size(kEdges))]);
        if (OneIn(8)) packed.back() |= 0x80;  // a continuation that never ends
        b.erase(b.begin() + at, b.begin() + end);
        b.insert(b.begin() + at, packed.begin(), packed.end());
        break;
      }
      case 1:  // the stream cut where a token starts
        b.resize(at);
        break;
      case 2:  // a token repeated
        b.insert(b.begin() + next, piece.begin(), piece.end());
        break;
      default:  // a token dropped
        b.erase(b.begin() + at, b.begin() + next);
    }
  }

 private:
  std::mt19937_64 rng_;
};

// The delivered application's blocks as stored (addresses still offsets),
// what lies in them, and a preference file as the program writes it.
struct RealSeeds {
  Bytes code, data, codeFixups, dataFixups, archive;
  std::vector<Bytes> settings, menuBars, windows, pictures, pluginLists, preferenceFiles;
};

Bytes Slice(const Bytes& b, uint64_t at, uint64_t length) {
  if (at > b.size() || length > b.size() - at) return {};
  return Bytes(b.begin() + at, b.begin() + at + length);
}

// A stored picture's top-left 8 x 8 at most: its header is what the mutations are after.
Bytes Cropped(const Bytes& picture) {
  if (picture.size() < 16) return picture;
  uint32_t width = ReadU32LE(picture.data() + 4), height = ReadU32LE(picture.data() + 8);
  uint32_t w = std::min(width, 8u), h = std::min(height, 8u);
  if (uint64_t{width} * height * 2 + 16 > picture.size()) return picture;
  Bytes out(picture.begin(), picture.begin() + 16);
  WriteU32LE(out.data() + 4, w);
  WriteU32LE(out.data() + 8, h);
  WriteU32LE(out.data() + 12, w * h * 2);
  for (uint32_t row = 0; row < h; ++row)
    out.insert(out.end(), picture.begin() + 16 + row * width * 2, picture.begin() + 16 + row * width * 2 + w * 2);
  return out;
}

// The menu bar, settings and picture items.
void FromItems(RealSeeds& s) {
  uint32_t record = 0, classes = 0, count = 0;
  if (!Word(s.data, image::kProjectRecordField, record) || !Word(s.data, record, classes)) return;
  uint64_t items = record + 4ull + 4ull * classes;
  if (!Word(s.data, items, count)) return;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t item = 0, type = 0, a = 0, b = 0;
    if (!Word(s.data, items + 4 + 4ull * i, item) || !item || !Word(s.data, item, type)) continue;
    Word(s.data, item + 4ull, a);
    Word(s.data, item + 8ull, b);
    if (type == 2) s.menuBars.push_back(Slice(s.data, item + 8ull, a));
    if (type == 4) s.settings.push_back(Slice(s.data, item + 12ull, b));
    uint32_t pixels = 0;
    if (type == 1 && Word(s.data, item + 20ull, pixels))
      s.pictures.push_back(Cropped(Slice(s.data, item + 8ull, 16ull + pixels)));
  }
}

// The window descriptions at data offsets the code refers to.
void FromCodeReferences(RealSeeds& s) {
  const Bytes& f = s.codeFixups;
  for (size_t at = 0; at < f.size();) {
    uint8_t type = f[at];
    if (type == image::kImportRecord && at + 5 < f.size()) {
      at += 6 + f[at + 5];
      continue;
    }
    uint32_t site = 0, offset = 0, length = 0;
    if (type == image::kDataReferenceRecord && Word(f, at + 1, site)) {
      at += 5;
      if (Word(s.code, site, offset) && Word(s.data, offset, length) &&
          uint64_t{offset} + 4 + length <= s.data.size() && length > 2 &&
          WindowDescriptionReadsWhole(s.data.data() + offset + 4, length))
        s.windows.push_back(Slice(s.data, offset + 4ull, length));
      continue;
    }
    ++at;
  }
}

// The embedded plug-in list: the node whose name is the plug-in library's.
void FromPluginList(RealSeeds& s) {
  static const char kName[] = "\x0dzorbplug1.dll";
  const uint8_t* begin = s.data.data();
  const uint8_t* end = begin + s.data.size();
  const uint8_t* at = std::search(begin, end, kName, kName + 14);
  if (at == end || at - begin < 12) return;
  uint64_t node = static_cast<uint64_t>(at - begin) - 12;
  uint32_t size = 0;
  if (!Word(s.data, node + 4, size) || size < 5u + 13u) return;
  uint32_t kept = std::min<uint32_t>(size, 5 + 13 + 256);  // the first 256 bytes of its library, for speed
  Bytes list = Slice(s.data, node, 8ull + kept);
  WriteU32LE(list.data() + 4, kept);
  s.pluginLists.push_back(list);
}

// What is missing: a file, or any input of a kind; empty when nothing is.
std::string LoadRealSeeds(const std::string& imageDir, const std::string& prefsExpected, RealSeeds& s) {
  const std::pair<const char*, Bytes*> files[] = {
      {image::kCodeFile, &s.code}, {image::kDataFile, &s.data}, {image::kCodeFixupsFile, &s.codeFixups},
      {image::kDataFixupsFile, &s.dataFixups}, {image::kArchiveFile, &s.archive}};
  for (const auto& [name, into] : files) {
    std::ifstream in(imageDir + "/" + name, std::ios::binary);
    into->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (into->empty()) return imageDir + "/" + name + " is missing or empty";
  }
  FromItems(s);
  FromCodeReferences(s);
  FromPluginList(s);
  std::ifstream prefs(prefsExpected);
  std::string line, file;
  while (std::getline(prefs, line))
    if (line.rfind("line ", 0) == 0) file += line.substr(5) + "\r\n";
  s.preferenceFiles.push_back(Bytes(file.begin(), file.end()));  // empty: refused below
  const std::pair<const char*, const std::vector<Bytes>*> kinds[] = {
      {"settings", &s.settings}, {"menu bar", &s.menuBars},      {"window description", &s.windows},
      {"picture", &s.pictures},  {"plug-in list", &s.pluginLists}, {"preference file", &s.preferenceFiles}};
  for (const auto& [what, found] : kinds)
    if (found->empty() || found->front().empty()) return std::string("no ") + what + " found in the real inputs";
  return "";
}

uint32_t Size(const Bytes& b) { return static_cast<uint32_t>(b.size()); }

// The blocks the fixups are linked into, afresh now and then.
struct LinkState {
  Bytes code, data;
  const RealSeeds* seeds;
  uint32_t runs = 0;
  AcceptAll resolver{0x00400000u};
  LoadedBlocks Blocks() {
    if (runs++ % 512 == 0) code = seeds->code, data = seeds->data;
    return {code.data(), Size(code), 0x00400000u, data.data(), Size(data), 0x10000000u};
  }
};

// The appended form in a program file whose image starts at 16.
constexpr uint32_t kImageStart = 16;

void AppendedImage(const Bytes& input) {
  BlockPlace places[image::kBlockCount];
  std::string message;
  if (!PlaceAppendedBlocks(input.size(), kImageStart, LengthInBytes, const_cast<Bytes*>(&input), places, message)) return;
  for (const BlockPlace& p : places) Touch(input.data() + p.offset, p.length);
}

// The archive alone in its file; each item read as a cursor record (68 bytes).
void Archive(const Bytes& input) {
  ArchiveWordReader read = [](void* f, uint32_t at, uint32_t& value) {
    const auto* file = static_cast<const Bytes*>(f);
    if (uint64_t{at} + 4 > file->size()) return false;
    value = ReadU32BE(file->data() + at);
    return true;
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
  for (int i = 0; i < 4; ++i) d[i] = ReadU32LE(input.data() + 4 * i);
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
    if (PrefSplitLine(text + begin, end - begin, &name, &value)) {
      std::string out(value.length, '\0'), key(name.length, '\0');
      out.resize(PrefUnescape(value.bytes, value.length, out.data()));
      key.resize(PrefUnescape(name.bytes, name.length, key.data()));
      std::string again(PrefEscapedCapacity(out.size()), '\0');
      again.resize(PrefEscape(out.data(), out.size(), again.data()));
      Touch(again.data(), again.size());
    }
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
                      auto& out = *static_cast<std::vector<std::string>*>(c);
                      out.emplace_back(t.bytes, t.length);
                      out.back() += static_cast<char>(t.erasures % 251) + std::string(t.firstErases ? "^" : "");
                      const char controls[] = {kFrameStart, kFrameEnd, kFrameBackspace, 0};
                      std::string_view text(t.bytes, t.length);
                      if (t.length > kFrameLimit || (!t.command && text.find_first_of(controls) != text.npos))
                        std::abort();
                    },
                    [](void* c) { static_cast<std::vector<std::string>*>(c)->push_back("dropped"); }};
  FrameReset(&assembler);
  const char* bytes = reinterpret_cast<const char*>(input.data());
  for (size_t at = 0, n = 0; at < input.size(); at += n) {
    n = chunked ? std::min<size_t>(input.size() - at, 1 + input[at] % 5) : input.size();
    FrameFeed(&assembler, bytes + at, n, sink);
  }
  return frames;
}

void HandheldStream(const Bytes& input) {
  if (HandheldFrames(input, false) != HandheldFrames(input, true)) std::abort();
}

// The real data block relocated in low memory. An input damages one to four
// of the words start-up reads first (the project record and its lists, class
// descriptors and their names' lengths, items) for one ReadProject.
class InPlaceImage {
 public:
  explicit InPlaceImage(const RealSeeds& s) : code_(s.code.size()), data_(s.data.size()) {
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
      uint32_t item = WordAt(lists.items + 4 * n);
      targets_.push_back(lists.items + 4 * n);
      for (uint32_t w = 0; w < 8; ++w) targets_.push_back(item + 4 * w);
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
  if (argc < 3) {
    std::fprintf(stderr, "usage: reader-fuzz IMAGE_DIR PREFS_EXPECTED [--inputs N] [--seed S] [--only NAME]\n");
    return 2;
  }
  uint64_t inputs = 100000, seed = 1;
  std::string only;
  for (int i = 3; i + 1 < argc; i += 2) {
    std::string flag = argv[i];
    if (flag == "--inputs") inputs = std::strtoull(argv[i + 1], nullptr, 10);
    if (flag == "--seed") seed = std::strtoull(argv[i + 1], nullptr, 10);
    if (flag == "--only") only = argv[i + 1];
  }
  std::printf("seed %llu\n", static_cast<unsigned long long>(seed));
  RealSeeds seeds;
  std::string error = LoadRealSeeds(argv[1], argv[2], seeds);
  if (!error.empty()) {
    std::fprintf(stderr, "reader-fuzz: %s\n", error.c_str());
    return 2;
  }
  std::vector<Bytes> codeFixups = {seeds.codeFixups}, dataFixups = {seeds.dataFixups};
  std::vector<Bytes> locators = {Bytes{0x10, 0x20, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}, Bytes{'P', 'I', 'C', 'K', 0, 0, 0, 0}};
  // The real blocks behind a program's first bytes, each cut to 64 bytes.
  Bytes appended(kImageStart, 0x4D);
  for (const Bytes* block : {&seeds.code, &seeds.codeFixups, &seeds.data, &seeds.dataFixups}) {
    uint32_t kept = static_cast<uint32_t>(std::min<size_t>(block->size(), 64));
    appended.resize(appended.size() + 4);
    WriteU32LE(appended.data() + appended.size() - 4, kept);
    appended.insert(appended.end(), block->begin(), block->begin() + kept);
  }
  std::vector<Bytes> images = {appended};
  // The delivered archive, and one with three cursor records.
  std::vector<Bytes> archives = {seeds.archive, Bytes{0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 68, 0, 0, 0, 136}};
  archives.back().resize(16 + 3 * 68, 0xA5);
  // Clipboard bitmaps of every depth, 7 x 3, one of them top-down.
  std::vector<Bytes> bitmaps;
  for (uint16_t bits : {1, 4, 8, 16, 24, 32}) {
    Bytes b(40, 0);
    WriteU32LE(b.data(), 40);
    WriteU32LE(b.data() + 4, 7);
    WriteU32LE(b.data() + 8, bits == 24 ? 0xFFFFFFFD : 3);
    b[12] = 1;
    b[14] = static_cast<uint8_t>(bits);
    if (bits == 16) WriteU32LE(b.data() + 16, 3);
    size_t colours = bits <= 8 ? (1u << bits) : bits == 16 ? 3 : 0;
    b.resize(40 + colours * 4 + ((7 * bits + 31) / 32 * 4) * 3, 0x5A);
    bitmaps.push_back(b);
  }
  LinkState link{{}, {}, &seeds};
  LowBlock low(seeds.pluginLists.front().size() + 4096);  // room for what the mutations add
  InPlaceImage inPlace(seeds);
  std::vector<Bytes> wholeDataBlock = {seeds.data};
  auto text = [](const std::string& s) { return Bytes(s.begin(), s.end()); };
  std::vector<Bytes> handheld = {text("\x02hello\x08\x03\x02\x08\x03\x02" "ab\x02" "cd\x03op\x03"),
                                 text("\x02\x01ping\x03" "abc\x08\x08\x08\x08\x03\x02x")};

  const Target targets[] = {
      {"image locator", &locators, Shape::kWords,
       [](const Bytes& b) {
         image::Locator locator{};
         if (DecodeLocator(b.data(), Size(b), locator))
           gSink = gSink + locator.imageOffset + locator.archiveOffset;
       }},
      {"appended image blocks", &images, Shape::kWords, AppendedImage},
      {"resource archive", &archives, Shape::kWords, Archive},
      {"code fixups", &codeFixups, Shape::kWords,
       [&](const Bytes& b) { LinkCode(link.Blocks(), b.data(), Size(b), link.resolver, error); }},
      {"data fixups", &dataFixups, Shape::kWords,
       [&](const Bytes& b) { RelocateData(link.Blocks(), b.data(), Size(b), error); }},
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
      {"stored pictures", &seeds.pictures, Shape::kWords, StoredPicture},
      {"clipboard bitmaps", &bitmaps, Shape::kWords,
       [](const Bytes& b) {
         DibLayout layout{};
         if (ReadDibLayout(b.data(), b.size(), layout))
           Touch(b.data() + layout.pixelOffset, layout.pixelBytes);
       }},
      {"plug-in list", &seeds.pluginLists, Shape::kPluginNode, [&](const Bytes& b) { PluginList(low, b); }},
      {"preference file", &seeds.preferenceFiles, Shape::kBlind, PreferenceFile},
      {"frames from the handheld", &handheld, Shape::kBlind, HandheldStream},
      {"project record, classes and items", &wholeDataBlock, Shape::kBlind, nullptr,
       [&](Mutator& m) { inPlace.Run(m); }},
  };
  // A reader that refused the real inputs would make the program refuse its
  // own image (ReadProject reads the settings, menu bar and picture items;
  // windows were taken only where they read whole).
  const char* notWhole = !PluginList(low, seeds.pluginLists.front()) ? "plug-in list"
                         : !inPlace.ReadsWhole()                     ? "project record, classes and items"
                                                                     : nullptr;
  if (notWhole) {
    std::fprintf(stderr, "reader-fuzz: the real %s was not read whole\n", notWhole);
    return 1;
  }
  for (const Target& t : targets) {
    if (!only.empty() && only != t.name) continue;
    Mutator m(seed);
    if (!t.inPlace)
      for (const Bytes& s : *t.seeds) t.run(s);  // the real inputs themselves first
    for (uint64_t i = 0; i < inputs; ++i) t.inPlace ? t.inPlace(m) : t.run(Mutate(m, t));
    std::printf("%-33s %zu seeds, %llu inputs\n", t.name, t.seeds->size(),
                static_cast<unsigned long long>(inputs));
    std::fflush(stdout);
  }
  return 0;
}
