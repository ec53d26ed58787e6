// The Graphics class: its making, its end and its properties. The properties
// live in the port, not in the Graphics, so that two Graphics of one window
// (the "Paint" one and one the application keeps) share the pen, colour and
// font, as the port's owner expects.
#include "ui/drawing/graphics.h"

#include "objects/builtin_classes.h"
#include "objects/checked_cast.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "sdk/entry_graphics.h"
#include "ui/drawing/drawing_port.h"

namespace {

GraphicsObject* AsGraphics(ObjectRecord* g) { return reinterpret_cast<GraphicsObject*>(g); }

// A field of a Graphics; 0 for nil and for any other object.
int32_t Field(ObjectRecord* g, int32_t GraphicsObject::*field) {
  GraphicsObject* graphics = As<GraphicsObject>(g);
  return graphics ? graphics->*field : 0;
}

// Runs `change` on the port of `g`, when there is one.
template <typename Change>
void WithPort(ObjectRecord* g, Change change) {
  if (DrawingPort* port = GraphicsPort(g)) change(*port);
}

// What `read` finds in the port of `g`; a nil Graphics reads as T().
template <typename T, typename Read>
T FromPort(ObjectRecord* g, Read read) {
  DrawingPort* port = GraphicsPort(g);
  return port ? read(*port) : T();
}

}  // namespace

#define CODE(f) reinterpret_cast<CodeAddress>(&(f))

ObjectRecord* NewGraphics(DrawingPort* port, int32_t originX, int32_t originY, int32_t width,
                          int32_t height) {
  if (!port) return nullptr;
  ObjectRecord* object = NewObjectOfClass(FindBuiltInClass("Graphics"));
  if (!object) return nullptr;
  GraphicsObject* g = AsGraphics(object);
  port->AddRef();
  g->port = port;
  g->originX = originX, g->originY = originY;
  g->width = width, g->height = height;
  return object;
}

DrawingPort* GraphicsPort(ObjectRecord* graphics) {
  GraphicsObject* g = As<GraphicsObject>(graphics);
  return g ? g->port : nullptr;
}

void __cdecl GraphicsConstruct(ObjectRecord* object, ClassRecord*) {
  GraphicsObject* g = AsGraphics(object);
  g->copies = g->firstPage = g->lastPage = 1;
}

void __cdecl GraphicsDestruct(ObjectRecord* object, ClassRecord*) {
  GraphicsObject* g = AsGraphics(object);
  DrawingPort* port = g->port;
  g->port = nullptr;
  if (port) port->Release();
}

