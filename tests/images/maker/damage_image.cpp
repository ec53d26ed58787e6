// Damaged copies of a program with an appended image (found by the PICKLE
// locator); each --nth damage is named on stdout.
//   damage-image IN OUT KIND     KIND: code-byte (one code byte changed, the
//                                seal kept); class-count, self-superclass,
//                                instance-size, advance-short, no-class (the
//                                control named TimerSerial made of no class),
//                                timer-class (the control named ProgressBar
//                                made of TimerSerial's class, a Timer's) (the
//                                seal taken off, so that the loader's own
//                                checks are what sees them)
//   damage-image IN OUT --nth N [SEED]  damage N of the seeded sequence SEED
//                                (1 when not given): see Nth
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "objects/description_stream.h"
#include "sdk/image_seal.h"
#include "sdk/le_bytes.h"
#include "tools/image_builder/pe_resources.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Where the blocks lie in the file (code, code fixups, data, data fixups),
// each after its length word.
struct Image {
  uint32_t start = 0, end = 0, seal = 0;  // seal: 0 when the image has none
  uint32_t block[4] = {}, length[4] = {};
  uint32_t Data(uint32_t offset) const { return block[2] + offset; }
};

uint32_t Word(const Bytes& f, uint64_t at) { return at + 4 <= f.size() ? ReadU32LE(f.data() + at) : 0; }

bool Locate(const Bytes& file, Image& image) {
  PeFacts facts;
  std::string error;
  if (!ReadPeFacts(file, facts, error) || facts.locatorSize < 8) return false;
  uint64_t pos = image.start = ReadU32LE(file.data() + facts.locatorOffset);
  for (int i = 0; i < 4; ++i) {
    if (pos + 4 > file.size()) return false;
    image.length[i] = Word(file, pos);
    image.block[i] = static_cast<uint32_t>(pos + 4);
    pos += 4ull + image.length[i];
    if (pos > file.size()) return false;
  }
  image.end = static_cast<uint32_t>(pos);
  if (pos + 8 <= file.size() && std::memcmp(file.data() + pos, image::kSealTag, 4) == 0) image.seal = image.end;
  return true;
}

// The file offsets of the words start-up reads first: the project record,
// its class and item lists, the leading words of each class descriptor and
// item. Offsets stored in the data block are still offsets into it.
std::vector<uint32_t> RecordWords(const Bytes& f, const Image& im) {
  std::vector<uint32_t> words;
  auto inData = [&](uint32_t offset, uint32_t bytes) { return uint64_t{offset} + bytes <= im.length[2]; };
  // The list at `at` (a count, then offsets) and each entry's first `lead` words; returns the count.
  auto list = [&](uint32_t at, uint32_t lead, bool skipNil) {
    uint32_t count = Word(f, im.Data(at));
    words.push_back(im.Data(at));
    for (uint32_t i = 0; i < count && inData(at + 4 + 4 * i, 4); ++i) {
      uint32_t entry = Word(f, im.Data(at + 4 + 4 * i));
      words.push_back(im.Data(at + 4 + 4 * i));
      for (uint32_t w = 0; w < lead && !(skipNil && !entry) && inData(entry + 4 * w, 4); ++w)
        words.push_back(im.Data(entry + 4 * w));
    }
    return count;
  };
  uint32_t record = Word(f, im.Data(4));
  if (!inData(record, 4)) return words;
  words.push_back(im.Data(4));
  uint32_t items = record + 4 + 4 * list(record, 5, false);
  if (inData(items, 4)) list(items, 4, true);
  return words;
}

