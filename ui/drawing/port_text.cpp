// Text of a drawing port. Text is placed by its baseline: the unwrapped form
// draws with TA_BASELINE, and the wrapped form, which GDI can only lay out
// from the top of a box, puts the box's top one ascent above the baseline so
// that both forms put the first line in the same place. The port leaves the
// DC's alignment at TA_BASELINE, the state its text drawing assumes.
#include <climits>

#include "ui/drawing/drawing_port.h"
#include "ui/drawing/gdi_scope.h"
#include "ui/drawing/port_dc.h"

namespace {

// DrawText's box reaches this far down, so wrapped text is never cut short.
constexpr int kNoBottom = 32767;

int Length(std::string_view text) {
  return text.size() > INT_MAX ? INT_MAX : static_cast<int>(text.size());
}

}  // namespace

void DrawingPort::DrawString(std::string_view text, int x, int y, int wrapWidth) {
  if (wrapWidth > 0) return DrawTextBox(text, x, y, wrapWidth, DT_LEFT);
  PortDC dc(*this, PortDC::kDraw);
  if (!dc) return;
  SelectedObject font(dc.get(), Font(), false);
  TextInk ink(dc.get(), ToColorRef(fore_));
  SetTextAlign(dc.get(), TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
  POINT p = ToDevice(*this, x, y);
  TextOutA(dc.get(), p.x, p.y, text.data(), Length(text));
}

void DrawingPort::DrawTextBox(std::string_view text, int x, int y, int width, UINT align) {
  int ascent = TextAscent();
  PortDC dc(*this, PortDC::kDraw);
  if (!dc) return;
  SelectedObject font(dc.get(), Font(), false);
  TextInk ink(dc.get(), ToColorRef(fore_));
  RECT box = ToDevice(*this, RECT{x, y - ascent, x + width, 0});
  box.bottom = kNoBottom;
  SetTextAlign(dc.get(), TA_TOP | TA_LEFT | TA_NOUPDATECP);
  DrawTextA(dc.get(), text.data(), Length(text), &box, DT_WORDBREAK | DT_NOPREFIX | align);
  SetTextAlign(dc.get(), TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
}

int DrawingPort::StringWidth(std::string_view text) {
  PortDC dc(*this, PortDC::kMeasure);
  if (!dc || text.empty()) return 0;
  SelectedObject font(dc.get(), Font(), false);
  SIZE size = {0, 0};
  GetTextExtentPoint32A(dc.get(), text.data(), Length(text), &size);
  return size.cx;
}
