// The plug-in controls' shapes against the control catalogue's numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "plugin_library/geometry.h"

namespace {

// As pixels covered: right and bottom one past the last point.
PlugRect Box(const PlugPolygon& p) {
  PlugRect r{p.p[0].x, p.p[0].y, p.p[0].x, p.p[0].y};
  for (int i = 1; i < p.count; ++i) {
    r.left = std::min(r.left, p.p[i].x), r.right = std::max(r.right, p.p[i].x);
    r.top = std::min(r.top, p.p[i].y), r.bottom = std::max(r.bottom, p.p[i].y);
  }
  return {r.left, r.top, r.right + 1, r.bottom + 1};
}

// Rectangles compare (and print) as tuples.
std::tuple<int, int, int, int> Edges(PlugRect r) { return {r.left, r.top, r.right, r.bottom}; }

TEST(PlugGeometry, IconAlignmentsPlaceTheIconAgainstEachSide) {
  const struct {
    int align, x, y;
  } cases[] = {{1, 40, 15}, {0, 3, 15}, {2, 3, 15}, {3, 77, 15}, {4, 40, 4},
               {5, 40, 26}, {6, 3, 4},  {7, 3, 26}, {8, 77, 4},  {9, 77, 26}};
  for (const auto& c : cases) {
    PlugPoint p = BevelIconOrigin({0, 0, 100, 50}, 20, 20, c.align, 3, 4);
    EXPECT_TRUE(p.x == c.x && p.y == c.y) << c.align << ": " << p.x << "," << p.y;
  }
}

TEST(PlugGeometry, CaptionBesideAnIconIgnoresItsAlignment) {
  const PlugRect r{0, 0, 100, 40};
  const CaptionMetrics m{30, 10, 3, 1};
  const struct {
    const char* what;
    CaptionLayout layout;
    int x, y;
  } cases[] = {
      {"centred", {false, {}, 0, 0, 0, 3, 0}, 35, 13 + 10},
      {"right, less the delta", {false, {}, 0, 0, 0, 1, 2}, 68, 23},
      {"left, plus the delta", {false, {}, 0, 0, 0, 0, 2}, 2, 23},
      {"after the icon, not at the left", {true, {10, 5}, 16, 16, 2, 0, 4}, 30, 23},
      {"before the icon", {true, {10, 5}, 16, 16, 3, 0, 4}, 10 - 30 - 4, 23},
      {"below the icon: aligned again", {true, {10, 5}, 16, 16, 4, 0, 4}, 4, 5 + 16 + 10},
  };
  for (const auto& c : cases) {
    PlugPoint p = BevelCaptionOrigin(r, m, c.layout);
    EXPECT_TRUE(p.x == c.x && p.y == c.y) << c.what << ": " << p.x << "," << p.y;
  }
}

TEST(PlugGeometry, ArrowHeadsCoverTheirBoxes) {
  for (int facing = 0; facing < 8; ++facing) {
    int along = facing < 4 ? 8 : 4, deep = along / 2;
    bool vertical = (facing & 3) >= 2;
    EXPECT_EQ(Edges(Box(PopupArrowShape(5, 7, facing))),
              Edges({5, 7, 5 + (vertical ? along : deep), 7 + (vertical ? deep : along)}))
        << facing;
  }
  EXPECT_EQ(Edges(Box(BevelMenuMark({2, 2, 58, 20}, 1))), Edges({48, 14, 56, 18}));
  EXPECT_EQ(Edges(Box(BevelMenuMark({2, 2, 58, 20}, 2))), Edges({52, 10, 56, 18}));
  EXPECT_EQ(BevelMenuMark({2, 2, 58, 20}, 0).count, 0);
}

}  // namespace
