// Lines, rectangles, ovals and pixels of a drawing port. Each operation makes
// the pen or brush it needs, selects it for the one call and deletes it, so a
// DC lent to the port comes back with the objects it had.
#include <algorithm>

#include "ui/drawing/drawing_port.h"
#include "ui/drawing/gdi_scope.h"
#include "ui/drawing/port_dc.h"

namespace {

// A solid pen of the port's colour: PenWidth wide for outlines, one pixel
// for the rim of filled shapes. A negative width draws as the thinnest pen.
HPEN MakePen(const DrawingPort& port, int width) {
  return CreatePen(PS_SOLID, std::max(width, 0), ToColorRef(port.ForeColour()));
}

HBRUSH MakeBrush(const DrawingPort& port) {
  return CreateSolidBrush(ToColorRef(port.ForeColour()));
}

enum class Shape { kOval, kRoundRect };

void DrawShape(HDC dc, Shape shape, const RECT& r, int ow, int oh) {
  if (shape == Shape::kOval)
    Ellipse(dc, r.left, r.top, r.right, r.bottom);
  else
    RoundRect(dc, r.left, r.top, r.right, r.bottom, ow, oh);
}

// An outline: the pen of PenWidth, the hollow stock brush inside.
void Outline(const DrawingPort& port, Shape shape, const RECT& r, int ow, int oh) {
  PortDC dc(port, PortDC::kDraw);
  if (!dc) return;
  SelectedObject pen(dc.get(), MakePen(port, port.PenWidth()), true);
  SelectedObject brush(dc.get(), GetStockObject(NULL_BRUSH), false);
  DrawShape(dc.get(), shape, ToDevice(port, r), ow, oh);
}

// A filled shape covers the same pixels as its one-pixel outline: GDI leaves
// the right and bottom rim out when the pen is null, so the rim is drawn in
// the fill colour instead.
void Filled(const DrawingPort& port, Shape shape, const RECT& r, int ow, int oh) {
  PortDC dc(port, PortDC::kDraw);
  if (!dc) return;
  SelectedObject pen(dc.get(), MakePen(port, 1), true);
  SelectedObject brush(dc.get(), MakeBrush(port), true);
  DrawShape(dc.get(), shape, ToDevice(port, r), ow, oh);
}

}  // namespace

void DrawingPort::LineTo(int x, int y) {
  PortDC dc(*this, PortDC::kDraw);
  if (!dc) return;
  SelectedObject pen(dc.get(), MakePen(*this, penWidth_), true);
  POINT from = ToDevice(*this, pen_.x, pen_.y), to = ToDevice(*this, x, y);
  MoveToEx(dc.get(), from.x, from.y, nullptr);
  ::LineTo(dc.get(), to.x, to.y);
  pen_ = {x, y};
}

void DrawingPort::FrameRect(const RECT& r) {
  MoveTo(r.left, r.top);
  LineTo(r.right, r.top);
  LineTo(r.right, r.bottom);
  LineTo(r.left, r.bottom);
  LineTo(r.left, r.top);
}

void DrawingPort::FillRect(const RECT& r) {
  PortDC dc(*this, PortDC::kDraw);
  if (!dc) return;
  HBRUSH brush = MakeBrush(*this);
  RECT device = ToDevice(*this, r);
  ::FillRect(dc.get(), &device, brush);
  DeleteObject(brush);
}

void DrawingPort::ClearRect(const RECT& r) {
  PortDC dc(*this, PortDC::kDraw);
  if (!dc) return;
  RECT device = ToDevice(*this, r);
  ::FillRect(dc.get(), &device, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

void DrawingPort::FrameOval(const RECT& r) { Outline(*this, Shape::kOval, r, 0, 0); }
void DrawingPort::FillOval(const RECT& r) { Filled(*this, Shape::kOval, r, 0, 0); }
void DrawingPort::FrameRoundRect(const RECT& r, int ow, int oh) {
  Outline(*this, Shape::kRoundRect, r, ow, oh);
}
void DrawingPort::FillRoundRect(const RECT& r, int ow, int oh) {
  Filled(*this, Shape::kRoundRect, r, ow, oh);
}

Colour16 DrawingPort::Pixel(int x, int y) {
  PortDC dc(*this, PortDC::kRead);
  if (!dc) return {0, 0, 0};
  POINT p = ToDevice(*this, x, y);
  COLORREF c = GetPixel(dc.get(), p.x, p.y);
  return c == CLR_INVALID ? Colour16{0, 0, 0} : FromColorRef(c);
}

void DrawingPort::SetPixel(int x, int y, Colour16 colour) {
  PortDC dc(*this, PortDC::kDraw);
  if (!dc) return;
  POINT p = ToDevice(*this, x, y);
  ::SetPixelV(dc.get(), p.x, p.y, ToColorRef(colour));
}