extern "C" {

uint32_t graphicsForeColorGetter(ObjectRecord* g, uint32_t) {
  return FromPort<uint32_t>(g, [](DrawingPort& p) { return NarrowColour(p.ForeColour()); });
}
void graphicsForeColorSetter(ObjectRecord* g, uint32_t, uint32_t colour) {
  WithPort(g, [&](DrawingPort& p) { p.SetForeColour(WidenColour(colour)); });
}

int32_t graphicsWidthGetter(ObjectRecord* g, uint32_t) { return Field(g, &GraphicsObject::width); }
int32_t graphicsHeightGetter(ObjectRecord* g, uint32_t) { return Field(g, &GraphicsObject::height); }

// A nil Graphics has no font: its name reads as the empty string.
StringRecord* graphicsTextFontGetter(ObjectRecord* g, uint32_t) {
  DrawingPort* port = GraphicsPort(g);
  return NewString(port ? std::string_view(port->FontName()) : std::string_view());
}
void graphicsTextFontSetter(ObjectRecord* g, uint32_t, StringRecord* name) {
  WithPort(g, [&](DrawingPort& p) { p.SetFontName(StringView(name)); });
}

int32_t graphicsTextSizeGetter(ObjectRecord* g, uint32_t) {
  return FromPort<int32_t>(g, [](DrawingPort& p) { return p.FontSize(); });
}
void graphicsTextSizeSetter(ObjectRecord* g, uint32_t, int32_t size) {
  WithPort(g, [&](DrawingPort& p) { p.SetFontSize(size); });
}

bool graphicsBoldGetter(ObjectRecord* g, uint32_t) {
  return FromPort<bool>(g, [](DrawingPort& p) { return p.Bold(); });
}
void graphicsBoldSetter(ObjectRecord* g, uint32_t, bool on) {
  WithPort(g, [&](DrawingPort& p) { p.SetBold(on); });
}
bool graphicsItalicGetter(ObjectRecord* g, uint32_t) {
  return FromPort<bool>(g, [](DrawingPort& p) { return p.Italic(); });
}
void graphicsItalicSetter(ObjectRecord* g, uint32_t, bool on) {
  WithPort(g, [&](DrawingPort& p) { p.SetItalic(on); });
}
bool graphicsUnderlineGetter(ObjectRecord* g, uint32_t) {
  return FromPort<bool>(g, [](DrawingPort& p) { return p.Underline(); });
}
void graphicsUnderlineSetter(ObjectRecord* g, uint32_t, bool on) {
  WithPort(g, [&](DrawingPort& p) { p.SetUnderline(on); });
}

int32_t graphicsPenWidthGetter(ObjectRecord* g, uint32_t) {
  return FromPort<int32_t>(g, [](DrawingPort& p) { return p.PenWidth(); });
}
void graphicsPenWidthSetter(ObjectRecord* g, uint32_t, int32_t width) {
  WithPort(g, [&](DrawingPort& p) { p.SetPenWidth(width); });
}
int32_t graphicsPenHeightGetter(ObjectRecord* g, uint32_t) {
  return FromPort<int32_t>(g, [](DrawingPort& p) { return p.PenHeight(); });
}
void graphicsPenHeightSetter(ObjectRecord* g, uint32_t, int32_t height) {
  WithPort(g, [&](DrawingPort& p) { p.SetPenHeight(height); });
}

int32_t graphicsCopiesGetter(ObjectRecord* g, uint32_t) { return Field(g, &GraphicsObject::copies); }
int32_t graphicsFirstPageGetter(ObjectRecord* g, uint32_t) {
  return Field(g, &GraphicsObject::firstPage);
}
int32_t graphicsLastPageGetter(ObjectRecord* g, uint32_t) {
  return Field(g, &GraphicsObject::lastPage);
}

}  // extern "C"

const PropertyEntry kGraphicsProperties[] = {
    {"", "ForeColor", "Color", CODE(graphicsForeColorGetter), CODE(graphicsForeColorSetter), 0},
    {"", "Width", "Integer", CODE(graphicsWidthGetter), nullptr, 0},
    {"", "Height", "Integer", CODE(graphicsHeightGetter), nullptr, 0},
    {"", "TextFont", "String", CODE(graphicsTextFontGetter), CODE(graphicsTextFontSetter), 0},
    {"", "TextSize", "Integer", CODE(graphicsTextSizeGetter), CODE(graphicsTextSizeSetter), 0},
    {"", "Bold", "Boolean", CODE(graphicsBoldGetter), CODE(graphicsBoldSetter), 0},
    {"", "Italic", "Boolean", CODE(graphicsItalicGetter), CODE(graphicsItalicSetter), 0},
    {"", "Underline", "Boolean", CODE(graphicsUnderlineGetter), CODE(graphicsUnderlineSetter), 0},
    {"", "PenWidth", "Integer", CODE(graphicsPenWidthGetter), CODE(graphicsPenWidthSetter), 0},
    {"", "PenHeight", "Integer", CODE(graphicsPenHeightGetter), CODE(graphicsPenHeightSetter), 0},
    {"", "Copies", "Integer", CODE(graphicsCopiesGetter), nullptr, 0},
    {"", "FirstPage", "Integer", CODE(graphicsFirstPageGetter), nullptr, 0},
    {"", "LastPage", "Integer", CODE(graphicsLastPageGetter), nullptr, 0},
};
const uint32_t kGraphicsPropertyCount = sizeof kGraphicsProperties / sizeof kGraphicsProperties[0];
