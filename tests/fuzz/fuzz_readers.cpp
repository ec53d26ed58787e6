// Fuzzing every reader of untrusted bytes that builds on the host, under the
// address and undefined-behaviour sanitizers: each reader gets mutations of
// the real inputs (real_seeds.h), the same sequence for the same seed. A
// finding stops the run with the sanitizer's report; it then becomes a
// regression case of the reader's unit test.
//
//   reader-fuzz IMAGE_DIR PREFS_EXPECTED [--inputs N] [--seed S] [--only NAME]
#include <sys/mman.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "app/pref_codec.h"
#include "objects/class_descriptor.h"
#include "plugins/embedded_plugins.h"
#include "sdk/image_format.h"
#include "sdk/le_bytes.h"
#include "startup/archive_layout.h"
#include "startup/code_linker.h"
#include "startup/image_reader.h"
#include "startup/project_items.h"
#include "startup/project_record.h"
#include "startup/settings.h"
#include "tests/fuzz/mutator.h"
#include "tests/fuzz/real_seeds.h"
#include "ui/description_stream.h"
#include "ui/menu_description.h"
#include "ui/pictures_layout.h"

namespace {

// Sums what a reader hands back, so that the reads cannot be left out.
volatile uint32_t gSink = 0;
void Touch(const uint8_t* p, size_t n) {
  uint32_t sum = 0;
  for (size_t i = 0; i < n; ++i) sum += p[i];
  gSink = gSink + sum;
}

// The first and last bytes of a long run: a reader that misplaced it reads
// past one of its ends.
void TouchEnds(const uint8_t* p, size_t n) {
  if (n <= 128) return Touch(p, n);
  Touch(p, 64);
  Touch(p + n - 64, 64);
}

// Memory below 4 GB, for readers that take 32-bit stored addresses: the
// bytes are placed at the end of their pages, against an inaccessible page,
// so that a read past them faults at once.
class LowBlock {
 public:
  explicit LowBlock(size_t capacity) {
    size_t page = 4096;
    pages_ = (capacity + page - 1) / page * page + page;
    base_ = static_cast<uint8_t*>(
        mmap(nullptr, pages_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0));
    if (base_ == MAP_FAILED) std::abort();
    mprotect(base_ + pages_ - page, page, PROT_NONE);
    usable_ = pages_ - page;
  }
  ~LowBlock() { munmap(base_, pages_); }
  uint8_t* Place(const Bytes& b) {
    if (b.size() > usable_) std::abort();
    uint8_t* at = base_ + usable_ - b.size();
    if (!b.empty()) memcpy(at, b.data(), b.size());
    return at;
  }

 private:
  uint8_t* base_ = nullptr;
  size_t pages_ = 0, usable_ = 0;
};

class AcceptAll : public ImportResolver {
 public:
  explicit AcceptAll(uint32_t target) : target_(target) {}
  bool Resolve(const ImportName& import, uint32_t& address, std::string&) override {
    Touch(reinterpret_cast<const uint8_t*>(import.routine.data()), import.routine.size());
    address = target_;
    return true;
  }
  bool Defer(const ImportName&, uint32_t, std::string&) override { return true; }

