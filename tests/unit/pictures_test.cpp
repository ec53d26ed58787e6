// Pictures built from stored 16-bit pixel descriptions: the bitmap holds the
// same pixels, row by row from the top, and damaged descriptions build none.
#include "ui/drawing/pictures.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "objects/builtin_classes.h"
#include "objects/objects.h"

namespace {

std::vector<uint32_t> Description(uint32_t width, uint32_t height, uint32_t bits = 16) {
  std::vector<uint32_t> d = {bits, width, height, width * height * 2};
  std::vector<uint16_t> pixels(width * height);
  for (uint32_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint16_t>(i * 1000 + 7);
  d.resize(4 + (pixels.size() * 2 + 3) / 4);
  memcpy(&d[4], pixels.data(), pixels.size() * 2);
  return d;
}

TEST(Pictures, TheBitmapHoldsTheStoredPixelsTopRowFirst) {
  ObjectRecord* o = NewObjectOfClass(FindBuiltInClass("Picture"));
  auto* picture = reinterpret_cast<PictureObject*>(o);
  std::vector<uint32_t> d = Description(3, 2);  // 6-byte rows: padded to 8 in the bitmap
  ASSERT_TRUE(BuildPictureSurface(picture, d.data()));
  EXPECT_EQ(std::make_pair(picture->width, picture->height), std::make_pair(3, 2));
  DIBSECTION dib;
  ASSERT_EQ(GetObjectA(static_cast<HBITMAP>(picture->bitmap), sizeof dib, &dib), int(sizeof dib));
  EXPECT_EQ(dib.dsBm.bmBitsPixel, 16);
  auto* bits = static_cast<const uint16_t*>(dib.dsBm.bmBits);
  for (int row = 0; row < 2; ++row)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(bits[row * 4 + x], (row * 3 + x) * 1000 + 7) << row << x;
  RuntimeUnlockObject(o);  // the destructor frees the bitmap
  EXPECT_EQ(GetObjectA(static_cast<HBITMAP>(picture->bitmap), 0, nullptr), 0);
}

// Which descriptions are damaged PictureLayouts checks on the host; here one
// is refused before anything is built.
TEST(Pictures, ADamagedDescriptionBuildsNothing) {
  std::vector<uint32_t> d = Description(4, 4);
  d[3] = 10;  // fewer bytes than 4 x 4 pixels need
  PictureObject picture = {};
  EXPECT_FALSE(BuildPictureSurface(&picture, d.data()));
  EXPECT_EQ(picture.bitmap, nullptr);
}

}  // namespace
