// The fuzz targets; see reader_targets.h. A body that can tell a wrong
// answer from a right one without a second reader (the same frames or lines
// however the bytes arrive, an escape that unescapes to itself) checks it
// and aborts, so that a wrong answer is a finding like a crash.
#include "tests/fuzz/reader_targets.h"

#include <sys/stat.h>

#include <fstream>

#include "app/frame_assembler.h"
#include "app/pref_codec.h"
#include "objects/description_stream.h"
#include "objects/unwind_records.h"
#include "plugins/declaration_parser.h"
#include "plugins/embedded_plugins.h"
#include "services/japanese_encodings.h"
#include "services/line_reader.h"
#include "startup/archive_layout.h"
#include "startup/image_reader.h"

namespace {

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
constexpr size_t kPluginListRoom = 1 << 16;
bool PluginList(LowBlock& block, const Bytes& input) {
  if (input.size() > kPluginListRoom) return false;
  uint8_t* at = block.Place(input);
  std::vector<EmbeddedPlugin> plugins;
  bool read = ReadEmbeddedPluginList(at, {reinterpret_cast<uintptr_t>(at), input.size()}, plugins);
  for (const EmbeddedPlugin& p : plugins) Touch(p.bytes, p.length);
  return read && plugins.size() == 1;
}

// A file handed to the line reader in reads the file itself cuts (each
// byte's low bits the length of the read it starts) or, as a disk gives
// them, whole buffers. An odd first byte makes the read after the last fail.
struct ReadThrough {
  const Bytes& bytes;
  bool cut;
  size_t at = 0;
};

uint32_t ReadPiece(void* from, uint8_t* into, uint32_t size) {
  auto& f = *static_cast<ReadThrough*>(from);
  if (f.at == f.bytes.size()) return !f.bytes.empty() && f.bytes[0] & 1 ? kReadFailed : 0;
  size_t n = std::min<size_t>({size, f.bytes.size() - f.at, f.cut ? 1u + f.bytes[f.at] % 7 : size});
  memcpy(into, f.bytes.data() + f.at, n);
  f.at += n;
  return static_cast<uint32_t>(n);
}

// The lines as a text stream hands them out: until AtEnd, ReadLine.
std::vector<std::string> Lines(const Bytes& input, bool cut) {
  LineBuffer buffer{};
  ReadThrough file{input, cut};
  std::vector<std::string> lines;
  while (!AtEnd(buffer, ReadPiece, &file)) lines.push_back(ReadLine(buffer, ReadPiece, &file));
  return lines;
}

void LineReader(const Bytes& input) {
  if (Lines(input, true) != Lines(input, false)) std::abort();
}

// The preference file as the application reads it: line by line, each split
// into name and value and unescaped; an escaped value must unescape to itself.
void PreferenceFile(const Bytes& input) {
  for (const std::string& line : Lines(input, false)) {
    PrefSpan name{}, value{};
    if (!PrefSplitLine(line.data(), line.size(), &name, &value)) continue;
    std::string key(name.length, '\0'), out(value.length, '\0');
    key.resize(PrefUnescape(name.bytes, name.length, key.data()));
    out.resize(PrefUnescape(value.bytes, value.length, out.data()));
    std::string escaped(PrefEscapedCapacity(out.size()), '\0'), again(escaped.size(), '\0');
    escaped.resize(PrefEscape(out.data(), out.size(), escaped.data()));
    again.resize(PrefUnescape(escaped.data(), escaped.size(), again.data()));
    if (again != out) std::abort();
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

// Text the handheld sent in one of the Japanese encodings, converted every way.
void JapaneseText(const Bytes& input) {
  std::string_view text(reinterpret_cast<const char*>(input.data()), input.size());
  for (auto convert : {EucJpToShiftJis, ShiftJisToEucJp, Iso2022JpToShiftJis, ShiftJisToIso2022Jp}) {
    std::string out = convert(text);
    Touch(out.data(), out.size());
  }
  gSink = gSink + GuessJapaneseBase(text);
}

// A plug-in's declaration as registration parses it.
void PluginDeclaration(const Bytes& input) {
  std::string_view text(reinterpret_cast<const char*>(input.data()), input.size());
  std::optional<Declaration> d = ParseDeclaration(text);
  if (d)
    for (const DeclaredParameter& p : d->params) Touch(p.type.data(), p.type.size());
}

// The bytes after a call, past the jump and marker the unwinder checks first, ending
// against an unreadable page. A list read whole ends on its end bytes, within its limit.
struct CodeAfterCall final : CodeBytes, UnwindVisitor {
  CodeAfterCall(const uint8_t* bytes, size_t n) : in(bytes), size(n) {}
  uint8_t Byte() override { return (ok = ok && at < size) ? in[at++] : 0; }
  bool Ok() const override { return ok; }
  uintptr_t Here() const override { return reinterpret_cast<uintptr_t>(in + at); }
  void Release(Held kind, uintptr_t slot) override { gSink = gSink + slot + (kind == Held::kString); }
  bool Catch(int32_t classIndex, uintptr_t handler) override { return (classIndex + handler) % 2 == 0; }
  void Damage(const char* what) override { Touch(what, std::strlen(what)); }
  bool Ends(bool whole, size_t limit, Bytes end) {
    if (at - from > limit || (whole && !std::equal(end.begin(), end.end(), in + at - end.size()))) std::abort();
    from = at;
    return whole;
  }
  const uint8_t* in;
  size_t size, at = 3, from = 3;
  bool ok = true;
};

void UnwindRecords(const uint8_t* bytes, size_t n) {
  CodeAfterCall c(bytes, n);
  bool noCatch = false;
  if (c.Ends(ReadCallSiteList(c, 0x1000, c, &noCatch), 2 * kMaxListBytes, {0}) &&
      c.Ends(SkipToFunctionList(c, c), kMaxScanBytes, {0xC9, 0xC3, 0x2F}))
    c.Ends(ReadFunctionList(c, 0x80000000, noCatch, c) == FunctionListEnd::kEnd, 7 * kMaxListBytes, {0});
}

}  // namespace

ReaderTargets::ReaderTargets(const std::string& imageDir, const std::string& prefsExpected)
    : seeds_(LoadRealSeeds(imageDir, prefsExpected)),
      inPlace_(seeds_),
      low_(kPluginListRoom),
      code_(seeds_.code),
      data_(seeds_.data) {
  CheckRealInputs();
  AddImageTargets();
  AddDescriptionTargets();
  AddExchangeTargets();
}

// A reader that refused the real inputs would make the program refuse its
// own image (ReadProject reads the settings, menu bar and picture items;
// windows were taken only where they read whole).
void ReaderTargets::CheckRealInputs() {
  const std::pair<const char*, const std::vector<Bytes>*> kinds[] = {
      {"settings", &seeds_.settings},           {"menu bar", &seeds_.menuBars},
      {"window description", &seeds_.windows},  {"plug-in list", &seeds_.pluginLists},
      {"preference file", &seeds_.preferenceFiles}, {"plug-in declaration", &seeds_.declarations}};
  for (const auto& [what, found] : kinds)
    if (found->empty() || found->front().empty()) FuzzFail(std::string("no ") + what + " found in the real inputs");
  if (!PluginList(low_, seeds_.pluginLists.front())) FuzzFail("the real plug-in list was not read whole", 1);
  if (!inPlace_.ReadsWhole()) FuzzFail("the real project record, classes and items were not read whole", 1);
}

LoadedBlocks ReaderTargets::Blocks() {
  return {code_.Fresh(), code_.Length(), 0x00400000u, data_.Fresh(), data_.Length(), 0x10000000u};
}

// What start-up reads of the program file and the image in it.
void ReaderTargets::AddImageTargets() {
  // The real blocks behind a program's first bytes, each cut to 64 bytes.
  Bytes appended(kImageStart, 0x4D);
  for (const Bytes* block : {&seeds_.code, &seeds_.codeFixups, &seeds_.data, &seeds_.dataFixups}) {
    uint32_t kept = std::min<uint32_t>(Size(*block), 64);
    for (int i = 0; i < 4; ++i) appended.push_back(static_cast<uint8_t>(kept >> 8 * i));
    appended.insert(appended.end(), block->begin(), block->begin() + kept);
  }
  // The delivered archive, and one with three cursor records.
  Bytes threeCursors = {0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 68, 0, 0, 0, 136};
  threeCursors.resize(16 + 3 * 68, 0xA5);
  // Four words changed by nothing: the real image, which mutations damage.
  Bytes damage = Words({0, 0, 1, 0, 2, 0, 3, 0}, 32);
  targets_.insert(targets_.end(), {
      {"locator", Shape::kWords, {Words({0x2010, ~0u}, 8), Bytes{'P', 'I', 'C', 'K', 0, 0, 0, 0}},
       [](const Bytes& b) {
         image::Locator l{};
         if (DecodeLocator(b.data(), Size(b), l)) gSink = gSink + l.imageOffset + l.archiveOffset;
       }},
      {"image-blocks", Shape::kWords, {appended}, AppendedImage},
      {"archive", Shape::kWords, {seeds_.archive, threeCursors}, Archive},
      {"code-fixups", Shape::kWords, {seeds_.codeFixups},
       [this](const Bytes& b) { LinkCode(Blocks(), b.data(), Size(b), resolver_, error_); }},
      {"data-fixups", Shape::kWords, {seeds_.dataFixups},
       [this](const Bytes& b) { RelocateData(Blocks(), b.data(), Size(b), error_); }},
      {"project", Shape::kWords, {damage}, [this](const Bytes& b) { inPlace_.Run(b); },
       inPlace_.DataLength()},
      {"plugin-list", Shape::kPluginNode, seeds_.pluginLists, [this](const Bytes& b) { PluginList(low_, b); }},
      // Compiled code's exception tables after a call; the last with a call-site list too long.
      {"unwind-records", Shape::kBlind,
       {{0xEB, 4, 0x2F, 1, 8, 0, 0x90, 0x90, 0xC9, 0xC3, 0x2F, 4, 0, 1, 0, 0, 0, 0x10, 5, 0xFF, 0xF8, 0},
        {0xEB, 5, 0x2F, 2, 0, 7, 0, 0x90, 0xC9, 0xC3, 0x2F, 6, 0xFF, 0xF4, 4, 0, 2, 0xFF, 0xFF, 0xFF, 0xF2, 0},
        Bytes(3 + 2 * kMaxListBytes + 8, 1)},
       [this](const Bytes& b) { UnwindRecords(low_.Place(b), b.size()); }},
  });
}

// The descriptions in the image that the runtime builds things from.
void ReaderTargets::AddDescriptionTargets() {
  // Stored pictures of 1 x 1, 7 x 3 and 8 x 8.
  std::vector<Bytes> pictures;
  for (auto [w, h] : {std::pair<uint32_t, uint32_t>{1, 1}, {7, 3}, {8, 8}})
    pictures.push_back(Words({16, w, h, w * h * 2}, 16 + w * h * 2));
  targets_.insert(targets_.end(), {
      {"settings", Shape::kStream, seeds_.settings,
       [](const Bytes& b) {
         AppSettings settings;
         ParseSettings(b.data(), Size(b), settings);
         for (const std::string& m : settings.messages) Touch(m.data(), m.size());
       }},
      {"menu-bar", Shape::kStream, seeds_.menuBars,
       [](const Bytes& b) {
         std::vector<MenuEntryDescription> menus;
         ReadMenuBarDescription(b.data(), Size(b), menus);
       }},
      // As the runtime checks a window description before building the window.
      {"windows", Shape::kStream, seeds_.windows,
       [](const Bytes& b) { gSink = gSink + WindowDescriptionReadsWhole(b.data(), Size(b)); }},
      {"pictures", Shape::kWords, pictures, StoredPicture},
      {"declarations", Shape::kBlind, seeds_.declarations, PluginDeclaration},
  });
}

// What other programs, the handheld and the user's files hand over.
void ReaderTargets::AddExchangeTargets() {
  // Clipboard bitmaps of every depth, 7 x 3, the 24-bit one top-down.
  std::vector<Bytes> bitmaps;
  for (uint32_t bits : {1, 4, 8, 16, 24, 32}) {
    uint32_t colours = bits <= 8 ? 1u << bits : bits == 16 ? 3 : 0;
    bitmaps.push_back(Words({40, 7, bits == 24 ? 0xFFFFFFFD : 3, 1 | bits << 16, bits == 16 ? 3u : 0, 0, 0, 0, 0, 0},
                            40 + colours * 4 + (7 * bits + 31) / 32 * 4 * 3));
  }
  std::vector<Bytes> lines = seeds_.preferenceFiles;
  lines.push_back(Text("one\rtwo\nthree\r\n\r\rfour\n\nfive"));
  lines.push_back(Text(std::string(1023, 'a') + "\r\nb\r"));  // a line end split by a refill
  targets_.insert(targets_.end(), {
      {"bitmaps", Shape::kWords, bitmaps,
       [](const Bytes& b) {
         DibLayout layout{};
         if (ReadDibLayout(b.data(), b.size(), layout)) Touch(b.data() + layout.pixelOffset, layout.pixelBytes);
       }},
      {"prefs", Shape::kBlind, seeds_.preferenceFiles, PreferenceFile},
      {"line-reader", Shape::kBlind, lines, LineReader},
      {"handheld", Shape::kBlind,
       {Text("\x02hello\x08\x03\x02\x08\x03\x02" "ab\x02" "cd\x03op\x03"),
        Text("\x02\x01ping\x03" "abc\x08\x08\x08\x08\x03\x02x")},
       [](const Bytes& b) { if (HandheldFrames(b, false) != HandheldFrames(b, true)) std::abort(); }},
      {"japanese-text", Shape::kBlind,
       {Text("\x82\xa0\x82\xa2 abc \xb1\xb2\r\n\x88\x9f"), Text("\xa4\xa2\xa4\xa4 \x8e\xb1 \x8f\xa1\xa1"),
        Text("\x1b$B$\"$$\x1b(B abc \x1b(I12\x1b(B\x0e" "12\x0f")},
       JapaneseText},
  });
}

const ReaderTarget* ReaderTargets::Find(std::string_view name) const {
  for (const ReaderTarget& t : targets_)
    if (name == t.name) return &t;
  return nullptr;
}

bool ReaderTargets::WriteSeeds(const std::string& dir) const {
  mkdir(dir.c_str(), 0755);
  for (const ReaderTarget& t : targets_) {
    std::string folder = dir + "/" + t.name;
    mkdir(folder.c_str(), 0755);
    for (size_t n = 0; n < t.seeds.size(); ++n) {
      std::ofstream out(folder + "/seed-" + std::to_string(n), std::ios::binary);
      out.write(reinterpret_cast<const char*>(t.seeds[n].data()), static_cast<std::streamsize>(t.seeds[n].size()));
      if (!out) return false;
    }
  }
  return true;
}
