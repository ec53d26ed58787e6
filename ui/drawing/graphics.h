// Graphics objects: what windows, canvases, pictures and plug-ins hand to
// code that draws. A Graphics is a view onto a drawing port, placed at the
// drawn object's top-left corner; the port keeps the pen, colour and font.
#pragma once
#include <cstdint>

#include "sdk/class_records.h"
#include "sdk/ui_layouts.h"

// A new Graphics for `port` (which gets one more reference), whose (0, 0) is
// the port's (originX, originY) and whose size is width x height. The caller
// owns the one reference; null for a null port.
ObjectRecord* NewGraphics(DrawingPort* port, int32_t originX, int32_t originY, int32_t width,
                          int32_t height);
// The port a Graphics draws through (borrowed); null for nil and for an
// object that is no Graphics.
DrawingPort* GraphicsPort(ObjectRecord* graphics);

// Constructor and destructor of the Graphics class: a Graphics starts with
// no port and the page numbers of a one-page job; the port's reference is
// given back with the object.
void __cdecl GraphicsConstruct(ObjectRecord* graphics, ClassRecord* cls);
void __cdecl GraphicsDestruct(ObjectRecord* graphics, ClassRecord* cls);

// The properties of Graphics, with their accessors (sdk/entry_graphics.h).
extern const PropertyEntry kGraphicsProperties[];
extern const uint32_t kGraphicsPropertyCount;