 private:
  uint32_t target_;
};

// --- the readers, one input each ------------------------------------------------

struct LinkState {
  Bytes code, data;
  const RealSeeds* seeds;
  uint32_t runs = 0;
  LoadedBlocks Blocks() {
    // The linker changes the blocks it links; now and then they start afresh.
    if (runs++ % 512 == 0) code = seeds->code, data = seeds->data;
    return {code.data(), static_cast<uint32_t>(code.size()), 0x00400000u,
            data.data(), static_cast<uint32_t>(data.size()), 0x10000000u};
  }
};

void CodeFixups(LinkState& state, const Bytes& input) {
  LoadedBlocks b = state.Blocks();
  AcceptAll resolver(b.codeAddress);
  std::string message;
  LinkCode(b, input.data(), static_cast<uint32_t>(input.size()), resolver, message);
}

void DataFixups(LinkState& state, const Bytes& input) {
  LoadedBlocks b = state.Blocks();
  std::string message;
  RelocateData(b, input.data(), static_cast<uint32_t>(input.size()), message);
}

void Locator(const Bytes& input) {
  image::Locator locator{};
  if (DecodeLocator(input.data(), static_cast<uint32_t>(input.size()), locator))
    gSink = gSink + locator.imageOffset + locator.archiveOffset;
}

// The appended form in a program file whose image starts at 16: the blocks
// are placed by their lengths, then read where they were placed.
constexpr uint32_t kImageStart = 16;

void AppendedImage(const Bytes& input) {
  BlockPlace places[image::kBlockCount];
  std::string message;
  if (!PlaceAppendedBlocks(input.size(), kImageStart, LengthInBytes, const_cast<Bytes*>(&input), places, message)) return;
  for (const BlockPlace& p : places) Touch(input.data() + p.offset, p.length);
}

// The archive as the only thing in its file; each item is read as a cursor
// record (68 bytes, or what is left of the file).
void Archive(const Bytes& input) {
  ArchiveWordReader read = [](void* f, uint32_t at, uint32_t& value) {
    const auto* file = static_cast<const Bytes*>(f);
    if (uint64_t{at} + 4 > file->size()) return false;
    value = ReadU32BE(file->data() + at);
    return true;
  };
  for (int32_t index : {-1, 0, 1, 2, 3, 4, 1000, INT32_MAX}) {
    uint32_t offset = 0;
    if (LocateArchiveItem(0, static_cast<uint32_t>(input.size()), index, read, const_cast<Bytes*>(&input), offset))
      Touch(input.data() + offset, std::min<size_t>(68, input.size() - offset));
  }
}

void Settings(const Bytes& input) {
  AppSettings settings;
  ParseSettings(input.data(), static_cast<uint32_t>(input.size()), settings);
  for (const std::string& m : settings.messages) Touch(reinterpret_cast<const uint8_t*>(m.data()), m.size());
}

void MenuBar(const Bytes& input) {
  std::vector<MenuEntryDescription> menus;
  ReadMenuBarDescription(input.data(), static_cast<uint32_t>(input.size()), menus);
}

// As the runtime checks a window description before building the window.
void Window(const Bytes& input) {
  gSink = gSink + WindowDescriptionReadsWhole(input.data(), static_cast<uint32_t>(input.size()));
}

// A stored picture as start-up takes it: its description, then the pixels
// that its byte count claims, copied row by row as the surface is built.
void StoredPicture(const Bytes& input) {
  if (input.size() < 16) return;
  uint32_t d[4];
  for (int i = 0; i < 4; ++i) d[i] = ReadU32LE(input.data() + 4 * i);
  if (d[3] > input.size() - 16 || !StoredPictureFits(d)) return;
  for (uint32_t row = 0; row < d[2]; ++row) Touch(input.data() + 16 + row * d[1] * 2, d[1] * 2);
}

void ClipboardBitmap(const Bytes& input) {
  DibLayout layout{};
  if (ReadDibLayout(input.data(), input.size(), layout)) Touch(input.data() + layout.pixelOffset, layout.pixelBytes);
}

// The plug-in list where the data block would hold it; its next word is
// placed so that it may point back into the list or past it.
void PluginList(LowBlock& block, const Bytes& input) {
  uint8_t* at = block.Place(input);
  auto start = reinterpret_cast<uintptr_t>(at);
  MemorySpan data{start, input.size()};
  std::vector<EmbeddedPlugin> plugins;
  ReadEmbeddedPluginList(at, data, plugins);
  for (const EmbeddedPlugin& p : plugins) Touch(p.bytes, p.length);
}

void PreferenceFile(const Bytes& input) {
  const char* text = reinterpret_cast<const char*>(input.data());
  size_t begin = 0;
  for (size_t i = 0; i <= input.size(); ++i) {
    if (i < input.size() && input[i] != '\n') continue;
    PrefSpan name{}, value{};
    if (PrefSplitLine(text + begin, i - begin, &name, &value)) {
      std::string out(value.length, '\0'), key(name.length, '\0');
      out.resize(PrefUnescape(value.bytes, value.length, out.data()));
      key.resize(PrefUnescape(name.bytes, name.length, key.data()));
      std::string again(PrefEscapedCapacity(out.size()), '\0');
      again.resize(PrefEscape(out.data(), out.size(), again.data()));
      Touch(reinterpret_cast<const uint8_t*>(again.data()), again.size());
    }
    begin = i + 1;
  }
}

// The real data block where start-up reads it: relocated in low memory as
// the loader relocates it. A fuzz input damages a few of the words a reader
// starts from (its target words) for one reading and puts them back after.
class InPlaceImage {
 public:
  explicit InPlaceImage(const RealSeeds& s) : code_(s.code.size() + 4096), data_(s.data.size() + 4096) {
    uint8_t* code = code_.Place(s.code);
    uint8_t* data = data_.Place(s.data);
    LoadedBlocks b{code, static_cast<uint32_t>(s.code.size()), Low(code), data,
                   static_cast<uint32_t>(s.data.size()), Low(data)};
    std::string message;
    if (!RelocateData(b, s.dataFixups.data(), static_cast<uint32_t>(s.dataFixups.size()), message)) std::abort();
    data_span = {reinterpret_cast<uintptr_t>(data), s.data.size()};
    code_span = {reinterpret_cast<uintptr_t>(code), s.code.size()};
    record = ReadU32LE(data + image::kProjectRecordField);
  }