// The file offsets of the byte counts of the window descriptions the code
// refers to (through the data reference records of the code fixups).
std::vector<uint32_t> DescriptionCounts(const Bytes& f, const Image& im) {
  std::vector<uint32_t> counts;
  uint32_t at = im.block[1], end = im.block[1] + im.length[1];
  while (at < end) {
    uint8_t type = f[at];
    if (type == 1 && at + 6 <= end) {  // import: head, name length, name
      at += 6 + f[at + 5];
    } else if (type == 2 && at + 5 <= end) {  // data reference: a code offset
      uint32_t site = Word(f, at + 1), offset = site + 4 <= im.length[0] ? Word(f, im.block[0] + site) : 0;
      uint32_t length = uint64_t{offset} + 4 <= im.length[2] ? Word(f, im.Data(offset)) : 0;
      if (length > 2 && uint64_t{offset} + 4 + length <= im.length[2] && length < 4096) counts.push_back(im.Data(offset));
      at += 5;
    } else {
      ++at;
    }
  }
  return counts;
}

// A control of a window description the code refers to: where its class
// index lies in the file, a packed integer of `bytes` bytes, and its value.
struct DescribedControl {
  uint32_t at = 0, bytes = 0;
  int32_t cls = 0;
};

// The control named `name` in the window descriptions the code refers to.
bool FindControl(const Bytes& f, const Image& im, const std::string& name, DescribedControl& out) {
  for (uint32_t count : DescriptionCounts(f, im)) {
    uint32_t end = count + 4 + Word(f, count);
    DescriptionStream s(f.data() + count + 4, end - count - 4);
    int32_t properties = s.PackedInt();
    s.PackedInt();  // the window's class
    for (int32_t i = 0; i < properties && !s.Overrun(); ++i) s.PackedString(), s.PackedString();
    int32_t controls = s.PackedInt();
    for (int32_t i = 0; i < controls && !s.Overrun(); ++i) {
      DescribedControl c{end - s.Remaining()};
      c.cls = s.PackedInt();
      c.bytes = end - s.Remaining() - c.at;
      int32_t pairs = s.PackedInt();
      for (int32_t p = 0; p < pairs && !s.Overrun(); ++p) {
        std::string_view key = s.PackedString(), value = s.PackedString();
        if (key != "Name" || value != name) continue;
        out = c;
        return true;
      }
    }
  }
  return false;
}

// Writes `value` over the control's class index in as many bytes as it took
// (continuation bytes of zero are allowed); false when it does not fit.
bool SetClass(Bytes& f, const DescribedControl& c, int32_t value) {
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  for (uint32_t i = 0; i < c.bytes; ++i) {
    uint32_t bits = i ? 7 : 6;
    auto b = static_cast<uint8_t>(magnitude & ((1u << bits) - 1));
    magnitude >>= bits;
    if (i == 0 && value < 0) b |= 0x40;
    f[c.at + i] = static_cast<uint8_t>(b | (i + 1 < c.bytes ? 0x80 : 0));
  }
  return magnitude == 0;
}

// The control TimerSerial made of no class, or the control ProgressBar made
// of TimerSerial's class (a Timer, whose fields end where a bar's begin).
bool ChangeControlClass(Bytes& f, const Image& im, const std::string& kind) {
  DescribedControl serial, bar;
  if (!FindControl(f, im, "TimerSerial", serial)) return false;
  if (kind == "no-class") return SetClass(f, serial, -1);
  return FindControl(f, im, "ProgressBar", bar) && SetClass(f, bar, serial.cls);
}

// The first advance word of the data fixups made one byte short: every
// later relocation lands a byte early, inside a word it was never meant for.
bool ShortenAdvance(Bytes& f, const Image& im) {
  for (uint32_t at = im.block[3]; at + 2 <= im.block[3] + im.length[3]; at += 2) {
    uint16_t w = ReadU16LE(f.data() + at);
    if ((w & 0xF000) != 0x8000 || (w & 0x0FFF) == 0) continue;
    WriteU16LE(f.data() + at, static_cast<uint16_t>(w - 1));
    return true;
  }
  return false;
}

