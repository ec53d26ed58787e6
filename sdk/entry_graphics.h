// Entry points of the message box, the beep and drawing through a Graphics,
// as application code and plug-ins call them; included by sdk/vellory.h.
// Colours are 0x00RRGGBB (RuntimeRGB and readColor* are in entry_numbers.h).
// Coordinates are the Graphics' own: they are offset by its origin before
// they reach the drawing port. A nil Graphics draws nothing and measures 0.
#pragma once
#include <stdint.h>

#include "sdk/class_records.h"
#include "sdk/runtime_records.h"

extern "C" {

// The modal message box (one OK button); returns when the user closed it.
void RuntimeMsgBox(StringRecord* text);
// A modal question with the message box's caption and owner: the text,
// word-wrapped, above one push button per entry of `buttons` (entries
// separated by carriage returns; a final one adds no empty button), left to
// right in that order, the first the default; one "OK" button when there
// are none. Returns the 1-based number of the button pressed, 0 when the
// box was closed with Escape or its close box (or could not be shown).
int32_t RuntimeAskQuestion(StringRecord* text, StringRecord* buttons);
void RuntimeBeep();

// Lines and shapes: rectangles span (x, y) to (x + w, y + h).
void RuntimeGraphicsDrawLine(ObjectRecord* g, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void RuntimeGraphicsDrawRect(ObjectRecord* g, int32_t x, int32_t y, int32_t w, int32_t h);
void RuntimeGraphicsFillRect(ObjectRecord* g, int32_t x, int32_t y, int32_t w, int32_t h);
void RuntimeGraphicsClearRect(ObjectRecord* g, int32_t x, int32_t y, int32_t w, int32_t h);
void RuntimeGraphicsDrawOval(ObjectRecord* g, int32_t x, int32_t y, int32_t w, int32_t h);
void RuntimeGraphicsFillOval(ObjectRecord* g, int32_t x, int32_t y, int32_t w, int32_t h);
void RuntimeGraphicsDrawRoundRect(ObjectRecord* g, int32_t x, int32_t y, int32_t w, int32_t h,
                                  int32_t ovalWidth, int32_t ovalHeight);
void RuntimeGraphicsFillRoundRect(ObjectRecord* g, int32_t x, int32_t y, int32_t w, int32_t h,
                                  int32_t ovalWidth, int32_t ovalHeight);

// Text: the first baseline at y; wrapWidth > 0 wraps the text at words into
// that width. Nil text draws nothing and measures 0.
void RuntimeGraphicsDrawString(ObjectRecord* g, StringRecord* text, int32_t x, int32_t y,
                               int32_t wrapWidth);
int32_t RuntimeGraphicsStringWidth(ObjectRecord* g, StringRecord* text);
int32_t RuntimeGraphicsTextHeight(ObjectRecord* g);
int32_t RuntimeGraphicsTextAscent(ObjectRecord* g);

// A Picture drawn at (x, y) at width x height, from the part of it at
// (sourceX, sourceY) of sourceWidth x sourceHeight. A negative width or
// height (destination or source) stands for the picture's own.
void RuntimeGraphicsDrawPicture(ObjectRecord* g, ObjectRecord* picture, int32_t x, int32_t y,
                                int32_t width, int32_t height, int32_t sourceX, int32_t sourceY,
                                int32_t sourceWidth, int32_t sourceHeight);

uint32_t graphicsPixelGetter(ObjectRecord* g, int32_t x, int32_t y);
void graphicsPixelSetter(ObjectRecord* g, int32_t x, int32_t y, uint32_t colour);
// This platform has no standard alert icons: these draw nothing.
void graphicsDrawStopIcon(ObjectRecord* g, int32_t x, int32_t y);
void graphicsDrawNoteIcon(ObjectRecord* g, int32_t x, int32_t y);
void graphicsDrawCautionIcon(ObjectRecord* g, int32_t x, int32_t y);
// Printing: the next page of a print job; nothing for drawing on screen.
void RuntimeGraphicsNextPage(ObjectRecord* g);

// Properties: getter(g, param), setter(g, param, value).
uint32_t graphicsForeColorGetter(ObjectRecord* g, uint32_t param);
void graphicsForeColorSetter(ObjectRecord* g, uint32_t param, uint32_t colour);
int32_t graphicsWidthGetter(ObjectRecord* g, uint32_t param);
int32_t graphicsHeightGetter(ObjectRecord* g, uint32_t param);
StringRecord* graphicsTextFontGetter(ObjectRecord* g, uint32_t param);
void graphicsTextFontSetter(ObjectRecord* g, uint32_t param, StringRecord* name);
int32_t graphicsTextSizeGetter(ObjectRecord* g, uint32_t param);
void graphicsTextSizeSetter(ObjectRecord* g, uint32_t param, int32_t size);
bool graphicsBoldGetter(ObjectRecord* g, uint32_t param);
void graphicsBoldSetter(ObjectRecord* g, uint32_t param, bool on);
bool graphicsItalicGetter(ObjectRecord* g, uint32_t param);
void graphicsItalicSetter(ObjectRecord* g, uint32_t param, bool on);
bool graphicsUnderlineGetter(ObjectRecord* g, uint32_t param);
void graphicsUnderlineSetter(ObjectRecord* g, uint32_t param, bool on);
int32_t graphicsPenWidthGetter(ObjectRecord* g, uint32_t param);
void graphicsPenWidthSetter(ObjectRecord* g, uint32_t param, int32_t width);
int32_t graphicsPenHeightGetter(ObjectRecord* g, uint32_t param);
void graphicsPenHeightSetter(ObjectRecord* g, uint32_t param, int32_t height);
int32_t graphicsCopiesGetter(ObjectRecord* g, uint32_t param);
int32_t graphicsFirstPageGetter(ObjectRecord* g, uint32_t param);
int32_t graphicsLastPageGetter(ObjectRecord* g, uint32_t param);

// A Graphics for drawing into a window's content area outside "Paint" (what
// it draws lasts until the window is next painted); nil for a closed window.
ObjectRecord* windowGraphicsGetter(ObjectRecord* window, uint32_t param);

}  // extern "C"
