// What the controls put on a memory DC, read back pixel by pixel. The
// expected positions come from the controls' catalogue (ring insets,
// triangle corners, frame tables), the colours from the system's own
// GetSysColor, and untouched pixels keep the surface's paper colour.
#include <gtest/gtest.h>

#include <memory>

#include "plugin_library/control_data.h"
#include "tests/plugin_library/fake_host.h"

namespace {

COLORREF Sys(int index) { return GetSysColor(index); }

class PluginDrawing : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(fake::LoadPlugin(), nullptr); }
  void TearDown() override {
    for (auto* c : made_) fake::DestroyControl(c);
  }
  // A control drawn onto its own surface with a margin of 3.
  fake::Control* Make(const char* kind, RECT bounds) {
    fake::Control* c = fake::MakeControl(kind, bounds);
    made_.push_back(c);
    surface_ = std::make_unique<Surface>(bounds, 3);
    c->dc = surface_->dc();
    return c;
  }
  COLORREF At(int x, int y) { return surface_->at(x, y); }
  std::unique_ptr<Surface> surface_;
  std::vector<fake::Control*> made_;
};

void SetCaption(fake::Control* c, const char* text) {
  auto* d = c->data<BevelButtonData>();
  static_cast<fake::String*>(d->caption)->refs--;
  d->caption = fake::NewString(text);
}