// The named damages: a code byte, an advance, a control's class, the class
// count, or the first class descriptor of kind 0 whose superclass is another
// class.
bool Named(Bytes& f, const Image& im, const std::string& kind) {
  if (kind == "code-byte") {
    if (!im.seal || im.length[0] == 0) return false;
    f[im.block[0] + im.length[0] / 2] ^= 0x01;
    return true;
  }
  if (im.seal) std::memset(f.data() + im.seal, 0, 4);
  if (kind == "advance-short") return ShortenAdvance(f, im);
  if (kind == "no-class" || kind == "timer-class") return ChangeControlClass(f, im, kind);
  uint32_t record = Word(f, im.Data(4)), classes = Word(f, im.Data(record));
  if (kind == "class-count") {
    WriteU32LE(f.data() + im.Data(record), 0x7FFFFFFF);
    return true;
  }
  for (uint32_t i = 0; i < classes && i < 4096; ++i) {
    uint32_t d = Word(f, im.Data(record + 4 + 4 * i));
    if (uint64_t{d} + 16 > im.length[2] || Word(f, im.Data(d)) != 0 || Word(f, im.Data(d + 12)) == 0xFFFFFFFFu)
      continue;
    if (kind == "self-superclass") WriteU32LE(f.data() + im.Data(d + 12), i);
    else if (kind == "instance-size") WriteU32LE(f.data() + im.Data(d + 4), 0xFFFFFFFF);
    else return false;
    return true;
  }
  return false;
}

// --- seeded damage ---------------------------------------------------------------

// A place the generator may damage: `width` bytes at file offset `at`, in
// one part of the image. A change to code (`code`), like one to the code
// block, leaves the image possible, and only the seal can refuse it.
struct Place {
  uint32_t at;
  uint8_t width;
  bool code = false;
};

struct Part {
  const char* name;
  std::vector<Place> places;
};

// Every record of the code fixups: its type byte, a data reference's site,
// an import's chain head, name length and a byte of its name. These are
// code as much as the code block is: a site moved to another word or a
// record made one the format skips leaves a possible image, only wrongly
// linked, which the seal alone can refuse.
std::vector<Place> CodeFixupPlaces(const Bytes& f, const Image& im) {
  std::vector<Place> places;
  for (uint32_t at = im.block[1], end = im.block[1] + im.length[1]; at < end;) {
    places.push_back({at, 1, true});
    if (f[at] == 2 && at + 5 <= end) {
      places.push_back({at + 1, 4, true});
      at += 5;
    } else if (f[at] == 1 && at + 6 <= end) {
      places.insert(places.end(), {{at + 1, 4, true}, {at + 5, 1, true}});
      if (f[at + 5] && at + 6 + f[at + 5] <= end) places.push_back({at + 6 + f[at + 5] / 2u, 1, true});
      at += 6 + f[at + 5];
    } else {
      ++at;
    }
  }
  return places;
}

// Every word of the data fixups.
std::vector<Place> DataFixupPlaces(const Image& im) {
  std::vector<Place> places;
  for (uint32_t at = im.block[3]; at + 2 <= im.block[3] + im.length[3]; at += 2) places.push_back({at, 2});
  return places;
}

// The one-byte packed integers of the window and menu descriptions: class
// indexes, counts, lengths and flags among them.
std::vector<Place> DescriptionPlaces(const Bytes& f, const Image& im) {
  std::vector<Place> places;
  for (uint32_t count : DescriptionCounts(f, im)) {
    uint32_t length = Word(f, count);
    for (uint32_t at = count + 4, end = count + 4 + length; at < end; ++at) {
      if (f[at] < 0x80) places.push_back({at, 1});
      while (at < end && (f[at] & 0x80)) ++at;  // the rest of a longer integer
    }
  }
  return places;
}

