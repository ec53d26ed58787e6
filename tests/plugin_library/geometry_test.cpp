// The plug-in controls' shapes checked natively against the numbers of the
// control catalogue: ring insets, icon and caption placement, arrow boxes.
#include <gtest/gtest.h>

#include <algorithm>

#include "plugin_library/geometry.h"

namespace {

PlugRect Box(const PlugPolygon& p) {
  PlugRect r{p.p[0].x, p.p[0].y, p.p[0].x, p.p[0].y};
  for (int i = 1; i < p.count; ++i) {
    r.left = std::min(r.left, p.p[i].x), r.right = std::max(r.right, p.p[i].x);
    r.top = std::min(r.top, p.p[i].y), r.bottom = std::max(r.bottom, p.p[i].y);
  }
  return {r.left, r.top, r.right + 1, r.bottom + 1};  // as pixels covered
}

void ExpectRect(PlugRect r, int l, int t, int rt, int b) {
  EXPECT_EQ(r.left, l);
  EXPECT_EQ(r.top, t);
  EXPECT_EQ(r.right, rt);
  EXPECT_EQ(r.bottom, b);
}

TEST(PlugGeometry, BevelContentIsInsideTheFrameAndTheRings) {
  PlugRect b{10, 20, 70, 42};
  ExpectRect(BevelContentRect(b, true, 0), 12, 22, 68, 40);
  ExpectRect(BevelContentRect(b, true, 2), 14, 24, 66, 38);
  ExpectRect(BevelContentRect(b, false, 2), 11, 21, 69, 41);  // no rings when disabled
  RingEdges e = BevelRingEdges({11, 21, 69, 41});
  EXPECT_EQ(e.lit[0].x, 11);
  EXPECT_EQ(e.lit[0].y, 40);
  EXPECT_EQ(e.lit[2].x, 68);
  EXPECT_EQ(e.lit[2].y, 21);
  EXPECT_EQ(e.dark[0].x, 12);
  EXPECT_EQ(e.dark[1].x, 68);
  EXPECT_EQ(e.dark[1].y, 40);
}

TEST(PlugGeometry, IconAlignmentsPlaceTheIconAgainstEachSide) {
  PlugRect r{0, 0, 100, 50};
  struct Case {
    int align, x, y;
  } cases[] = {{1, 40, 15}, {0, 3, 15}, {2, 3, 15}, {3, 77, 15}, {4, 40, 4},
               {5, 40, 26}, {6, 3, 4},  {7, 3, 26}, {8, 77, 4},  {9, 77, 26}};
  for (const Case& c : cases) {
    PlugPoint p = BevelIconOrigin(r, 20, 20, c.align, 3, 4);
    EXPECT_EQ(p.x, c.x) << c.align;
    EXPECT_EQ(p.y, c.y) << c.align;
  }
}

TEST(PlugGeometry, CaptionBesideAnIconIgnoresItsAlignment) {
  PlugRect r{0, 0, 100, 40};
  CaptionMetrics m{30, 10, 3, 1};
  CaptionLayout none{};
  none.align = 3;
  PlugPoint centred = BevelCaptionOrigin(r, m, none);
  EXPECT_EQ(centred.x, 35);
  EXPECT_EQ(centred.y, 13 + 10);
  none.align = 1, none.delta = 2;
  EXPECT_EQ(BevelCaptionOrigin(r, m, none).x, 68);
  CaptionLayout icon{true, {10, 5}, 16, 16, 2, 0, 4};
  EXPECT_EQ(BevelCaptionOrigin(r, m, icon).x, 30);  // after the icon, not at the left
  icon.placement = 3;
  EXPECT_EQ(BevelCaptionOrigin(r, m, icon).x, 10 - 30 - 4);
  icon.placement = 4;  // below the icon: the alignment applies again
  PlugPoint below = BevelCaptionOrigin(r, m, icon);
  EXPECT_EQ(below.x, 4);
  EXPECT_EQ(below.y, 5 + 16 + 10);
}

TEST(PlugGeometry, ArrowHeadsCoverTheirBoxes) {
  for (int facing = 0; facing < 8; ++facing) {
    PlugRect box = Box(PopupArrowShape(5, 7, facing));
    int along = facing < 4 ? 8 : 4, deep = along / 2;
    bool vertical = (facing & 3) >= 2;
    SCOPED_TRACE(facing);
    EXPECT_EQ(box.left, 5);
    EXPECT_EQ(box.top, 7);
    EXPECT_EQ(box.right - box.left, vertical ? along : deep);
    EXPECT_EQ(box.bottom - box.top, vertical ? deep : along);
  }
  ExpectRect(Box(BevelMenuMark({2, 2, 58, 20}, 1)), 48, 14, 56, 18);
  ExpectRect(Box(BevelMenuMark({2, 2, 58, 20}, 2)), 52, 10, 56, 18);
  EXPECT_EQ(BevelMenuMark({2, 2, 58, 20}, 0).count, 0);
}

TEST(PlugGeometry, LittleArrowsHalvesAndGlyphs) {
  EXPECT_EQ(LittleArrowsPartAt(10, 20, 10, 20), 1);
  EXPECT_EQ(LittleArrowsPartAt(10, 20, 22, 31), 1);
  EXPECT_EQ(LittleArrowsPartAt(10, 20, 22, 32), 2);
  EXPECT_EQ(LittleArrowsPartAt(10, 20, 23, 25), 0);
  EXPECT_EQ(LittleArrowsPartAt(10, 20, 15, 43), 0);
  PlugPolygon up = LittleArrowGlyph(10, 20, 1, false), pressed = LittleArrowGlyph(10, 20, 1, true);
  EXPECT_EQ(up.p[1].x, 16);  // tip at (x+5, y+3) of the half
  EXPECT_EQ(up.p[1].y, 24);
  EXPECT_EQ(pressed.p[1].x, 17);
  EXPECT_EQ(pressed.p[1].y, 25);
  PlugPolygon down = LittleArrowGlyph(10, 20, 2, false);
  EXPECT_EQ(down.p[1].y, 20 + 12 + 6);
}

TEST(PlugGeometry, ChasingFramesMirrorThroughTheSquaresCentre) {
  for (int k = 0; k < kChasingFrames; ++k) {
    ArrowFrame f = ChasingArrowsFrame(k, 100, 200, false), m = ChasingArrowsFrame(k, 100, 200, true);
    ASSERT_EQ(f.lineCount, m.lineCount);
    EXPECT_GE(f.lineCount, 5);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(f.triangle[i].x + m.triangle[i].x, 215);
    for (int i = 0; i < f.lineCount; ++i) EXPECT_EQ(f.line[i].y + m.line[i].y, 415);
  }
  EXPECT_EQ(ChasingArrowsFrame(7, 0, 0, false).lineCount, 7);
  EXPECT_EQ(ChasingArrowsFrame(1, 0, 0, false).lineCount, 5);
}

TEST(PlugGeometry, SeparatorAndImageWell) {
  SeparatorLines h = SeparatorGeometry({0, 0, 10, 10});  // square: vertical
  EXPECT_EQ(h.shadowFrom.x, 5);
  EXPECT_EQ(h.lightTo.x, 6);
  EXPECT_EQ(h.lightTo.y, 9);
  PlugPoint inside = ImageWellOrigin({2, 2, 38, 38}, 20, 10);
  EXPECT_EQ(inside.x, 10);
  EXPECT_EQ(inside.y, 15);
  PlugPoint wide = ImageWellOrigin({2, 2, 38, 38}, 50, 10);
  EXPECT_EQ(wide.x, 2);
  EXPECT_EQ(wide.y, 15);
}

}  // namespace
