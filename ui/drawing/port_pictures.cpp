// Bitmaps drawn into a drawing port. Pictures here are small pixel drawings,
// so a scaled copy repeats or drops whole pixels (COLORONCOLOR) rather than
// blending them: the picture stays crisp and its colours exact.
#include "ui/drawing/drawing_port.h"
#include "ui/drawing/gdi_scope.h"
#include "ui/drawing/port_dc.h"

void DrawingPort::DrawBitmap(HBITMAP bitmap, const RECT& source, const RECT& dest) {
  if (!bitmap) return;
  PortDC dc(*this, PortDC::kDraw);
  if (!dc) return;
  HDC memory = CreateCompatibleDC(dc.get());
  if (!memory) return;
  {
    SelectedObject selected(memory, bitmap, false);
    RECT d = ToDevice(*this, dest);
    int oldMode = SetStretchBltMode(dc.get(), COLORONCOLOR);
    StretchBlt(dc.get(), d.left, d.top, d.right - d.left, d.bottom - d.top, memory, source.left,
               source.top, source.right - source.left, source.bottom - source.top, SRCCOPY);
    SetStretchBltMode(dc.get(), oldMode);
  }
  DeleteDC(memory);
}
