// Drawing through Graphics into a 32-bit memory DC, checked pixel by pixel
// against the geometry, the same GDI call made directly, and GDI's own text
// measures. A new port's starting state is the drawing window test's.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <deque>
#include <vector>

#include "menu_test_support.h"
#include "sdk/entry_graphics.h"
#include "sdk/entry_numbers.h"
#include "ui/drawing/drawing_port.h"
#include "ui/drawing/graphics.h"
#include "ui/drawing/pictures.h"

namespace {

using menutest::Canvas;
using menutest::kWhite;
using menutest::PixelSet;
using menutest::Text;

// A Graphics on a fresh port lent the DC of a canvas of its own; the Graphics
// holds the port's only reference, and goes before its canvas.
class GraphicsTest : public testing::Test {
 protected:
  std::pair<ObjectRecord*, Canvas&> Make(int width, int height, int originX = 0, int originY = 0) {
    Canvas& canvas = canvases_.emplace_back(width, height);
    auto* port = new DrawingPort;
    port->AttachDC(canvas.dc);
    ObjectRecord* g = NewGraphics(port, originX, originY, width, height);
    port->Release();
    made_.push_back(g);
    return {g, canvas};
  }
  void TearDown() override {
    for (ObjectRecord* g : made_) RuntimeUnlockObject(g);
  }

 private:
  std::deque<Canvas> canvases_;
  std::vector<ObjectRecord*> made_;
};

TEST_F(GraphicsTest, EachGraphicsHoldsItsPortAndTheLastOneGivesItBack) {
  Canvas canvas(10, 10);
  auto* port = new DrawingPort;
  port->AttachDC(canvas.dc);
  ObjectRecord* first = NewGraphics(port, 0, 0, 10, 10);
  ObjectRecord* second = NewGraphics(port, 2, 2, 5, 5);
  port->Release();
  graphicsTextSizeSetter(first, 0, 31);  // a font no other test uses
  HFONT font = port->Font();
  ASSERT_NE(GetObjectType(font), 0u);
  EXPECT_EQ(graphicsTextSizeGetter(second, 0), 31) << "the state is the port's";
  RuntimeUnlockObject(first);
  EXPECT_NE(GetObjectType(font), 0u) << "the port went with the first Graphics";
  RuntimeGraphicsFillRect(second, 0, 0, 1, 1);
  EXPECT_EQ(GetPixel(canvas.dc, 2, 2), RGB(0, 0, 0));
  RuntimeUnlockObject(second);
  EXPECT_EQ(GetObjectType(font), 0u) << "the port (and its font) outlived every Graphics";
}

// Lines leave their end point out, as GDI does; DrawRect is four lines around
// x, y to x + w, y + h; fill and clear cover x, y, w, h. In the fore colour.
TEST_F(GraphicsTest, LinesAndRectanglesInkThePixelsTheGeometryCallsFor) {
  const struct {
    const char* what;
    void (*draw)(ObjectRecord*);
    bool (*inked)(int x, int y);
  } rows[] = {
      {"lines",
       [](ObjectRecord* g) { RuntimeGraphicsDrawLine(g, 5, 5, 25, 5), RuntimeGraphicsDrawLine(g, 30, 2, 30, 12); },
       [](int x, int y) { return (y == 5 && x >= 5 && x < 25) || (x == 30 && y >= 2 && y < 12); }},
      {"rectangle", [](ObjectRecord* g) { RuntimeGraphicsDrawRect(g, 10, 10, 20, 15); },
       [](int x, int y) {
         return ((y == 10 || y == 25) && x >= 10 && x <= 30) || ((x == 10 || x == 30) && y >= 10 && y <= 25);
       }},
      {"fill and clear",
       [](ObjectRecord* g) { RuntimeGraphicsFillRect(g, 5, 6, 30, 20), RuntimeGraphicsClearRect(g, 10, 10, 4, 3); },
       [](int x, int y) {
         return x >= 5 && x < 35 && y >= 6 && y < 26 && !(x >= 10 && x < 14 && y >= 10 && y < 13);
       }},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    auto [g, canvas] = Make(50, 40);
    graphicsForeColorSetter(g, 0, 0x00FF00);
    r.draw(g);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 50; ++x)
        ASSERT_EQ(canvas.At(x, y), r.inked(x, y) ? 0x00FF00u : kWhite) << x << "," << y;
  }
}

