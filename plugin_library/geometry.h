// Where the library's controls put their pixels, kept apart from GDI so the
// shapes can be checked natively: rectangles are half-open (right and bottom
// excluded), points are pixel positions in the control's window coordinates.
#pragma once

struct PlugRect {
  int left, top, right, bottom;
};

struct PlugPoint {
  int x, y;
};

// A filled shape of up to four corners (triangles, and the blunt arrow
// heads whose tips are two pixels wide).
struct PlugPolygon {
  PlugPoint p[4];
  int count;
};

// True when left <= x < right and top <= y < bottom.
bool PlugContains(PlugRect r, int x, int y);

// `r` shrunk by `d` on every side.
PlugRect PlugInset(PlugRect r, int d);

// The two edges of one bevel ring around `r`: `lit` runs from the
// bottom-left corner up to the top-left and on to the top-right; `dark`
// from one right of the bottom-left to the bottom-right and up to the
// top-right. Corners are the ring's own pixels, last point included.
struct RingEdges {
  PlugPoint lit[3];
  PlugPoint dark[3];
};
RingEdges BevelRingEdges(PlugRect r);

// Top-left of a w x h icon in `r` for alignment 0-9 and the offsets.
PlugPoint BevelIconOrigin(PlugRect r, int w, int h, int align, int dx, int dy);

struct CaptionMetrics {
  int width, ascent, descent, externalLeading;
};

struct CaptionLayout {
  bool hasIcon;
  PlugPoint icon;
  int iconWidth, iconHeight;
  int placement;  // 0-5
  int align;      // 0-3
  int delta;
};

// Baseline-left origin of the caption in `r`.
PlugPoint BevelCaptionOrigin(PlugRect r, CaptionMetrics m, const CaptionLayout& layout);

enum ArrowDirection { kArrowRight = 0, kArrowLeft = 1, kArrowUp = 2, kArrowDown = 3 };

// A solid arrow head with its base `base` pixels long and base / 2 deep,
// its bounding box's top-left at (x, y).
PlugPolygon ArrowHead(int x, int y, ArrowDirection direction, int base);

// The menu mark of a bevel button: `hasMenu` 1 below (pointing down), 2 to
// the right (pointing right), anchored to the content rectangle's
// bottom-right. Count 0 for no menu.
PlugPolygon BevelMenuMark(PlugRect content, int hasMenu);

// PopupArrow facing 0-3 full size (8 by 4), 4-7 the same at half size.
PlugPolygon PopupArrowShape(int x, int y, int facing);

// Disclosure triangle at the bounds' top-left: open (down) when `value`,
// else pointing right (facing 0) or left (facing 1).
PlugPolygon DisclosureShape(int x, int y, bool value, int facing);

// A separator's two lines, each from `from` to `to` inclusive.
struct SeparatorLines {
  PlugPoint shadowFrom, shadowTo, lightFrom, lightTo;
};
SeparatorLines SeparatorGeometry(PlugRect bounds);

// LittleArrows: part 1 the up half, 2 the down half.
constexpr int kLittleArrowsWidth = 13;
constexpr int kLittleArrowsHeight = 23;
PlugRect LittleArrowsHalf(int left, int top, int part);
PlugPolygon LittleArrowGlyph(int left, int top, int part, bool pressed);
// The part under (x, y): 0 outside the box, else 1 or 2.
int LittleArrowsPartAt(int left, int top, int x, int y);

// ChasingArrows frame 0-7 at (left, top), or its point mirror in the
// 16 x 16 square.
struct ArrowFrame {
  PlugPoint triangle[3];
  PlugPoint line[8];
  int lineCount;
};
constexpr int kChasingFrames = 8;
ArrowFrame ChasingArrowsFrame(int frame, int left, int top, bool mirrored);

// ImageWell: where a w x h image goes inside `area` (centred; at the
// area's edge in a direction in which the image is larger).
PlugPoint ImageWellOrigin(PlugRect area, int w, int h);
