// Picture layouts; see pictures_layout.h. All arithmetic is done in 64 bits:
// a count from the block times an entry size must not wrap into a small,
// plausible number.
#include "services/pictures_layout.h"

#include "sdk/le_bytes.h"

namespace {

constexpr uint32_t kInfoHeader = 40;
constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

bool KnownDepth(uint16_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

bool StoredPictureFits(const uint32_t (&d)[4]) {
  uint32_t bits = d[0], width = d[1], height = d[2], bytes = d[3];
  return bits == 16 && width != 0 && height != 0 && width <= kMaxPictureSide &&
         height <= kMaxPictureSide && uint64_t{width} * height * 2 <= bytes;
}

bool ReadDibLayout(const uint8_t* bytes, size_t size, DibLayout& out) {
  if (!bytes || size < kInfoHeader) return false;
  out.headerSize = ReadU32LE(bytes);
  out.width = static_cast<int32_t>(ReadU32LE(bytes + 4));
  out.height = static_cast<int32_t>(ReadU32LE(bytes + 8));
  out.bitCount = static_cast<uint16_t>(bytes[14] | (bytes[15] << 8));
  out.compression = ReadU32LE(bytes + 16);
  uint32_t imageSize = ReadU32LE(bytes + 20);
  uint32_t used = ReadU32LE(bytes + 32);
  if (out.headerSize < kInfoHeader || out.headerSize > size) return false;
  if (!KnownDepth(out.bitCount) || out.width <= 0 || out.height == 0 ||
      out.height == INT32_MIN)
    return false;
  uint64_t rows = out.height < 0 ? uint64_t(-int64_t{out.height}) : uint64_t(out.height);
  if (uint64_t(out.width) > kMaxPictureSide || rows > kMaxPictureSide) return false;
  uint64_t colours = used ? used : (out.bitCount <= 8 ? 1u << out.bitCount : 0);
  // The three masks follow a plain info header; larger headers hold them.
  if (out.compression == kBitFields) colours = out.headerSize == kInfoHeader ? 3 : 0;
  uint64_t offset = uint64_t{out.headerSize} + colours * 4;
  uint64_t pixels = 0;
  if (out.compression == kRgb || out.compression == kBitFields) {
    if (out.compression == kBitFields && out.bitCount != 16 && out.bitCount != 32) return false;
    pixels = (uint64_t(out.width) * out.bitCount + 31) / 32 * 4 * rows;
  } else if ((out.compression == kRle8 && out.bitCount == 8) ||
             (out.compression == kRle4 && out.bitCount == 4)) {
    if (out.height < 0 || imageSize == 0) return false;
    pixels = imageSize;
  } else {
    return false;
  }
  if (offset > size || pixels > size - offset) return false;
  out.pixelOffset = static_cast<uint32_t>(offset);
  out.pixelBytes = static_cast<uint32_t>(pixels);
  return true;
}
