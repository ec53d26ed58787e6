// The controls' shapes as plain arithmetic, so the native tests can check
// them without a device context.
#include "plugin_library/geometry.h"

bool PlugContains(PlugRect r, int x, int y) {
  return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
}

PlugRect PlugInset(PlugRect r, int d) {
  return {r.left + d, r.top + d, r.right - d, r.bottom - d};
}

RingEdges BevelRingEdges(PlugRect r) {
  int right = r.right - 1, bottom = r.bottom - 1;
  return {{{r.left, bottom}, {r.left, r.top}, {right, r.top}},
          {{r.left + 1, bottom}, {right, bottom}, {right, r.top}}};
}

PlugPoint BevelIconOrigin(PlugRect r, int w, int h, int align, int dx, int dy) {
  int x = r.left + (r.right - r.left - w) / 2;
  int y = r.top + (r.bottom - r.top - h) / 2;
  int nearX = r.left + dx, farX = r.right - w - dx;
  int nearY = r.top + dy, farY = r.bottom - h - dy;
  switch (align) {
    case 0: case 2: return {nearX, y};
    case 3: return {farX, y};
    case 4: return {x, nearY};
    case 5: return {x, farY};
    case 6: return {nearX, nearY};
    case 7: return {nearX, farY};
    case 8: return {farX, nearY};
    case 9: return {farX, farY};
    default: return {x, y};
  }
}

PlugPoint BevelCaptionOrigin(PlugRect r, CaptionMetrics m, const CaptionLayout& c) {
  int x = r.left + (r.right - r.left - m.width) / 2;
  int y = r.top + (r.bottom - r.top - m.ascent - m.descent - m.externalLeading) / 2 + m.ascent;
  bool beside = c.hasIcon && (c.placement == 2 || c.placement == 3);
  if (c.hasIcon) {
    switch (c.placement) {
      case 2: x = c.icon.x + c.iconWidth + c.delta; break;
      case 3: x = c.icon.x - m.width - c.delta; break;
      case 4: y = c.icon.y + c.iconHeight + m.ascent; break;
      case 5: y = c.icon.y - m.descent - m.externalLeading; break;
      default: break;
    }
  }
  if (beside) return {x, y};
  if (c.align == 0 || c.align == 2) x = r.left + c.delta;
  if (c.align == 1) x = r.right - m.width - c.delta;
  return {x, y};
}

PlugPolygon ArrowHead(int x, int y, ArrowDirection direction, int base) {
  int b = base - 1, d = base / 2 - 1;  // last pixel along and across
  switch (direction) {
    case kArrowRight: return {{{x, y}, {x + d, y + d}, {x + d, y + d + 1}, {x, y + b}}, 4};
    case kArrowLeft: return {{{x + d, y}, {x, y + d}, {x, y + d + 1}, {x + d, y + b}}, 4};
    case kArrowUp: return {{{x + d, y}, {x + d + 1, y}, {x + b, y + d}, {x, y + d}}, 4};
    case kArrowDown: return {{{x, y}, {x + b, y}, {x + d + 1, y + d}, {x + d, y + d}}, 4};
  }
  return {{}, 0};
}

PlugPolygon BevelMenuMark(PlugRect content, int hasMenu) {
  if (hasMenu == 1) return ArrowHead(content.right - 10, content.bottom - 6, kArrowDown, 8);
  if (hasMenu == 2) return ArrowHead(content.right - 6, content.bottom - 10, kArrowRight, 8);
  return {{}, 0};
}

PlugPolygon PopupArrowShape(int x, int y, int facing) {
  if (facing < 0 || facing > 7) facing = 0;
  int base = facing < 4 ? 8 : 4;
  return ArrowHead(x, y, static_cast<ArrowDirection>(facing & 3), base);
}

PlugPolygon DisclosureShape(int x, int y, bool value, int facing) {
  if (value) return {{{x, y + 2}, {x + 10, y + 2}, {x + 5, y + 7}}, 3};
  if (facing == 1) return {{{x + 7, y}, {x + 2, y + 5}, {x + 7, y + 10}}, 3};
  return {{{x + 2, y}, {x + 7, y + 5}, {x + 2, y + 10}}, 3};
}

