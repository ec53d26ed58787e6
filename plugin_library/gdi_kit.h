// The few GDI operations the controls are drawn with, each leaving the
// device context as it found it: pens and brushes made for one call are
// deselected and deleted before it returns.
#pragma once
#include <windows.h>

#include "plugin_library/geometry.h"

// Fills the polygon with `brush` and outlines it with `pen`; a null pen
// keeps the DC's current pen.
void FillShape(HDC dc, const PlugPolygon& shape, HBRUSH brush, HPEN pen);
// A solid black polygon (fill and outline).
void FillBlackShape(HDC dc, const PlugPolygon& shape);
// A 1-pixel polyline through the points, the last point included.
void DrawPolyline(HDC dc, const PlugPoint* points, int count, COLORREF colour);
// A straight 1-pixel line, both ends included.
void DrawLine(HDC dc, PlugPoint from, PlugPoint to, COLORREF colour);
void FillColour(HDC dc, PlugRect r, COLORREF colour);
void FillSysColour(HDC dc, PlugRect r, int index);
void FrameColour(HDC dc, PlugRect r, COLORREF colour);
RECT ToRect(PlugRect r);
PlugRect ToPlugRect(const RECT& r);

// SaveDC on entry, RestoreDC on every exit path.
class SavedDC {
 public:
  explicit SavedDC(HDC dc) : dc_(dc), id_(dc ? SaveDC(dc) : 0) {}
  ~SavedDC() {
    if (id_) RestoreDC(dc_, id_);
  }
  SavedDC(const SavedDC&) = delete;
  SavedDC& operator=(const SavedDC&) = delete;

 private:
  HDC dc_;
  int id_;
};

// The DC a drawing slot should use: the given graphics object's, or one
// obtained for the control and released when the scope ends.
class ControlCanvas {
 public:
  ControlCanvas(void* instance, void* graphics);
  ~ControlCanvas();
  ControlCanvas(const ControlCanvas&) = delete;
  ControlCanvas& operator=(const ControlCanvas&) = delete;
  HDC dc() const { return dc_; }

 private:
  void* owned_ = nullptr;
  HDC dc_ = nullptr;
};