TEST_F(GraphicsTest, TheGraphicsOriginAddsThePortOriginSubtractsAndPixelsReadBack) {
  auto [g, canvas] = Make(40, 40, 7, 3);
  RuntimeGraphicsFillRect(g, 0, 0, 4, 4);
  PixelSet expected;
  for (int y = 3; y < 7; ++y)
    for (int x = 7; x < 11; ++x) expected.insert({x, y});
  EXPECT_EQ(canvas.InkSet(), expected);
  GraphicsPort(g)->SetOrigin(2, 1);
  RuntimeGraphicsDrawLine(g, 20, 20, 24, 20);  // port (27, 23) -> device (25, 22)
  for (int x = 25; x < 29; ++x) expected.insert({x, 22});
  EXPECT_EQ(canvas.InkSet(), expected);
  graphicsPixelSetter(g, 30, 30, 0x123456);  // port (37, 33) -> device (35, 32)
  EXPECT_EQ(canvas.At(35, 32), 0x123456u);
  EXPECT_EQ(graphicsPixelGetter(g, 30, 30), 0x123456u);
}

PixelSet DirectOutline(int width, int height, COLORREF colour, int penWidth, void (*shape)(HDC)) {
  Canvas canvas(width, height);
  HPEN pen = CreatePen(PS_SOLID, penWidth, colour);
  HGDIOBJ oldPen = SelectObject(canvas.dc, pen);
  HGDIOBJ oldBrush = SelectObject(canvas.dc, GetStockObject(NULL_BRUSH));
  shape(canvas.dc);
  SelectObject(canvas.dc, oldBrush);
  SelectObject(canvas.dc, oldPen);
  DeleteObject(pen);
  return canvas.InkSet();
}

struct Shape {
  const char* what;
  bool filled;
  int penWidth;
  void (*draw)(ObjectRecord*);
  void (*direct)(HDC);
};

// An outline matches GDI's with a hollow brush and the pen's width, never its
// height. A filled shape covers its rectangle exactly, contains its outline,
// is in the fore colour whatever the pen, has no holes in a row, and no
// rounded corner.
TEST_F(GraphicsTest, OutlinesMatchGdiAndFilledShapesAreSolidInTheForeColourOverTheirOutline) {
  const Shape shapes[] = {
      {"oval", false, 1, [](ObjectRecord* g) { RuntimeGraphicsDrawOval(g, 5, 6, 40, 30); },
       [](HDC dc) { Ellipse(dc, 5, 6, 45, 36); }},
      {"round rect", false, 3, [](ObjectRecord* g) { RuntimeGraphicsDrawRoundRect(g, 5, 6, 40, 30, 12, 8); },
       [](HDC dc) { RoundRect(dc, 5, 6, 45, 36, 12, 8); }},
      {"filled oval", true, 1, [](ObjectRecord* g) { RuntimeGraphicsFillOval(g, 5, 6, 40, 30); },
       [](HDC dc) { Ellipse(dc, 5, 6, 45, 36); }},
      {"filled round rect", true, 4,
       [](ObjectRecord* g) { RuntimeGraphicsFillRoundRect(g, 5, 6, 40, 30, 16, 16); },
       [](HDC dc) { RoundRect(dc, 5, 6, 45, 36, 16, 16); }},
  };
  for (const Shape& s : shapes) {
    SCOPED_TRACE(s.what);
    auto [g, canvas] = Make(60, 50);
    graphicsForeColorSetter(g, 0, 0x804020);
    graphicsPenWidthSetter(g, 0, s.penWidth);
    graphicsPenHeightSetter(g, 0, 1);
    s.draw(g);
    PixelSet ink = canvas.InkSet();
    if (!s.filled) {
      EXPECT_EQ(ink, DirectOutline(60, 50, RGB(0x80, 0x40, 0x20), s.penWidth, s.direct));
      continue;
    }
    std::set<int> rows = canvas.InkRows();
    ASSERT_FALSE(ink.empty());
    for (auto [x, y] : ink) ASSERT_EQ(canvas.At(x, y), 0x804020u);
    EXPECT_EQ((std::vector<int>{ink.begin()->first, *rows.begin(), ink.rbegin()->first, *rows.rbegin()}),
              (std::vector<int>{5, 6, 44, 35}));
    for (auto p : DirectOutline(60, 50, 0, 1, s.direct))
      EXPECT_TRUE(ink.count(p)) << p.first << "," << p.second;
    for (int y : rows) {
      int first = INT_MAX, last = INT_MIN, count = 0;
      for (auto [x, row] : ink)
        if (row == y) first = std::min(first, x), last = std::max(last, x), ++count;
      EXPECT_EQ(count, last - first + 1) << "row " << y;
    }
    EXPECT_EQ(canvas.At(5, 6), kWhite) << "the corner";
  }
}

// GDI's {height, ascent, width of "Hello, world"} for a font made directly.
std::vector<int> DirectMeasures(HDC dc, int size, const char* face = "Tahoma") {
  HFONT font = CreateFontA(-size, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc, &tm);
  SIZE extent = {};
  GetTextExtentPoint32A(dc, "Hello, world", 12, &extent);
  SelectObject(dc, old);
  DeleteObject(font);
  return {tm.tmHeight, tm.tmAscent, static_cast<int>(extent.cx)};
}