  static uint32_t Word(uint32_t at) { return ReadU32LE(reinterpret_cast<const uint8_t*>(uintptr_t{at})); }

  // Damages one to four of `targets`, runs `read`, puts the words back.
  template <typename Read>
  void Damaged(Mutator& m, const std::vector<uint32_t>& targets, Read read) {
    struct Saved {
      uint32_t at, word;
    };
    std::vector<Saved> saved;
    auto size = static_cast<uint32_t>(data_span.length);
    for (uint32_t n = 1 + m.Below(4); n > 0; --n) {
      uint32_t at = targets[m.Below(static_cast<uint32_t>(targets.size()))];
      if (!data_span.Holds(at, 4)) continue;
      saved.push_back({at, Word(at)});
      uint32_t value = m.OneIn(3)   ? Word(at) ^ (1u << m.Below(32))
                       : m.OneIn(2) ? m.EdgeWord(size)
                                    : static_cast<uint32_t>(data_span.start) + m.EdgeWord(size);
      Put(at, value);
    }
    read();
    for (auto it = saved.rbegin(); it != saved.rend(); ++it) Put(it->at, it->word);
  }

  MemorySpan data_span{}, code_span{};
  uint32_t record = 0;

 private:
  static uint32_t Low(const uint8_t* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }
  static void Put(uint32_t at, uint32_t v) { WriteU32LE(reinterpret_cast<uint8_t*>(uintptr_t{at}), v); }

  LowBlock code_, data_;
};

// The class list and descriptors (the words of each, and its name's length).
struct InPlaceClasses {
  InPlaceImage& image;
  std::vector<uint32_t> targets;

  explicit InPlaceClasses(InPlaceImage& i) : image(i) {
    uint32_t count = InPlaceImage::Word(image.record);
    for (uint32_t c = 0; c < count; ++c) {
      uint32_t d = InPlaceImage::Word(image.record + 4 + 4 * c);
      for (uint32_t w = 0; w < 24; ++w) targets.push_back(d + 4 * w);
      targets.push_back(InPlaceImage::Word(d + 8) + 12);
    }
    for (uint32_t c = 0; c <= count; ++c) targets.push_back(image.record + 4 * c);
  }

  // As LinkImageClasses takes them; false when one of them is refused.
  bool ReadAll() {
    uint32_t list = image.record, count = InPlaceImage::Word(list);
    if (!image.data_span.HoldsArray(list + 4ull, count, 4)) return false;
    bool all = true;
    for (uint32_t i = 0; i < count; ++i) {
      ClassDescriptor d;
      if (!ReadClassDescriptor(InPlaceImage::Word(list + 4 + 4 * i), image.data_span, image.code_span, d)) {
        all = false;
        continue;
      }
      Touch(reinterpret_cast<const uint8_t*>(d.name.data()), d.name.size());
      for (const auto* members : {&d.methods, &d.handlers, &d.menuHandlers})
        for (const DescribedMember& member : *members)
          Touch(reinterpret_cast<const uint8_t*>(member.name.data()), member.name.size());
      if (d.vtableCount) Touch(reinterpret_cast<const uint8_t*>(uintptr_t{d.vtable}), 4ull * d.vtableCount);
    }
    return all && count > 0;
  }
  void Run(Mutator& m) { image.Damaged(m, targets, [&] { ReadAll(); }); }
};

// The project record's lists and the items (their first words), each item
// read whole and its streams read as start-up reads them.
struct InPlaceItems {
  InPlaceImage& image;
  std::vector<uint32_t> targets;

  explicit InPlaceItems(InPlaceImage& i) : image(i) {
    ProjectLists lists;
    if (!ReadProjectLists(image.record, image.data_span, lists)) std::abort();
    targets = {image.record, lists.items - 4};
    for (uint32_t n = 0; n < lists.itemCount; ++n) {
      uint32_t item = InPlaceImage::Word(lists.items + 4 * n);
      targets.push_back(lists.items + 4 * n);
      for (uint32_t w = 0; w < 8; ++w) targets.push_back(item + 4 * w);
    }
  }

