// The font cache against GDI: shared fonts for equal requests (names compared
// without letter case), a designer's name mapped to the face GDI reports.
#include <gtest/gtest.h>

#include <vector>

#include "ui/drawing/fonts.h"

namespace {

TEST(Fonts, EqualRequestsShareOneFontShapedAsAskedAndTheLastReleaseDeletesIt) {
  size_t before = CachedFontCount();
  HFONT a = AcquireFont({"Geneva", 12});
  HFONT b = AcquireFont({"GENEVA", 12});
  HFONT bold = AcquireFont({"Geneva", 12, true});
  HFONT larger = AcquireFont({"Geneva", 13});
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  EXPECT_EQ(CachedFontCount(), before + 3);  // with a == b: bold and larger are fonts of their own
  ReleaseFont(a);
  EXPECT_EQ(CachedFontCount(), before + 3);  // b still uses it
  for (HFONT f : {b, bold, larger}) ReleaseFont(f);
  EXPECT_EQ(CachedFontCount(), before);  // the font deleted with its last use: GraphicsTest's
  ReleaseFont(nullptr);  // ignored

  HFONT f = AcquireFont({"Courier", 15, true, true, true});
  LOGFONTA lf = {};
  ASSERT_NE(GetObjectA(f, sizeof lf, &lf), 0);
  EXPECT_STREQ(lf.lfFaceName, "Courier New");
  EXPECT_EQ((std::vector<LONG>{lf.lfHeight, lf.lfWeight, lf.lfItalic, lf.lfUnderline}),
            (std::vector<LONG>{-15, FW_BOLD, 1, 1}));
  ReleaseFont(f);
}

}  // namespace