TEST_F(GraphicsTest, MeasuresAreGdisForTheRequestedFontAndFollowFontChanges) {
  auto [g, canvas] = Make(20, 20);
  StringRef hello = Text("Hello, world");
  auto measures = [&](ObjectRecord* on) {
    return std::vector<int>{RuntimeGraphicsTextHeight(on), RuntimeGraphicsTextAscent(on),
                            RuntimeGraphicsStringWidth(on, hello.get())};
  };
  EXPECT_EQ(measures(g), DirectMeasures(canvas.dc, 12));
  graphicsTextSizeSetter(g, 0, 20);
  EXPECT_EQ(measures(g), DirectMeasures(canvas.dc, 20)) << "the cached metrics outlived the font";
  StringRef courierName = Text("courier");
  graphicsTextFontSetter(g, 0, courierName.get());
  EXPECT_EQ(measures(g), DirectMeasures(canvas.dc, 20, "Courier New"));
}

// Strings are in the fore colour; a wrapped one puts its first baseline where
// the unwrapped one does.
TEST_F(GraphicsTest, AWrappedStringPutsItsFirstBaselineWhereTheUnwrappedOneDoes) {
  StringRef text = Text("Baseline jig");
  const int y = 40;
  auto [a, plain] = Make(300, 120);
  RuntimeGraphicsDrawString(a, nullptr, 10, y, 0);
  RuntimeGraphicsDrawString(a, nullptr, 10, y, 100);
  EXPECT_TRUE(plain.InkSet().empty()) << "nil drew";
  RuntimeGraphicsDrawString(a, text.get(), 10, y, 0);
  auto [b, wrapped] = Make(300, 120);
  RuntimeGraphicsDrawString(b, text.get(), 10, y, 250);
  int ascent = RuntimeGraphicsTextAscent(a), height = RuntimeGraphicsTextHeight(a);
  std::set<int> rows = plain.InkRows();
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(wrapped.InkSet(), plain.InkSet());
  EXPECT_GE(*rows.begin(), y - ascent);
  EXPECT_LT(*rows.rbegin(), y - ascent + height);
  EXPECT_TRUE(rows.count(y - 1)) << "letters stand on the baseline";
  // Too narrow for both words: the second goes to a line below, the first
  // stays where it was, and nothing reaches past the wrap width.
  auto [c, narrow] = Make(300, 120);
  int firstWord = RuntimeGraphicsStringWidth(c, Text("Baseline").get());
  RuntimeGraphicsDrawString(c, text.get(), 10, y, firstWord + 4);
  std::set<int> narrowRows = narrow.InkRows();
  EXPECT_GE(*narrowRows.rbegin(), y - ascent + height) << "no second line";
  EXPECT_EQ(*narrowRows.begin(), *rows.begin());
  for (auto [x, row] : narrow.InkSet()) EXPECT_LT(x, 10 + firstWord + 4);
  graphicsForeColorSetter(a, 0, 0xC00000);
  RuntimeGraphicsDrawString(a, text.get(), 10, y + 60, 0);
  bool pure = false;
  for (auto [x, row] : plain.InkSet()) pure = pure || plain.At(x, row) == 0xC00000;
  EXPECT_TRUE(pure) << "no pixel in the fore colour";
}

TEST_F(GraphicsTest, PicturesDrawAtTheirSizeOrScaledPixelByPixel) {
  uint32_t stored[] = {16, 2, 2, 8, 0x03E07C00u, 0x7FFF001Fu};  // 5-5-5 pixels: red, green / blue, white
  ObjectRecord* o = NewObjectOfClass(FindBuiltInClass("Picture"));
  ASSERT_TRUE(BuildPictureSurface(reinterpret_cast<PictureObject*>(o), stored));
  auto [g, canvas] = Make(60, 60, 1, 1);
  RuntimeGraphicsDrawPicture(g, o, 9, 9, -1, -1, 0, 0, -1, -1);  // own size at (10, 10)
  RuntimeGraphicsDrawPicture(g, o, 19, 19, 6, 6, 0, 0, 2, 2);   // three times at (20, 20)
  RuntimeGraphicsDrawPicture(g, o, 39, 39, 4, 4, 1, 0, 1, 1);   // the green pixel alone
  uint32_t green = canvas.At(11, 10);  // a flip either way puts another colour here
  EXPECT_GT(readColorGreen(static_cast<int32_t>(green)), 0xF0);
  EXPECT_EQ(canvas.At(12, 10), kWhite);
  EXPECT_EQ(canvas.At(10, 12), kWhite);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x)
      ASSERT_EQ(canvas.At(20 + x, 20 + y), canvas.At(10 + x / 3, 10 + y / 3)) << x << "," << y;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) ASSERT_EQ(canvas.At(40 + x, 40 + y), green);
  EXPECT_EQ(canvas.At(44, 40), kWhite);
  RuntimeUnlockObject(o);
}

}  // namespace