// The string records the class descriptors name (four words each).
std::vector<Place> StringPlaces(const Bytes& f, const Image& im) {
  std::vector<Place> places;
  uint32_t record = Word(f, im.Data(4)), classes = Word(f, im.Data(record));
  for (uint32_t i = 0; i < classes && i < 4096 && uint64_t{record} + 8 + 4 * i <= im.length[2]; ++i) {
    uint32_t d = Word(f, im.Data(record + 4 + 4 * i));
    if (uint64_t{d} + 12 > im.length[2] || Word(f, im.Data(d)) != 0) continue;  // kind 0 only
    uint32_t name = Word(f, im.Data(d + 8));
    if (name == 0 || uint64_t{name} + 16 > im.length[2]) continue;
    for (uint32_t w = 0; w < 4; ++w) places.push_back({im.Data(name + 4 * w), 4});
  }
  return places;
}

// The embedded plug-in libraries' nodes, found by their ".dll" names: the
// link to the next node, the size, the name's length and a byte of it, and a
// few bytes of the library itself.
std::vector<Place> PluginPlaces(const Bytes& f, const Image& im) {
  std::vector<Place> places;
  static const char kDll[] = ".dll";
  for (uint32_t at = im.block[2] + 13; at + 4 <= im.block[2] + im.length[2]; ++at) {
    if (std::memcmp(f.data() + at, kDll, 4) != 0) continue;
    for (uint32_t n = 5; n <= 64 && n <= at + 4 - im.block[2] - 13; ++n) {
      uint32_t node = at + 4 - n - 13;
      if (f[node + 12] != n) continue;
      places.insert(places.end(), {{node, 4}, {node + 4, 4}, {node + 12, 1}, {node + 13, 1}});
      for (uint32_t k = 1; k <= 8; ++k) places.push_back({at + 4 + k * 61, 1, true});  // the library's headers
      break;
    }
  }
  return places;
}

// The locator's two words and, when there is an archive, its count and
// first entries.
std::vector<Place> LocatorPlaces(const Bytes& f) {
  PeFacts facts;
  std::string error;
  std::vector<Place> places;
  if (!ReadPeFacts(f, facts, error) || facts.locatorSize < 8) return places;
  places.insert(places.end(), {{facts.locatorOffset, 4}, {facts.locatorOffset + 4, 4}});
  uint32_t archive = Word(f, facts.locatorOffset + 4);
  for (uint32_t w = 0; w < 3 && uint64_t{archive} + 4 * w + 4 <= f.size(); ++w) places.push_back({archive + 4 * w, 4});
  return places;
}

// The project record, its lists, the leading words of descriptors and items,
// the block lengths and the seal.
std::vector<Place> RecordPlaces(const Bytes& f, const Image& im) {
  std::vector<Place> places;
  for (uint32_t at : RecordWords(f, im)) places.push_back({at, 4});
  for (uint32_t block : im.block) places.push_back({block - 4, 4});
  if (im.seal) places.insert(places.end(), {{im.seal, 4}, {im.seal + 4, 4}});
  return places;
}

uint32_t Read(const Bytes& f, const Place& p) {
  if (p.width == 1) return f[p.at];
  return p.width == 2 ? ReadU16LE(f.data() + p.at) : ReadU32LE(f.data() + p.at);
}

void Write(Bytes& f, const Place& p, uint32_t v) {
  if (p.width == 1) f[p.at] = static_cast<uint8_t>(v);
  else if (p.width == 2) WriteU16LE(f.data() + p.at, static_cast<uint16_t>(v));
  else WriteU32LE(f.data() + p.at, v);
}

