// A window whose "Paint" draws lines and rectangles (the other primitives
// are the unit tests'); the first paint traces a new port's state and a
// pixel it filled. A click draws through the window's own Graphics outside a
// paint, reads the pixel back and shows a message box the window must own.
#include "window_drawing_project.h"
#include "tests/images/app_trace.h"

namespace {

using namespace vt;

String Hex(uint32_t colour) { return String::Adopt(RuntimeHex(static_cast<int32_t>(colour))); }

ObjectRecord* gMain = nullptr;

void TraceDefaults(ObjectRecord* g) {
  Trace("Paint ", graphicsWidthGetter(g, 0), " ", graphicsHeightGetter(g, 0));
  Trace("defaults ", String::Adopt(graphicsTextFontGetter(g, 0)), " ", graphicsTextSizeGetter(g, 0), " pen ",
        graphicsPenWidthGetter(g, 0), " ", graphicsPenHeightGetter(g, 0), " colour ",
        Hex(graphicsForeColorGetter(g, 0)));
}

void Pen(ObjectRecord* g, uint32_t colour, int32_t width) {
  graphicsForeColorSetter(g, 0, colour);
  graphicsPenWidthSetter(g, 0, width);
}

void LinesAndRectangles(ObjectRecord* g) {
  RuntimeGraphicsDrawLine(g, 10, 10, 110, 60);
  Pen(g, RuntimeRGB(220, 0, 0), 1);
  RuntimeGraphicsDrawLine(g, 10, 60, 110, 10);
  Pen(g, RuntimeRGB(0, 0, 200), 4);
  RuntimeGraphicsDrawLine(g, 10, 75, 110, 75);
  Pen(g, 0, 1);
  RuntimeGraphicsDrawRect(g, 130, 10, 80, 50);
  graphicsForeColorSetter(g, 0, 0x0000FF);
  RuntimeGraphicsFillRect(g, 140, 20, 60, 30);
  RuntimeGraphicsClearRect(g, 155, 30, 30, 10);
}

}  // namespace

extern "C" {

void Draw_Paint(ObjectRecord* w, ObjectRecord* g) {
  int32_t& paints = Field<int32_t>(w, vs_project::DrawWindow::kPaints);
  bool first = paints++ == 0;
  if (first) TraceDefaults(g);
  Pen(g, 0, 1);  // the port keeps pen and colour from the last paint
  RuntimeGraphicsClearRect(g, 0, 0, graphicsWidthGetter(g, 0), graphicsHeightGetter(g, 0));
  LinesAndRectangles(g);
  if (first) Trace("pixel ", Hex(graphicsPixelGetter(g, 145, 25)));
}

bool Draw_MouseDown(ObjectRecord* w, int32_t x, int32_t y) {
  vs::Ref g = vs::Ref::Adopt(windowGraphicsGetter(w, 0));
  graphicsForeColorSetter(g.get(), 0, RuntimeRGB(255, 0, 255));
  RuntimeGraphicsFillRect(g.get(), x - 3, y - 3, 7, 7);
  Trace("MouseDown pixel ", Hex(graphicsPixelGetter(g.get(), x, y)));
  RuntimeMsgBox(Line("Drawn at ", x, " ", y).get());
  Trace("message closed");
  return false;
}

void Draw_Close(ObjectRecord*) { Trace("Close"); }

void DrawingEntry() { vt::RunMainWindow(vs_project_record, vs_window_Main, &gMain); }

}  // extern "C"