SeparatorLines SeparatorGeometry(PlugRect b) {
  if (b.bottom - b.top < b.right - b.left) {
    int y = (b.top + b.bottom) / 2;
    return {{b.left, y}, {b.right - 1, y}, {b.left, y + 1}, {b.right - 1, y + 1}};
  }
  int x = (b.left + b.right) / 2;
  return {{x, b.top}, {x, b.bottom - 1}, {x + 1, b.top}, {x + 1, b.bottom - 1}};
}

PlugRect LittleArrowsHalf(int left, int top, int part) {
  if (part == 1) return {left + 1, top + 1, left + 12, top + 11};
  return {left + 1, top + 12, left + 12, top + 22};
}

PlugPolygon LittleArrowGlyph(int left, int top, int part, bool pressed) {
  PlugRect half = LittleArrowsHalf(left, top, part);
  int x = half.left + (pressed ? 1 : 0), y = half.top + (pressed ? 1 : 0);
  if (part == 1) return {{{x + 2, y + 6}, {x + 5, y + 3}, {x + 8, y + 6}}, 3};
  return {{{x + 2, y + 3}, {x + 5, y + 6}, {x + 8, y + 3}}, 3};
}

int LittleArrowsPartAt(int left, int top, int x, int y) {
  if (x >= left + kLittleArrowsWidth || y >= top + kLittleArrowsHeight) return 0;
  return y < top + 12 ? 1 : 2;
}

namespace {

struct FrameBytes {
  unsigned char count;
  unsigned char b[20];
};

// Triangle (b0,b1) (b4,b5) (b2,b3), then the tail polyline from (b6,b7).
const FrameBytes kFrames[kChasingFrames] = {
    {18, {11, 7, 15, 7, 14, 9, 5, 3, 6, 2, 9, 2, 11, 3, 13, 6, 13, 9}},
    {16, {11, 8, 14, 9, 12, 11, 7, 2, 9, 2, 11, 3, 13, 6, 12, 11}},
    {16, {11, 10, 13, 12, 10, 12, 9, 2, 11, 3, 13, 6, 12, 11, 10, 12}},
    {16, {9, 11, 11, 14, 8, 13, 11, 3, 13, 6, 12, 11, 10, 12, 8, 13}},
    {18, {8, 11, 8, 15, 6, 13, 12, 5, 13, 6, 12, 11, 10, 12, 8, 13, 6, 13}},
    {18, {6, 14, 7, 11, 4, 12, 13, 7, 12, 11, 10, 12, 8, 13, 6, 13, 4, 12}},
    {18, {3, 13, 5, 11, 3, 10, 12, 11, 10, 12, 8, 13, 6, 13, 4, 12, 3, 10}},
    {20, {1, 11, 4, 9, 2, 8, 12, 11, 10, 12, 8, 13, 6, 13, 4, 12, 3, 10, 2, 8}},
};

PlugPoint FramePoint(const FrameBytes& f, int i, int left, int top, bool mirrored) {
  int x = f.b[i], y = f.b[i + 1];
  if (mirrored) x = 15 - x, y = 15 - y;
  return {left + x, top + y};
}

}  // namespace

ArrowFrame ChasingArrowsFrame(int frame, int left, int top, bool mirrored) {
  const FrameBytes& f = kFrames[frame & 7];
  ArrowFrame out{};
  out.triangle[0] = FramePoint(f, 0, left, top, mirrored);
  out.triangle[1] = FramePoint(f, 4, left, top, mirrored);
  out.triangle[2] = FramePoint(f, 2, left, top, mirrored);
  for (int i = 6; i + 1 < f.count; i += 2) out.line[out.lineCount++] = FramePoint(f, i, left, top, mirrored);
  return out;
}

PlugPoint ImageWellOrigin(PlugRect area, int w, int h) {
  int aw = area.right - area.left, ah = area.bottom - area.top;
  int x = w > aw ? area.left : area.left + (aw - w) / 2;
  int y = h > ah ? area.top : area.top + (ah - h) / 2;
  return {x, y};
}
