// The device context a drawing port uses for one operation. Drawing code asks
// for one and does nothing when it gets none, which is how a hidden port, a
// port with nowhere to draw, or a window that is gone all come to "nothing is
// drawn" without checks of their own.
#pragma once
#include <windows.h>

#include "ui/drawing/drawing_port.h"

class PortDC {
 public:
  enum Purpose { kDraw, kRead, kMeasure };
  // For drawing: the lent DC, else the port's window's DC for the scope, and
  // none while the port is hidden. Reading pixels works on a hidden port too.
  // For measuring text, a screen-compatible memory DC stands in when the port
  // has no DC at all.
  PortDC(const DrawingPort& port, Purpose purpose);
  // Gives back a fetched window DC and deletes a stand-in.
  ~PortDC();
  PortDC(const PortDC&) = delete;
  PortDC& operator=(const PortDC&) = delete;

  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_ = nullptr;
  HWND fetchedFrom_ = nullptr;
  bool standIn_ = false;
};

// The device point of a port point, and the device rectangle of a port one.
POINT ToDevice(const DrawingPort& port, int x, int y);
RECT ToDevice(const DrawingPort& port, const RECT& r);
