// What the controls put on a memory DC, read back pixel by pixel. The
// expected positions come from the controls' catalogue (ring insets,
// triangle corners), the colours from the system's own GetSysColor, and
// untouched pixels keep the surface's paper colour.
#include <gtest/gtest.h>

#include <memory>

#include "plugin_library/control_data.h"
#include "plugin_library/geometry.h"
#include "tests/plugin_library/fake_host.h"

namespace {

COLORREF Sys(int index) { return GetSysColor(index); }
constexpr COLORREF kBlack = RGB(0, 0, 0);

class PluginDrawing : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(fake::LoadPlugin(), nullptr); }
  void TearDown() override {
    for (auto* c : made_) fake::DestroyControl(c);
  }
  // A control on its own surface with a margin of 3, drawn once `prepare` has set it up.
  template <typename Prepare>
  fake::Control* Drawn(const char* kind, RECT bounds, Prepare prepare) {
    fake::Control* c = fake::MakeControl(kind, bounds);
    made_.push_back(c);
    surface_ = std::make_unique<Surface>(bounds, 3);
    c->dc = surface_->dc();
    prepare(c);
    fake::Draw(c);
    return c;
  }
  fake::Control* Drawn(const char* kind, RECT bounds) { return Drawn(kind, bounds, [](fake::Control*) {}); }
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
  Drawn("BevelButton", b, [](fake::Control* c) {
    c->data<BevelButtonData>()->bevel = 2;
    SetCaption(c, "WWWWWWWWWWWWWWWWWWWWWWWWWWWW");
  });
  const int midX = (b.left + b.right) / 2;
  EXPECT_EQ(At(b.left, b.top), kBlack);
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
  for (int y = b.top + 1; y < b.bottom - 1; ++y)
    for (int x = b.left + 1; x < b.right - 1; ++x) {
      COLORREF px = At(x, y);
      if (x >= b.left + 4 && x < b.right - 4 && y >= b.top + 4 && y < b.bottom - 4)
        textInside += px == Sys(COLOR_BTNTEXT);
      else
        ASSERT_TRUE(px == Sys(COLOR_BTNHIGHLIGHT) || px == Sys(COLOR_BTNSHADOW)) << x << "," << y;
    }
  EXPECT_GT(textInside, 20);
}

// Disabled: no rings, and the caption in shadow over a highlight copy one
// pixel down and right, never in the text colour.
TEST_F(PluginDrawing, DisabledBevelButtonEmbossesItsCaption) {
  RECT b{5, 5, 85, 29};
  Drawn("BevelButton", b, [](fake::Control* c) {
    c->enabled = false;
    SetCaption(c, "HHH");
  });
  EXPECT_EQ(At(b.left + 1, b.top + 1), Sys(COLOR_BTNFACE));
  int shadow = 0, embossed = 0, text = 0;
  for (int y = b.top + 1; y < b.bottom - 1; ++y)
    for (int x = b.left + 1; x < b.right - 1; ++x) {
      text += At(x, y) == Sys(COLOR_BTNTEXT);
      if (At(x, y) != Sys(COLOR_BTNSHADOW)) continue;
      ++shadow;
      embossed += At(x + 1, y + 1) == Sys(COLOR_BTNHIGHLIGHT);
    }
  EXPECT_EQ(text, 0);
  EXPECT_GT(shadow, 10);
  EXPECT_GT(embossed, 3);
}

TEST_F(PluginDrawing, DisclosureTriangleHasThreeShapes) {
  const struct {
    bool value;
    int facing;
    POINT inside, outside, corner;
  } shapes[] = {
      {false, 0, {3, 5}, {6, 1}, {2, 0}},  // pointing right
      {false, 1, {6, 5}, {3, 1}, {7, 0}},  // pointing left
      {true, 0, {5, 4}, {2, 6}, {0, 2}},   // open, pointing down
      {true, 1, {5, 4}, {8, 6}, {0, 2}},
  };
  for (const auto& s : shapes) {
    SCOPED_TRACE(testing::Message() << s.value << "/" << s.facing);
    RECT b{30, 40, 42, 52};
    Drawn("DisclosureTriangle", b, [&](fake::Control* c) {
      c->data<DisclosureTriangleData>()->value = s.value;
      c->data<DisclosureTriangleData>()->facing = s.facing;
    });
    EXPECT_EQ(At(b.left + s.inside.x, b.top + s.inside.y), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(b.left + s.outside.x, b.top + s.outside.y), kPaper);
    EXPECT_EQ(At(b.left + s.corner.x, b.top + s.corner.y), kBlack);
  }
}

