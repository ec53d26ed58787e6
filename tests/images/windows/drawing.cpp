// A window whose "Paint" draws with every primitive of Graphics, for the
// screenshot; the first paint traces a new port's state and a pixel it filled.
// A click draws through the window's own Graphics outside a paint, reads the
// pixel back and shows a message box, which the window must own.
#include "window_drawing_project.h"
#include "tests/images/app_trace.h"

namespace {

using namespace vt;

String Hex(uint32_t colour) { return String::Adopt(RuntimeHex(static_cast<int32_t>(colour))); }

ObjectRecord* gMain = nullptr;

// The port keeps pen, colour and font from one paint to the next: each paint
// starts from the same state.
void Reset(ObjectRecord* g) {
  graphicsForeColorSetter(g, 0, 0);
  graphicsPenWidthSetter(g, 0, 1);
  graphicsPenHeightSetter(g, 0, 1);
  graphicsTextFontSetter(g, 0, Line("System").get());
  graphicsTextSizeSetter(g, 0, 12);
  graphicsBoldSetter(g, 0, false);
  graphicsItalicSetter(g, 0, false);
  graphicsUnderlineSetter(g, 0, false);
}

void TraceDefaults(ObjectRecord* g) {
  Trace("Paint ", graphicsWidthGetter(g, 0), " ", graphicsHeightGetter(g, 0));
  Trace("defaults ", String::Adopt(graphicsTextFontGetter(g, 0)), " ", graphicsTextSizeGetter(g, 0), " pen ",
        graphicsPenWidthGetter(g, 0), " ", graphicsPenHeightGetter(g, 0), " colour ",
        Hex(graphicsForeColorGetter(g, 0)));
}

// A pen of `width` in `colour`.
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

void Ovals(ObjectRecord* g) {
  Pen(g, RuntimeRGB(0, 150, 0), 2);
  RuntimeGraphicsDrawOval(g, 230, 10, 70, 50);
  graphicsForeColorSetter(g, 0, RuntimeRGB(255, 140, 0));
  RuntimeGraphicsFillOval(g, 310, 10, 70, 50);
  graphicsForeColorSetter(g, 0, RuntimeRGB(128, 0, 128));
  RuntimeGraphicsDrawRoundRect(g, 130, 80, 80, 50, 20, 20);
  graphicsForeColorSetter(g, 0, RuntimeRGB(0, 128, 128));
  RuntimeGraphicsFillRoundRect(g, 230, 80, 70, 50, 16, 16);
  graphicsPenWidthSetter(g, 0, 1);
}

void Texts(ObjectRecord* g) {
  graphicsForeColorSetter(g, 0, 0);
  String hello = Line("Hello, Graphics");
  RuntimeGraphicsDrawString(g, hello.get(), 10, 110, 0);
  // Underlined by a line as long as the text measures, just below the baseline.
  int32_t width = RuntimeGraphicsStringWidth(g, hello.get());
  RuntimeGraphicsDrawLine(g, 10, 112, 10 + width, 112);
  graphicsForeColorSetter(g, 0, RuntimeRGB(200, 0, 0));
  graphicsBoldSetter(g, 0, true);
  graphicsTextSizeSetter(g, 0, 14);
  RuntimeGraphicsDrawString(g, Line("Bold 14").get(), 10, 135, 0);
  graphicsBoldSetter(g, 0, false);
  graphicsItalicSetter(g, 0, true);
  graphicsUnderlineSetter(g, 0, true);
  graphicsTextFontSetter(g, 0, Line("Times").get());
  graphicsForeColorSetter(g, 0, RuntimeRGB(0, 0, 160));
  RuntimeGraphicsDrawString(g, Line("Italic underlined Times").get(), 10, 160, 0);
  Reset(g);
  // The wrapped text between guides at its wrap width, over a guide line at
  // its first baseline.
  graphicsForeColorSetter(g, 0, RuntimeRGB(120, 180, 255));
  RuntimeGraphicsDrawLine(g, 305, 160, 395, 160);
  RuntimeGraphicsDrawLine(g, 309, 140, 309, 290);
  RuntimeGraphicsDrawLine(g, 390, 140, 390, 290);
  graphicsForeColorSetter(g, 0, 0);
  String wrapped = Line("Word-wrapped text keeps its first baseline on the guide line.");
  RuntimeGraphicsDrawString(g, wrapped.get(), 310, 160, 80);
}

void Pixels(ObjectRecord* g) {
  for (int32_t i = 0; i < 60; i += 3) graphicsPixelSetter(g, 130 + i, 178, RuntimeRGB(255, 0, 0));
  for (int32_t i = 0; i < 60; i += 3) graphicsPixelSetter(g, 130 + i, 181, RuntimeRGB(0, 0, 255));
  graphicsDrawStopIcon(g, 200, 140);
  graphicsDrawNoteIcon(g, 220, 140);
  graphicsDrawCautionIcon(g, 240, 140);
}

void Pictures(ObjectRecord* g) {
  vs::Ref picture = vs::Ref::Adopt(RuntimeProjectObject(1));
  RuntimeGraphicsDrawPicture(g, picture.get(), 10, 190, -1, -1, 0, 0, -1, -1);
  RuntimeGraphicsDrawPicture(g, picture.get(), 30, 190, 64, 64, 0, 0, -1, -1);
  // The top-right quadrant alone, blown up.
  RuntimeGraphicsDrawPicture(g, picture.get(), 110, 190, 48, 48, 4, 0, 4, 4);
}

}  // namespace

extern "C" {

void Draw_Paint(ObjectRecord* w, ObjectRecord* g) {
  int32_t& paints = Field<int32_t>(w, vs_project::DrawWindow::kPaints);
  bool first = paints++ == 0;
  if (first) TraceDefaults(g);
  Reset(g);
  RuntimeGraphicsClearRect(g, 0, 0, graphicsWidthGetter(g, 0), graphicsHeightGetter(g, 0));
  LinesAndRectangles(g);
  if (first) Trace("pixel ", Hex(graphicsPixelGetter(g, 145, 25)));
  Ovals(g);
  Texts(g);
  Pixels(g);
  Pictures(g);
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
