// Entry points of the runtime's user interface (windows), as application code and
// plug-ins call them; included by sdk/vellory.h.
#pragma once
#include <stdint.h>

#include "sdk/class_records.h"
#include "sdk/runtime_records.h"

extern "C" {

// A window from its stored description (a byte count, then the stream); the
// new Window goes into *slot (when given) before any handler runs. Nil when
// no native window resulted.
ObjectRecord* RuntimeCreateWindow(const uint8_t* description, ObjectRecord** slot);
void RuntimeShowWindow(ObjectRecord* window);
void RuntimeHideWindow(ObjectRecord* window);
void RuntimeShowModal(ObjectRecord* window);
void RuntimeCloseWindow(ObjectRecord* window);
// The control at `index` in creation order (the caller owns the reference).
ObjectRecord* windowControl(ObjectRecord* window, int32_t index);
int32_t windowControlCountGetter(ObjectRecord* window, uint32_t param);

// Window properties: getter(window, param), setter(window, param, value).
bool WindowVisibleGetter(ObjectRecord* window, uint32_t param);
void WindowVisibleSetter(ObjectRecord* window, uint32_t param, bool visible);
// param 0 Left, 1 Top, 2 Width, 3 Height
int32_t windowPosGetter(ObjectRecord* window, uint32_t param);
void windowPosSetter(ObjectRecord* window, uint32_t param, int32_t value);
int32_t windowPlacementGetter(ObjectRecord* window, uint32_t param);
void windowPlacementSetter(ObjectRecord* window, uint32_t param, int32_t value);
StringRecord* windowTitleGetter(ObjectRecord* window, uint32_t param);
void windowTitleSetter(ObjectRecord* window, uint32_t param, StringRecord* title);
bool windowCloseBoxGetter(ObjectRecord* window, uint32_t param);
void windowCloseBoxSetter(ObjectRecord* window, uint32_t param, bool on);
bool windowGrowIconGetter(ObjectRecord* window, uint32_t param);
void windowGrowIconSetter(ObjectRecord* window, uint32_t param, bool on);
bool windowZoomIconGetter(ObjectRecord* window, uint32_t param);
void windowZoomIconSetter(ObjectRecord* window, uint32_t param, bool on);
int32_t windowFrameGetter(ObjectRecord* window, uint32_t param);
void windowFrameSetter(ObjectRecord* window, uint32_t param, int32_t frame);
ObjectRecord* windowBackdropGetter(ObjectRecord* window, uint32_t param);
void windowBackdropSetter(ObjectRecord* window, uint32_t param, ObjectRecord* picture);
bool windowHasBackColorGetter(ObjectRecord* window, uint32_t param);
void windowHasBackColorSetter(ObjectRecord* window, uint32_t param, bool on);
uint32_t windowBackColorGetter(ObjectRecord* window, uint32_t param);
void windowBackColorSetter(ObjectRecord* window, uint32_t param, uint32_t color);
void windowBalloonHelpSetter(ObjectRecord* window, uint32_t param, StringRecord* help);
void formMouseCursorSetter(ObjectRecord* window, uint32_t param, ObjectRecord* cursor);
int32_t windowMouseXGetter(ObjectRecord* window, uint32_t param);
int32_t windowMouseYGetter(ObjectRecord* window, uint32_t param);
int32_t windowHWNDGetter(ObjectRecord* window, uint32_t param);
int32_t windowWindowPtrGetter(ObjectRecord* window, uint32_t param);

// Redrawing: the whole content area, or a rectangle of it.
void formRefresh(ObjectRecord* window);
void formRefreshRect(ObjectRecord* window, int32_t left, int32_t top, int32_t width, int32_t height);

}  // extern "C"
