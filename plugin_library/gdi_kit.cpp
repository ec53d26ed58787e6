// GDI at the edge: the shapes from geometry.h turned into pixels.
#include "plugin_library/gdi_kit.h"

#include "plugin_library/runtime_services.h"

namespace {

// Selects an object for one scope and puts the previous one back.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
  ~Selected() {
    if (previous_) SelectObject(dc_, previous_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace

// Conversions between the pure and the GDI rectangle.
RECT ToRect(PlugRect r) { return RECT{r.left, r.top, r.right, r.bottom}; }

PlugRect ToPlugRect(const RECT& r) { return PlugRect{r.left, r.top, r.right, r.bottom}; }

void FillShape(HDC dc, const PlugPolygon& shape, HBRUSH brush, HPEN pen) {
  if (shape.count < 3) return;
  POINT pts[4];
  for (int i = 0; i < shape.count; ++i) pts[i] = POINT{shape.p[i].x, shape.p[i].y};
  Selected b(dc, brush);
  Selected p(dc, pen);
  Polygon(dc, pts, shape.count);
}

void FillBlackShape(HDC dc, const PlugPolygon& shape) {
  FillShape(dc, shape, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)),
            static_cast<HPEN>(GetStockObject(BLACK_PEN)));
}

void DrawPolyline(HDC dc, const PlugPoint* points, int count, COLORREF colour) {
  if (count < 1) return;
  HPEN pen = CreatePen(PS_SOLID, 1, colour);
  {
    Selected p(dc, pen);
    MoveToEx(dc, points[0].x, points[0].y, nullptr);
    for (int i = 1; i < count; ++i) LineTo(dc, points[i].x, points[i].y);
  }
  DeleteObject(pen);
  // LineTo leaves out the final pixel.
  SetPixelV(dc, points[count - 1].x, points[count - 1].y, colour);
}

void DrawLine(HDC dc, PlugPoint from, PlugPoint to, COLORREF colour) {
  PlugPoint points[2] = {from, to};
  DrawPolyline(dc, points, 2, colour);
}

void FillColour(HDC dc, PlugRect r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  RECT rect = ToRect(r);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void FillSysColour(HDC dc, PlugRect r, int index) {
  RECT rect = ToRect(r);
  FillRect(dc, &rect, GetSysColorBrush(index));
}

void FrameColour(HDC dc, PlugRect r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  RECT rect = ToRect(r);
  FrameRect(dc, &rect, brush);
  DeleteObject(brush);
}

ControlCanvas::ControlCanvas(void* instance, void* graphics) {
  if (!graphics) graphics = owned_ = ControlGraphics(static_cast<PlugInstance>(instance));
  dc_ = GraphicsDC(graphics);
}

ControlCanvas::~ControlCanvas() { UnlockObject(owned_); }
