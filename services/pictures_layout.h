// The layouts of the picture bytes the runtime is handed by others: the
// stored pictures of the application image (16-bit pixels, top row first)
// and packed device-independent bitmaps from the clipboard, which another
// program wrote. Pure and checked against the block that holds them, so
// that they can be fuzzed on the host.
#pragma once
#include <cstddef>
#include <cstdint>

inline constexpr uint32_t kMaxPictureSide = 0x4000;

// A stored picture description: bit depth, width, height, byte count, then
// the pixels. True when it is a 16-bit picture of a sane size whose rows lie
// within its byte count.
bool StoredPictureFits(const uint32_t (&description)[4]);

// Where a packed bitmap's pixels start and how many bytes they take.
struct DibLayout {
  uint32_t headerSize;
  uint32_t pixelOffset;
  uint32_t pixelBytes;
  int32_t width, height;  // height < 0: top row first
  uint16_t bitCount;
  uint32_t compression;
};

// Reads the header of a packed bitmap of `size` bytes: header, colour
// table, pixels. False unless every part lies within the block and the
// header describes something a screen bitmap can be made of.
bool ReadDibLayout(const uint8_t* bytes, size_t size, DibLayout& out);