// Shadow then highlight across the long side's middle, last pixel included.
TEST_F(PluginDrawing, SeparatorDrawsShadowThenHighlightAcrossItsLongSide) {
  for (bool across : {true, false}) {
    SCOPED_TRACE(across);
    Drawn("Separator", across ? RECT{5, 10, 69, 14} : RECT{10, 5, 14, 69});
    for (int along : {5, 37, 68, 69}) {
      auto at = [&](int offset) { return across ? At(along, 12 + offset) : At(12 + offset, along); };
      EXPECT_EQ(at(0), along < 69 ? Sys(COLOR_BTNSHADOW) : kPaper) << along;
      EXPECT_EQ(at(1), along < 69 ? Sys(COLOR_BTNHIGHLIGHT) : kPaper) << along;
      EXPECT_EQ(at(-1), kPaper) << along;
    }
  }
}

// Every frame: the head's corners and every point of the tail where the
// shapes put them, and their point mirror in the 16 x 16 square, on the
// colour behind the control.
TEST_F(PluginDrawing, ChasingArrowsFramesAndTheirMirror) {
  RECT b{50, 60, 66, 76};
  for (int k = 0; k < kChasingFrames; ++k) {
    SCOPED_TRACE(k);
    Drawn("ChasingArrows", b, [k](fake::Control* c) { c->data<ChasingArrowsData>()->frame = k; });
    auto black = [&](PlugPoint p) {
      EXPECT_EQ(At(p.x, p.y), kBlack) << p.x << "," << p.y;
      EXPECT_EQ(At(2 * b.left + 15 - p.x, 2 * b.top + 15 - p.y), kBlack) << "mirror of " << p.x << "," << p.y;
    };
    ArrowFrame f = ChasingArrowsFrame(k, b.left, b.top, false);
    for (const PlugPoint& p : f.triangle) black(p);
    for (int i = 0; i < f.lineCount; ++i) black(f.line[i]);
    EXPECT_EQ(At(b.left + 7, b.top + 7), fake::host().specialBackground);
    EXPECT_EQ(At(b.left - 1, b.top), kPaper);
  }
}

// The only drawing check of LittleArrows, Placard, PopupArrow and ImageWell:
// each kind, enabled and disabled, leaves marks on its surface.
TEST_F(PluginDrawing, EveryKindMarksItsSurfaceEnabledAndDisabled) {
  const struct {
    const char* kind;
    RECT bounds;
    void (*prepare)(fake::Control*);
  } kinds[] = {
      {"BevelButton", {20, 20, 84, 44}, [](fake::Control* c) { c->data<BevelButtonData>()->hasMenu = 1; }},
      {"ChasingArrows", {20, 20, 36, 36}, [](fake::Control* c) { c->data<ChasingArrowsData>()->frame = 3; }},
      {"LittleArrows", {20, 20, 33, 43}, [](fake::Control* c) { c->data<LittleArrowsData>()->drawnPart = 1; }},
      {"Placard", {20, 20, 84, 60}, [](fake::Control*) {}},
      {"Separator", {20, 20, 84, 24}, [](fake::Control*) {}},
      {"PopupArrow", {20, 20, 30, 30}, [](fake::Control* c) { c->data<PopupArrowData>()->facing = 3; }},
      {"DisclosureTriangle", {20, 20, 32, 32}, [](fake::Control*) {}},
      {"ImageWell", {20, 20, 60, 60}, [](fake::Control*) {}},
  };
  for (const auto& k : kinds)
    for (bool enabled : {true, false}) {
      Drawn(k.kind, k.bounds, [&](fake::Control* c) { k.prepare(c), c->enabled = enabled; });
      EXPECT_GT(surface_->Marked(), 10) << k.kind << (enabled ? " enabled" : " disabled");
    }
}

TEST_F(PluginDrawing, ChasingArrowsAdvanceOnlyWhileVisible) {
  fake::Control* c = Drawn("ChasingArrows", {0, 0, 16, 16});
  auto animate = reinterpret_cast<void(__cdecl*)(PlugInstance)>(fake::Slot(c, kSlotPeriodic));
  c->data<ChasingArrowsData>()->frame = 7;
  animate(c->instance());
  EXPECT_EQ(c->data<ChasingArrowsData>()->frame, 0);
  c->visible = false;
  animate(c->instance());
  EXPECT_EQ(c->data<ChasingArrowsData>()->frame, 0);
}

}  // namespace