  bool ReadAll() {
    ProjectLists lists;
    if (!ReadProjectLists(image.record, image.data_span, lists)) return false;
    bool all = true;
    for (uint32_t n = 0; n < lists.itemCount; ++n) {
      uint32_t address = InPlaceImage::Word(lists.items + 4 * n);
      ProjectItem item;
      if (!address) continue;
      if (!ReadProjectItem(address, image.data_span, item)) {
        all = false;
        continue;
      }
      if (item.bytes) TouchEnds(item.bytes, item.length);
      if (item.type == kSettingsItem) {
        AppSettings settings;
        all = ParseSettings(item.bytes, item.length, settings) && all;
      }
      if (item.type == kMenuBarItem) {
        std::vector<MenuEntryDescription> menus;
        all = ReadMenuBarDescription(item.bytes, item.length, menus) && all;
      }
      if (item.type == kPictureItem) {
        uint32_t header[4];
        memcpy(header, item.bytes, sizeof header);
        all = StoredPictureFits(header) && all;
      }
    }
    return all && lists.itemCount > 0;
  }
  void Run(Mutator& m) { image.Damaged(m, targets, [&] { ReadAll(); }); }
};

// --- the driver ------------------------------------------------------------------

enum class Shape { kBlind, kWords, kStream, kPluginNode };

struct Target {
  const char* name;
  const std::vector<Bytes>* seeds;
  Shape shape;
  std::function<void(const Bytes&)> run;
  std::function<void(Mutator&)> inPlace;  // instead of `run`: damages and reads in place
};

// A mutated copy of a seed: one to eight changes of the target's kind.
Bytes Mutate(Mutator& m, const Target& t, const Bytes& seed, const Bytes& other) {
  Bytes b = seed;
  for (uint32_t n = 1 + m.Below(8); n > 0; --n) {
    switch (t.shape) {
      case Shape::kStream:
        if (m.Below(3)) m.Stream(b); else m.Blind(b, &other);
        break;
      case Shape::kWords:
        if (m.Below(2) && b.size() >= 4) m.EdgeAt(b, m.Below(static_cast<uint32_t>(b.size() / 4)) * 4, static_cast<uint32_t>(b.size()));
        else m.Blind(b, &other);
        break;
      case Shape::kPluginNode: {
        // The node's own fields: next, size, name length; the name's bytes.
        static const size_t kFields[] = {0, 4, 8};
        uint32_t pick = m.Below(6);
        if (pick < 3) m.EdgeAt(b, kFields[pick], static_cast<uint32_t>(b.size()));
        else if (pick == 3 && b.size() > 12) b[12] = static_cast<uint8_t>(m.Below(256));
        else if (pick == 4 && b.size() > 13) b[13 + m.Below(static_cast<uint32_t>(std::min<size_t>(b.size() - 13, 14)))] = "\\/:."[m.Below(4)];
        else m.Blind(b, &other);
        break;
      }
      default: m.Blind(b, &other);
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
  std::string error;
  if (!LoadRealSeeds(argv[1], argv[2], seeds, error)) {
    std::fprintf(stderr, "reader-fuzz: %s\n", error.c_str());
    return 2;
  }
  std::vector<Bytes> codeFixups = {seeds.codeFixups}, dataFixups = {seeds.dataFixups};
  std::vector<Bytes> locators = {Bytes{0x10, 0x20, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}, Bytes{'P', 'I', 'C', 'K', 0, 0, 0, 0}};
  // The real blocks behind a program's first bytes, each cut to its first
  // 64 bytes: the mutations are after the lengths.
  Bytes appended(kImageStart, 0x4D);
  for (const Bytes* block : {&seeds.code, &seeds.codeFixups, &seeds.data, &seeds.dataFixups}) {
    uint32_t kept = static_cast<uint32_t>(std::min<size_t>(block->size(), 64));
    uint8_t prefix[4];
    WriteU32LE(prefix, kept);
    appended.insert(appended.end(), prefix, prefix + 4);
    appended.insert(appended.end(), block->begin(), block->begin() + kept);
  }
  std::vector<Bytes> images = {appended};
  // The delivered archive, and one with three cursor records.
  std::vector<Bytes> archives = {seeds.archive, Bytes{0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 68, 0, 0, 0, 136}};
  archives.back().resize(16 + 3 * 68, 0xA5);
  std::vector<Bytes> bitmaps;
  for (uint16_t bits : {1, 4, 8, 16, 24, 32}) {
    Bytes b(40, 0);
    WriteU32LE(b.data(), 40);
    WriteU32LE(b.data() + 4, 7);
    WriteU32LE(b.data() + 8, bits == 24 ? 0xFFFFFFFD : 3);  // one top-down
    b[12] = 1;
    b[14] = static_cast<uint8_t>(bits);
    if (bits == 16) WriteU32LE(b.data() + 16, 3);
    size_t colours = bits <= 8 ? (1u << bits) : bits == 16 ? 3 : 0;
    b.resize(40 + colours * 4 + ((7 * bits + 31) / 32 * 4) * 3, 0x5A);
    bitmaps.push_back(b);
  }
  LinkState link{{}, {}, &seeds};
  size_t largestNode = 0;
  for (const Bytes& b : seeds.pluginLists) largestNode = std::max(largestNode, b.size());
  LowBlock low(largestNode + 4096);
  InPlaceImage inPlace(seeds);
  InPlaceClasses classes(inPlace);
  InPlaceItems items(inPlace);
  std::vector<Bytes> wholeDataBlock = {seeds.data};

  const Target targets[] = {
      {"image locator", &locators, Shape::kWords, Locator},
      {"appended image blocks", &images, Shape::kWords, AppendedImage},
      {"resource archive", &archives, Shape::kWords, Archive},
      {"code fixups", &codeFixups, Shape::kWords, [&](const Bytes& b) { CodeFixups(link, b); }},
      {"data fixups", &dataFixups, Shape::kWords, [&](const Bytes& b) { DataFixups(link, b); }},
      {"settings", &seeds.settings, Shape::kStream, Settings},
      {"menu bar description", &seeds.menuBars, Shape::kStream, MenuBar},
      {"window and control descriptions", &seeds.windows, Shape::kStream, Window},
      {"stored pictures", &seeds.pictures, Shape::kWords, StoredPicture},
      {"clipboard bitmaps", &bitmaps, Shape::kWords, ClipboardBitmap},
      {"plug-in list", &seeds.pluginLists, Shape::kPluginNode, [&](const Bytes& b) { PluginList(low, b); }},
      {"preference file", &seeds.preferenceFiles, Shape::kBlind, PreferenceFile},
      {"class descriptors", &wholeDataBlock, Shape::kBlind, nullptr, [&](Mutator& m) { classes.Run(m); }},
      {"project record and items", &wholeDataBlock, Shape::kBlind, nullptr, [&](Mutator& m) { items.Run(m); }},
  };
  // The real inputs read whole first: a reader that refused them would make
  // the program refuse its own image.
  AppSettings settings;
  std::vector<MenuEntryDescription> menus;
  std::vector<EmbeddedPlugin> plugins;
  const Bytes& list = seeds.pluginLists.front();
  uint8_t* placed = low.Place(list);
  uint32_t picture[4];
  for (int i = 0; i < 4; ++i) picture[i] = ReadU32LE(seeds.pictures.front().data() + 4 * i);
  const std::pair<const char*, bool> whole[] = {
      {"window", WindowDescriptionReadsWhole(seeds.windows.front().data(), static_cast<uint32_t>(seeds.windows.front().size()))},
      {"settings", ParseSettings(seeds.settings.front().data(), static_cast<uint32_t>(seeds.settings.front().size()), settings)},
      {"menu bar", ReadMenuBarDescription(seeds.menuBars.front().data(), static_cast<uint32_t>(seeds.menuBars.front().size()), menus) && !menus.empty()},
      {"plug-in list", ReadEmbeddedPluginList(placed, {reinterpret_cast<uintptr_t>(placed), list.size()}, plugins) && plugins.size() == 1},
      {"picture", StoredPictureFits(picture)},
      {"class descriptors", classes.ReadAll()},
      {"project record and items", items.ReadAll()},
  };
  for (const auto& [what, read] : whole)
    if (!read) {
      std::fprintf(stderr, "reader-fuzz: the real %s was not read whole\n", what);
      return 1;
    }
  for (const Target& t : targets) {
    if (!only.empty() && only != t.name) continue;
    Mutator m(seed);
    auto start = std::chrono::steady_clock::now();
    if (t.inPlace) {
      for (uint64_t i = 0; i < inputs; ++i) t.inPlace(m);
    } else {
      for (const Bytes& s : *t.seeds) t.run(s);  // the real inputs themselves first
    }
    for (uint64_t i = 0; i < inputs && !t.inPlace; ++i) {
      const Bytes& s = (*t.seeds)[m.Below(static_cast<uint32_t>(t.seeds->size()))];
      const Bytes& other = (*t.seeds)[m.Below(static_cast<uint32_t>(t.seeds->size()))];
      t.run(Mutate(m, t, s, other));
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-32s %zu seeds, %llu inputs, %.1f s\n", t.name, t.seeds->size(),
                static_cast<unsigned long long>(inputs), seconds);
    std::fflush(stdout);
  }
  return 0;
}
