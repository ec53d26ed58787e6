// What the controls put on a memory DC, read back pixel by pixel: positions
// from the controls' catalogue, colours from GetSysColor, paper elsewhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "plugin_library/control_data.h"
#include "tests/plugin_library/fake_host.h"

namespace {

COLORREF Sys(int index) { return GetSysColor(index); }
constexpr COLORREF kBlack = RGB(0, 0, 0);

class PluginDrawing : public PluginTest {
 protected:
  void Drawn(const char* kind, RECT bounds, std::function<void(fake::Control*)> prepare = nullptr) {
    drawn_ = fake::MakeControl(kind, bounds);
    if (prepare) prepare(drawn_);
    fake::Draw(drawn_);
  }
  COLORREF At(int x, int y) { return drawn_->surface->at(x, y); }
  fake::Control* drawn_ = nullptr;
};

void SetCaption(fake::Control* c, const char* text) {
  auto* d = c->data<BevelButtonData>();
  static_cast<fake::String*>(d->caption)->refs--;
  d->caption = fake::NewString(text);
}

// Bevel 2 on an enabled button: frame, three rings, and the fill (with the
// overlong caption clipped to it) from an inset of 4. Ring k is lit along
// its left and top, dark along its bottom (from one right of its left) and
// its right, the corner it shares with the top included.
TEST_F(PluginDrawing, BevelTwoFillsAndClipsToTheBoundsInsetByFour) {
  RECT b{10, 20, 110, 44};
  Drawn("BevelButton", b, [](fake::Control* c) {
    c->data<BevelButtonData>()->bevel = 2;
    SetCaption(c, "WWWWWWWWWWWWWWWWWWWWWWWWWWWW");
  });
  EXPECT_EQ(At(b.left, b.top), kBlack);
  EXPECT_EQ(At(b.left - 1, b.top - 1), kPaper);
  EXPECT_EQ(At(b.left + 4, b.top + 4), Sys(COLOR_BTNFACE));
  EXPECT_EQ(At(b.right - 5, b.bottom - 5), Sys(COLOR_BTNFACE));
  int textInside = 0;
  for (int y = b.top + 1; y < b.bottom - 1; ++y)
    for (int x = b.left + 1; x < b.right - 1; ++x) {
      int k = std::min({x - b.left, y - b.top, b.right - 1 - x, b.bottom - 1 - y});
      if (k >= 4) {
        textInside += At(x, y) == Sys(COLOR_BTNTEXT);
        continue;
      }
      bool dark = x == b.right - 1 - k || (y == b.bottom - 1 - k && x > b.left + k);
      ASSERT_EQ(At(x, y), Sys(dark ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT)) << x << "," << y;
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

TEST_F(PluginDrawing, OtherKindsMarkTheirSurfaceEnabledAndDisabled) {
  const struct {
    const char* kind;
    RECT bounds;
    void (*prepare)(fake::Control*);
  } kinds[] = {
      {"LittleArrows",
       {20, 20, 33, 43},
       [](fake::Control* c) { c->data<LittleArrowsData>()->drawnPart = 1; }},
      {"Placard", {20, 20, 84, 60}, [](fake::Control*) {}},
      {"PopupArrow", {20, 20, 30, 30}, [](fake::Control* c) { c->data<PopupArrowData>()->facing = 3; }},
      {"ImageWell", {20, 20, 60, 60}, [](fake::Control*) {}},
      {"ChasingArrows", {20, 20, 36, 36}, [](fake::Control*) {}},
  };
  for (const auto& k : kinds)
    for (bool enabled : {true, false}) {
      Drawn(k.kind, k.bounds, [&](fake::Control* c) { k.prepare(c), c->enabled = enabled; });
      EXPECT_GT(drawn_->surface->Marked(), 10) << k.kind << (enabled ? " enabled" : " disabled");
    }
}

}  // namespace
