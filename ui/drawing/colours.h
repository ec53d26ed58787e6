// Colours as the application sees them (0x00RRGGBB) and as drawing ports
// keep them (three 16-bit channels). The port's channels are wider than
// anything GDI draws with, so a colour widened and narrowed again comes back
// unchanged, and a channel set by 16-bit code keeps only its high byte on
// screen.
#pragma once
#include <windows.h>

#include <cstdint>

struct Colour16 {
  uint16_t red, green, blue;
};

// Each 8-bit channel of `colour` widened to 16 bits (times 257, so 0xFF
// becomes 0xFFFF). Bits above the red byte are ignored.
Colour16 WidenColour(uint32_t colour);
// The high byte of each channel, packed as 0x00RRGGBB.
uint32_t NarrowColour(Colour16 colour);
// What GDI draws for a port colour, and the port colour of what GDI reports.
COLORREF ToColorRef(Colour16 colour);
Colour16 FromColorRef(COLORREF colour);
