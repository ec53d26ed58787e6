// A packed bitmap from the clipboard and a stored picture from the image: each
// damaged header is refused before anything is read past its block.
#include "services/pictures_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "sdk/le_bytes.h"

namespace {

// A packed 8-bit 3 x 2 bitmap with a full colour table: 40 + 1024 + 2 * 4.
std::vector<uint8_t> Dib() {
  std::vector<uint8_t> b(40 + 256 * 4 + 8, 0);
  const uint32_t header[] = {40, 3, 2, 1 | 8 << 16};  // size, width, height, 1 plane of 8 bits
  for (int i = 0; i < 4; ++i) WriteU32LE(b.data() + 4 * i, header[i]);
  return b;
}

TEST(PictureLayouts, APackedBitmapIsReadOnlyWhenItsPartsLieInItsBlock) {
  std::vector<uint8_t> good = Dib();
  DibLayout layout{};
  ASSERT_TRUE(ReadDibLayout(good.data(), good.size(), layout));
  EXPECT_EQ(layout.pixelOffset, 40u + 1024u);
  EXPECT_EQ(layout.pixelBytes, 8u);

  // A word (the depth: a byte) of the header set to a value, and bytes the block lacks.
  struct Damage { const char* what; uint32_t offset, value; size_t cut; };
  const Damage damages[] = {{"block shorter than the pixels", 0, 40, 1},
                            {"header size past the block", 0, 0xFFFFFFF0, 0},
                            {"header size below the info header", 0, 12, 0},
                            {"colour count that wraps when times 4", 32, 0x40000001, 0},
                            {"width 0", 4, 0, 0},
                            {"height 0", 8, 0, 0},
                            {"lowest height", 8, 0x80000000, 0},
                            {"huge height", 8, 0x10000000, 0},
                            {"huge width", 4, 0x7FFFFFFF, 0},
                            {"unknown depth", 14, 7, 0},
                            {"compressed as a JPEG", 16, 4, 0},
                            {"run-length without its size", 16, 1, 0},
                            {"run-length size past the block", 20, 9, 0}};
  for (const Damage& d : damages) {
    std::vector<uint8_t> bad = Dib();
    if (d.offset == 14)
      bad[14] = static_cast<uint8_t>(d.value);
    else
      WriteU32LE(bad.data() + d.offset, d.value);
    if (d.offset == 20) WriteU32LE(bad.data() + 16, 1);
    EXPECT_FALSE(ReadDibLayout(bad.data(), bad.size() - d.cut, layout)) << d.what;
  }
  EXPECT_FALSE(ReadDibLayout(good.data(), 39, layout)) << "shorter than a header";
  EXPECT_FALSE(ReadDibLayout(nullptr, 0, layout));
}

TEST(PictureLayouts, AStoredPictureIsSixteenBitsWithinItsByteCount) {
  const struct { uint32_t d[4]; bool fits; } rows[] = {
      {{16, 3, 2, 12}, true},           {{16, 3, 2, 11}, false},
      {{8, 3, 2, 12}, false},           {{16, 0, 2, 12}, false},
      {{16, 3, 0, 12}, false},          {{16, 0x4001, 1, 0xFFFFFFFF}, false},
      {{16, 0x4000, 0x4000, 0x20000000}, true},
      {{16, 0x10000, 0x10000, 0}, false},  // wraps to 0 in 32 bits
  };
  for (const auto& r : rows) EXPECT_EQ(StoredPictureFits(r.d), r.fits) << r.d[1] << "x" << r.d[2];
}

}  // namespace
