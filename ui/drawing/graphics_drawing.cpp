// The drawing entry points of Graphics. Each moves the Graphics' coordinates
// to the port's by the Graphics' origin and hands the work to the port; the
// port decides whether anything is drawn (visible flag, a DC to draw into).
#include "objects/checked_cast.h"
#include "objects/strings.h"
#include "sdk/entry_graphics.h"
#include "ui/drawing/drawing_port.h"
#include "ui/drawing/graphics.h"

namespace {

struct Target {
  DrawingPort* port;
  int32_t dx, dy;
  explicit operator bool() const { return port != nullptr; }
  POINT At(int32_t x, int32_t y) const { return {x + dx, y + dy}; }
  RECT Box(int32_t x, int32_t y, int32_t w, int32_t h) const {
    return {x + dx, y + dy, x + w + dx, y + h + dy};
  }
};

Target TargetOf(ObjectRecord* g) {
  GraphicsObject* graphics = As<GraphicsObject>(g);
  if (!graphics || !graphics->port) return {nullptr, 0, 0};
  return {graphics->port, graphics->originX, graphics->originY};
}

// A size the caller left to the picture (negative) becomes the picture's own.
int32_t OrOwn(int32_t size, int32_t own) { return size < 0 ? own : size; }

}  // namespace

extern "C" {

void RuntimeGraphicsDrawLine(ObjectRecord* g, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  Target t = TargetOf(g);
  if (!t) return;
  POINT from = t.At(x1, y1), to = t.At(x2, y2);
  t.port->MoveTo(from.x, from.y);
  t.port->LineTo(to.x, to.y);
}

void RuntimeGraphicsDrawRect(ObjectRecord* g, int32_t x, int32_t y, int32_t w, int32_t h) {
  if (Target t = TargetOf(g)) t.port->FrameRect(t.Box(x, y, w, h));
}
void RuntimeGraphicsFillRect(ObjectRecord* g, int32_t x, int32_t y, int32_t w, int32_t h) {
  if (Target t = TargetOf(g)) t.port->FillRect(t.Box(x, y, w, h));
}
void RuntimeGraphicsClearRect(ObjectRecord* g, int32_t x, int32_t y, int32_t w, int32_t h) {
  if (Target t = TargetOf(g)) t.port->ClearRect(t.Box(x, y, w, h));
}
void RuntimeGraphicsDrawOval(ObjectRecord* g, int32_t x, int32_t y, int32_t w, int32_t h) {
  if (Target t = TargetOf(g)) t.port->FrameOval(t.Box(x, y, w, h));
}
void RuntimeGraphicsFillOval(ObjectRecord* g, int32_t x, int32_t y, int32_t w, int32_t h) {
  if (Target t = TargetOf(g)) t.port->FillOval(t.Box(x, y, w, h));
}
void RuntimeGraphicsDrawRoundRect(ObjectRecord* g, int32_t x, int32_t y, int32_t w, int32_t h,
                                  int32_t ovalWidth, int32_t ovalHeight) {
  if (Target t = TargetOf(g)) t.port->FrameRoundRect(t.Box(x, y, w, h), ovalWidth, ovalHeight);
}
void RuntimeGraphicsFillRoundRect(ObjectRecord* g, int32_t x, int32_t y, int32_t w, int32_t h,
                                  int32_t ovalWidth, int32_t ovalHeight) {
  if (Target t = TargetOf(g)) t.port->FillRoundRect(t.Box(x, y, w, h), ovalWidth, ovalHeight);
}

void RuntimeGraphicsDrawString(ObjectRecord* g, StringRecord* text, int32_t x, int32_t y,
                               int32_t wrapWidth) {
  Target t = TargetOf(g);
  if (!t || !text) return;
  POINT at = t.At(x, y);
  t.port->DrawString(StringView(text), at.x, at.y, wrapWidth);
}

int32_t RuntimeGraphicsStringWidth(ObjectRecord* g, StringRecord* text) {
  Target t = TargetOf(g);
  return t && text ? t.port->StringWidth(StringView(text)) : 0;
}
int32_t RuntimeGraphicsTextHeight(ObjectRecord* g) {
  Target t = TargetOf(g);
  return t ? t.port->TextHeight() : 0;
}
int32_t RuntimeGraphicsTextAscent(ObjectRecord* g) {
  Target t = TargetOf(g);
  return t ? t.port->TextAscent() : 0;
}

void RuntimeGraphicsDrawPicture(ObjectRecord* g, ObjectRecord* picture, int32_t x, int32_t y,
                                int32_t width, int32_t height, int32_t sourceX, int32_t sourceY,
                                int32_t sourceWidth, int32_t sourceHeight) {
  Target t = TargetOf(g);
  PictureObject* p = As<PictureObject>(picture);
  if (!t || !p || !p->bitmap) return;
  RECT dest = t.Box(x, y, OrOwn(width, p->width), OrOwn(height, p->height));
  RECT source = {sourceX, sourceY, sourceX + OrOwn(sourceWidth, p->width),
                 sourceY + OrOwn(sourceHeight, p->height)};
  t.port->DrawBitmap(static_cast<HBITMAP>(p->bitmap), source, dest);
}

uint32_t graphicsPixelGetter(ObjectRecord* g, int32_t x, int32_t y) {
  Target t = TargetOf(g);
  if (!t) return 0;
  POINT at = t.At(x, y);
  return NarrowColour(t.port->Pixel(at.x, at.y));
}

void graphicsPixelSetter(ObjectRecord* g, int32_t x, int32_t y, uint32_t colour) {
  Target t = TargetOf(g);
  if (!t) return;
  POINT at = t.At(x, y);
  t.port->SetPixel(at.x, at.y, WidenColour(colour));
}

void graphicsDrawStopIcon(ObjectRecord*, int32_t, int32_t) {}
void graphicsDrawNoteIcon(ObjectRecord*, int32_t, int32_t) {}
void graphicsDrawCautionIcon(ObjectRecord*, int32_t, int32_t) {}

// No Graphics draws on a printer yet (there is no print job to open), so
// there is never a page to advance.
void RuntimeGraphicsNextPage(ObjectRecord*) {}

}  // extern "C"
