// The seal of an appended image: a CRC-32 of the image as it lies in the
// program file (the four length words and blocks, from the image offset to
// the end of the fourth block), in 8 bytes right after the fourth block.
//
// The loader's checks catch damage that makes the image impossible; a seal
// also catches damage that leaves it possible but wrong (a class index or a
// code byte changed to another valid one), which no check can tell from the
// real thing. The loader verifies the seal before it reads anything else. An
// image without one, made by another tool, still loads: its tag is simply
// absent, and the checks stand alone.
#pragma once
#include <cstddef>
#include <cstdint>

#include "sdk/image_format.h"
#include "sdk/le_bytes.h"

namespace image {

struct Seal {
  char tag[4];   // kSealTag
  uint32_t crc;  // little-endian
};
static_assert(sizeof(Seal) == 8);
static_assert(offsetof(Seal, crc) == 4);

inline constexpr char kSealTag[4] = {'S', 'E', 'A', 'L'};

namespace detail {
struct CrcTable {
  uint32_t entry[256];
};
constexpr CrcTable MakeCrcTable() {
  CrcTable table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table.entry[i] = c;
  }
  return table;
}
inline constexpr CrcTable kCrcTable = MakeCrcTable();
}  // namespace detail

// The CRC-32 of the IEEE 802.3 polynomial (reflected, all ones in and out).
// Passing the CRC of what came before as `crc` continues it over `bytes`.
inline uint32_t Crc32(const uint8_t* bytes, size_t length, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < length; ++i) crc = detail::kCrcTable.entry[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

// The CRC a seal holds for these blocks: over each length word, then its block.
inline uint32_t ImageCrc(const uint8_t* const (&bytes)[kBlockCount], const uint32_t (&lengths)[kBlockCount]) {
  uint32_t crc = 0;
  for (int i = 0; i < kBlockCount; ++i) {
    uint8_t word[4];
    WriteU32LE(word, lengths[i]);
    crc = Crc32(bytes[i], lengths[i], Crc32(word, 4, crc));
  }
  return crc;
}

}  // namespace image