// A new value for `p`: a bit flipped, a small step, 0 or all ones, the value
// of another place of its part (an offset aliasing another valid one, a
// list entry duplicated), or one reaching across the data block's end.
std::string ChangeValue(Bytes& f, const Image& im, const Part& part, const Place& p, std::mt19937_64& rng) {
  uint32_t old = Read(f, p), bits = p.width * 8u, mask = bits == 32 ? ~0u : (1u << bits) - 1;
  uint32_t v = old;
  std::string what;
  switch (rng() % 6) {
    case 0: v = old ^ (1u << rng() % bits), what = "a bit flipped"; break;
    case 1: {
      auto step = static_cast<int32_t>(1 + rng() % 8) * (rng() % 2 ? 1 : -1);
      v = old + static_cast<uint32_t>(step), what = "moved by " + std::to_string(step);
      break;
    }
    case 2: v = rng() % 2 ? 0 : mask, what = v ? "set to all ones" : "set to 0"; break;
    case 3: {
      const Place& other = part.places[rng() % part.places.size()];
      v = Read(f, other), what = "given the value at " + std::to_string(other.at);
      break;
    }
    case 4: {
      const Place& next = part.places[std::min<size_t>(&p - part.places.data() + 1, part.places.size() - 1)];
      v = Read(f, next), what = "given its neighbour's value";
      break;
    }
    default: v = im.length[2] - 3 + static_cast<uint32_t>(rng() % 7), what = "set across the data block's end";
  }
  Write(f, p, v & mask);
  return what + " (" + std::to_string(old) + " to " + std::to_string(Read(f, p)) + ")";
}

// Damage number `n` of the sequence `seed` gives: one place of one part of
// the image changed, or the file cut inside the image. Where the image has a
// seal and the blocks keep their places, the seal is mostly made again to
// fit, so that the loader's own checks meet the damage (as if a faulty
// builder had made it); otherwise the seal is what refuses it.
std::string Nth(Bytes& f, const Image& im, uint32_t n, uint64_t seed) {
  std::mt19937_64 rng(seed * 0x9E3779B97F4A7C15ull + n);
  if (rng() % 16 == 0) {
    uint32_t cut = im.start + static_cast<uint32_t>(rng() % (im.end - im.start));
    f.resize(cut);
    return "cut at " + std::to_string(cut) + " of an image from " + std::to_string(im.start) + " to " +
           std::to_string(im.end);
  }
  std::vector<Part> parts = {{"code fixups", CodeFixupPlaces(f, im)}, {"data fixups", DataFixupPlaces(im)},
                             {"descriptions", DescriptionPlaces(f, im)}, {"strings", StringPlaces(f, im)},
                             {"plug-ins", PluginPlaces(f, im)},          {"locator and archive", LocatorPlaces(f)},
                             {"records", RecordPlaces(f, im)}};
  std::erase_if(parts, [](const Part& p) { return p.places.empty(); });
  const Part& part = parts[rng() % parts.size()];
  const Place& place = part.places[rng() % part.places.size()];
  std::string what = std::string(part.name) + ": " + std::to_string(place.width) + " bytes at " +
                     std::to_string(place.at) + " " + ChangeValue(f, im, part, place, rng);
  bool layoutKept = true;
  for (uint32_t i = 0; i < 4; ++i) layoutKept = layoutKept && Word(f, im.block[i] - 4) == im.length[i];
  if (!im.seal || !layoutKept || place.code || place.at >= im.seal || rng() % 8 == 0)
    return what + ", seal as it was";
  WriteU32LE(f.data() + im.seal + 4, image::Crc32(f.data() + im.start, im.end - im.start));
  return what + ", sealed again";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: damage-image IN OUT KIND | damage-image IN OUT --nth N\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  Bytes f((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Image im;
  if (!Locate(f, im) || RecordWords(f, im).empty()) {
    std::fprintf(stderr, "damage-image: no image found in %s\n", argv[1]);
    return 2;
  }
  std::string kind = argv[3];
  if (kind == "--nth" && argc > 4) {
    uint64_t seed = argc > 5 ? std::strtoull(argv[5], nullptr, 10) : 1;
    std::printf("%s\n", Nth(f, im, static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 10)), seed).c_str());
  } else if (!Named(f, im, kind)) {
    std::fprintf(stderr, "damage-image: cannot make damage %s\n", kind.c_str());
    return 2;
  }
  std::ofstream out(argv[2], std::ios::binary);
  out.write(reinterpret_cast<const char*>(f.data()), static_cast<std::streamsize>(f.size()));
  return out ? 0 : 2;
}
