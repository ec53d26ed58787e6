// Damaged copies of a program with an appended image (found by the PICKLE
// locator); each --nth damage is named on stdout.
//   damage-image IN OUT KIND     KIND: code-byte (one code byte changed, the
//                                seal kept); class-count, self-superclass,
//                                instance-size, advance-short (the seal taken
//                                off, so that the loader's own checks are
//                                what sees them)
//   damage-image IN OUT --nth N  the N-th of the end-to-end damages (any N),
//                                the seal as the damage leaves it
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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

// The named damages: a code byte, an advance, the class count, or the first
// class descriptor of kind 0 whose superclass is another class.
bool Named(Bytes& f, const Image& im, const std::string& kind) {
  if (kind == "code-byte") {
    if (!im.seal || im.length[0] == 0) return false;
    f[im.block[0] + im.length[0] / 2] ^= 0x01;
    return true;
  }
  if (im.seal) std::memset(f.data() + im.seal, 0, 4);
  if (kind == "advance-short") return ShortenAdvance(f, im);
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

// Five kinds in turn: a bit flipped in a record word, a block's length or a
// description's byte count; the file cut inside the image; such a word set to
// 0, to all ones, or to an offset reaching across the data block's end.
std::string Nth(Bytes& f, const Image& im, uint32_t n) {
  std::vector<uint32_t> words = RecordWords(f, im);
  for (uint32_t block : im.block) words.push_back(block - 4);  // the lengths
  if (im.seal) words.insert(words.end(), {im.seal, im.seal + 4});
  for (uint32_t count : DescriptionCounts(f, im)) words.push_back(count);
  uint32_t pick = n / 5, at = words[(pick * 7 + n) % words.size()], bit = (pick * 13 + n) % 32;
  auto text = [](uint64_t v) { return std::to_string(v); };
  if (n % 5 == 1) {
    uint32_t cut = im.start + static_cast<uint32_t>((uint64_t{pick} * 2654435761u) % (im.end - im.start));
    f.resize(cut);
    return "cut at " + text(cut) + " of an image from " + text(im.start) + " to " + text(im.end);
  }
  const uint32_t values[] = {Word(f, at) ^ (1u << bit), 0, 0, 0xFFFFFFFF, im.length[2] - 3 + pick % 7};
  WriteU32LE(f.data() + at, values[n % 5]);
  if (n % 5 == 0) return "bit " + text(bit) + " of the word at " + text(at) + " flipped";
  if (n % 5 == 2 || n % 5 == 3)
    return "word at " + text(at) + (n % 5 == 2 ? " set to 0" : " set to 0xFFFFFFFF");
  return "word at " + text(at) + " set to " + text(values[4]) + ", across the data block's end";
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
    std::printf("%s\n", Nth(f, im, static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 10))).c_str());
  } else if (!Named(f, im, kind)) {
    std::fprintf(stderr, "damage-image: cannot make damage %s\n", kind.c_str());
    return 2;
  }
  std::ofstream out(argv[2], std::ios::binary);
  out.write(reinterpret_cast<const char*>(f.data()), static_cast<std::streamsize>(f.size()));
  return out ? 0 : 2;
}
