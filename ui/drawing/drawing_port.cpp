// The drawing port's state, its device contexts, its font and metrics; the
// drawing itself is in port_shapes.cpp, port_text.cpp and port_pictures.cpp.
#include "ui/drawing/drawing_port.h"

#include "ui/drawing/fonts.h"
#include "ui/drawing/gdi_scope.h"
#include "ui/drawing/port_dc.h"

DrawingPort::DrawingPort() = default;

DrawingPort::~DrawingPort() { DropFont(); }

void DrawingPort::Release() {
  if (--references_ == 0) delete this;
}

void DrawingPort::DropFont() {
  ReleaseFont(font_);
  font_ = nullptr;
  metricsValid_ = false;
}

void DrawingPort::SetFontName(std::string_view name) {
  if (name == fontName_) return;
  fontName_ = std::string(name);
  DropFont();
}

void DrawingPort::SetFontSize(int size) {
  if (size == fontSize_) return;
  fontSize_ = size;
  DropFont();
}

void DrawingPort::SetBold(bool on) {
  if (on == bold_) return;
  bold_ = on;
  DropFont();
}

void DrawingPort::SetItalic(bool on) {
  if (on == italic_) return;
  italic_ = on;
  DropFont();
}

void DrawingPort::SetUnderline(bool on) {
  if (on == underline_) return;
  underline_ = on;
  DropFont();
}

HFONT DrawingPort::Font() {
  if (!font_) font_ = AcquireFont({fontName_, fontSize_, bold_, italic_, underline_});
  return font_;
}

const TEXTMETRICA& DrawingPort::Metrics() {
  if (metricsValid_) return metrics_;
  PortDC dc(*this, PortDC::kMeasure);
  if (!dc) return metrics_;
  SelectedObject font(dc.get(), Font(), false);
  metricsValid_ = GetTextMetricsA(dc.get(), &metrics_) != 0;
  return metrics_;
}

// --- device contexts ------------------------------------------------------------

PortDC::PortDC(const DrawingPort& port, Purpose purpose) {
  if (purpose == kDraw && !port.Visible()) return;
  if (port.AttachedDC()) {
    dc_ = port.AttachedDC();
    return;
  }
  if (port.Window() && IsWindow(port.Window())) {
    dc_ = GetDC(port.Window());
    if (dc_) fetchedFrom_ = port.Window();
    return;
  }
  if (purpose == kMeasure) {
    dc_ = CreateCompatibleDC(nullptr);
    standIn_ = dc_ != nullptr;
  }
}

PortDC::~PortDC() {
  if (fetchedFrom_) ReleaseDC(fetchedFrom_, dc_);
  if (standIn_) DeleteDC(dc_);
}

POINT ToDevice(const DrawingPort& port, int x, int y) {
  POINT origin = port.Origin();
  return {x - origin.x, y - origin.y};
}

RECT ToDevice(const DrawingPort& port, const RECT& r) {
  POINT origin = port.Origin();
  return {r.left - origin.x, r.top - origin.y, r.right - origin.x, r.bottom - origin.y};
}
