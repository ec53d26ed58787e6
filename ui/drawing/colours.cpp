// Widening and narrowing of colour channels; see colours.h.
#include "ui/drawing/colours.h"

namespace {
uint16_t Widen(uint32_t channel) { return static_cast<uint16_t>((channel & 0xFF) * 257); }
uint32_t Narrow(uint16_t channel) { return channel >> 8; }
}  // namespace

Colour16 WidenColour(uint32_t colour) {
  return {Widen(colour >> 16), Widen(colour >> 8), Widen(colour)};
}

uint32_t NarrowColour(Colour16 colour) {
  return Narrow(colour.red) << 16 | Narrow(colour.green) << 8 | Narrow(colour.blue);
}

COLORREF ToColorRef(Colour16 colour) {
  return RGB(Narrow(colour.red), Narrow(colour.green), Narrow(colour.blue));
}

Colour16 FromColorRef(COLORREF colour) {
  return {Widen(GetRValue(colour)), Widen(GetGValue(colour)), Widen(GetBValue(colour))};
}