// Bevel 2 on an enabled button: frame, three rings lit above and left and
// dark below and right, and the fill (with the caption clipped to it) from
// an inset of 4.
TEST_F(PluginDrawing, BevelTwoFillsAndClipsToTheBoundsInsetByFour) {
  RECT b{10, 20, 110, 44};
  fake::Control* c = Make("BevelButton", b);
  c->data<BevelButtonData>()->bevel = 2;
  SetCaption(c, "WWWWWWWWWWWWWWWWWWWWWWWWWWWW");
  fake::Draw(c);
  const int midX = (b.left + b.right) / 2;
  EXPECT_EQ(At(b.left, b.top), RGB(0, 0, 0));
  EXPECT_EQ(At(b.left - 1, b.top - 1), kPaper);
  for (int i = 1; i <= 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(At(midX, b.top + i), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(b.left + i, b.top + 10), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(midX, b.bottom - 1 - i), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(At(b.right - 1 - i, b.top + 10), Sys(COLOR_BTNSHADOW));
  }
  EXPECT_EQ(At(b.left + 4, b.top + 4), Sys(COLOR_BTNFACE));
  EXPECT_EQ(At(b.right - 5, b.bottom - 5), Sys(COLOR_BTNFACE));
  // The overlong caption is drawn, but never on the frame or the rings.
  int textInside = 0;
  for (int y = b.top; y < b.bottom; ++y)
    for (int x = b.left; x < b.right; ++x) {
      bool content = x >= b.left + 4 && x < b.right - 4 && y >= b.top + 4 && y < b.bottom - 4;
      COLORREF px = At(x, y);
      if (content && px == Sys(COLOR_BTNTEXT)) ++textInside;
      if (!content && x > b.left && x < b.right - 1 && y > b.top && y < b.bottom - 1) {
        ASSERT_TRUE(px == Sys(COLOR_BTNHIGHLIGHT) || px == Sys(COLOR_BTNSHADOW)) << x << "," << y;
      }
    }
  EXPECT_GT(textInside, 20);
}

// Disabled: no rings, and the caption in shadow over a highlight copy one
// pixel down and right, never in the text colour.
TEST_F(PluginDrawing, DisabledBevelButtonEmbossesItsCaption) {
  RECT b{5, 5, 85, 29};
  fake::Control* c = Make("BevelButton", b);
  c->enabled = false;
  SetCaption(c, "HHH");
  fake::Draw(c);
  EXPECT_EQ(At(b.left + 1, b.top + 1), Sys(COLOR_BTNFACE));
  int shadow = 0, embossed = 0, text = 0;
  for (int y = b.top + 1; y < b.bottom - 1; ++y)
    for (int x = b.left + 1; x < b.right - 1; ++x) {
      COLORREF px = At(x, y);
      if (px == Sys(COLOR_BTNTEXT)) ++text;
      if (px != Sys(COLOR_BTNSHADOW)) continue;
      ++shadow;
      if (At(x + 1, y + 1) == Sys(COLOR_BTNHIGHLIGHT)) ++embossed;
    }
  EXPECT_EQ(text, 0);
  EXPECT_GT(shadow, 10);
  EXPECT_GT(embossed, 3);
}

TEST_F(PluginDrawing, BevelMenuMarkSitsInTheContentCorner) {
  RECT b{0, 0, 60, 22};
  fake::Control* c = Make("BevelButton", b);
  c->data<BevelButtonData>()->hasMenu = 1;
  SetCaption(c, "");
  fake::Draw(c);
  // Content is (2, 2, 58, 20): mark from (48, 14), 8 wide and 4 high.
  EXPECT_EQ(At(48, 14), RGB(0, 0, 0));
  EXPECT_EQ(At(55, 14), RGB(0, 0, 0));
  EXPECT_EQ(At(51, 17), RGB(0, 0, 0));
  EXPECT_EQ(At(48, 17), Sys(COLOR_BTNFACE));
  EXPECT_EQ(At(51, 18), Sys(COLOR_BTNFACE));
}

struct Shape {
  bool value;
  int facing;
  POINT inside, outside;
};

TEST_F(PluginDrawing, DisclosureTriangleHasThreeShapes) {
  const Shape shapes[] = {
      {false, 0, {3, 5}, {6, 1}},  // pointing right
      {false, 1, {6, 5}, {3, 1}},  // pointing left
      {true, 0, {5, 4}, {2, 6}},   // open, pointing down
      {true, 1, {5, 4}, {8, 6}},
  };
  for (const Shape& s : shapes) {
    SCOPED_TRACE(testing::Message() << s.value << "/" << s.facing);
    RECT b{30, 40, 42, 52};
    fake::Control* c = Make("DisclosureTriangle", b);
    c->data<DisclosureTriangleData>()->value = s.value;
    c->data<DisclosureTriangleData>()->facing = s.facing;
    fake::Draw(c);
    EXPECT_EQ(At(b.left + s.inside.x, b.top + s.inside.y), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(b.left + s.outside.x, b.top + s.outside.y), kPaper);
    POINT corner = s.value ? POINT{0, 2} : (s.facing ? POINT{7, 0} : POINT{2, 0});
    EXPECT_EQ(At(b.left + corner.x, b.top + corner.y), RGB(0, 0, 0));
  }
}

TEST_F(PluginDrawing, SeparatorDrawsShadowThenHighlightAcrossItsLongSide) {
  RECT across{5, 10, 69, 14};
  fake::Draw(Make("Separator", across));
  for (int x : {5, 37, 68}) {
    EXPECT_EQ(At(x, 12), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(At(x, 13), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(x, 11), kPaper);
  }
  EXPECT_EQ(At(69, 12), kPaper);
  RECT down{20, 5, 24, 60};
  fake::Draw(Make("Separator", down));
  for (int y : {5, 30, 59}) {
    EXPECT_EQ(At(22, y), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(At(23, y), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(21, y), kPaper);
  }
  EXPECT_EQ(At(22, 60), kPaper);
}

// Frame k: the arrow heads of the table and their point mirror in the
// 16 x 16 square, on the colour behind the control.
TEST_F(PluginDrawing, ChasingArrowsFramesAndTheirMirror) {
  const int heads[8][6] = {{11, 7, 15, 7, 14, 9}, {11, 8, 14, 9, 12, 11}, {11, 10, 13, 12, 10, 12},
                           {9, 11, 11, 14, 8, 13}, {8, 11, 8, 15, 6, 13},  {6, 14, 7, 11, 4, 12},
                           {3, 13, 5, 11, 3, 10},  {1, 11, 4, 9, 2, 8}};
  const int tails[8][2] = {{5, 3}, {7, 2}, {9, 2}, {11, 3}, {12, 5}, {13, 7}, {12, 11}, {12, 11}};
  for (int k = 0; k < 8; ++k) {
    SCOPED_TRACE(k);
    RECT b{50, 60, 66, 76};
    fake::Control* c = Make("ChasingArrows", b);
    c->data<ChasingArrowsData>()->frame = k;
    fake::Draw(c);
    for (int v = 0; v < 6; v += 2) {
      EXPECT_EQ(At(b.left + heads[k][v], b.top + heads[k][v + 1]), RGB(0, 0, 0));
      EXPECT_EQ(At(b.left + 15 - heads[k][v], b.top + 15 - heads[k][v + 1]), RGB(0, 0, 0));
    }
    EXPECT_EQ(At(b.left + tails[k][0], b.top + tails[k][1]), RGB(0, 0, 0));
    EXPECT_EQ(At(b.left + 15 - tails[k][0], b.top + 15 - tails[k][1]), RGB(0, 0, 0));
    EXPECT_EQ(At(b.left + 7, b.top + 7), fake::host().specialBackground);
    EXPECT_EQ(At(b.left - 1, b.top), kPaper);
  }
}

TEST_F(PluginDrawing, ChasingArrowsAdvanceOnlyWhileVisible) {
  fake::Control* c = Make("ChasingArrows", {0, 0, 16, 16});
  auto animate = reinterpret_cast<void(__cdecl*)(PlugInstance)>(fake::Slot(c, kSlotPeriodic));
  c->data<ChasingArrowsData>()->frame = 7;
  animate(c->instance());
  EXPECT_EQ(c->data<ChasingArrowsData>()->frame, 0);
  c->visible = false;
  animate(c->instance());
  EXPECT_EQ(c->data<ChasingArrowsData>()->frame, 0);
}

}  // namespace
