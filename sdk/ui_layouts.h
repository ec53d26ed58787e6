// The fields of the runtime's Window, Control, RectControl and Timer objects
// after the object header. Compiled code and plug-ins address these fields at
// fixed offsets, so the layouts are pinned here once; the class sizes in
// sdk/builtin_class_layout.h are the sizes of these structs.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "sdk/runtime_records.h"

struct ShortRect {  // top, left, bottom, right
  int16_t top, left, bottom, right;
};

struct NativeWindow;
struct ControlDictionary;
class Pane;

struct WindowObject {
  ObjectRecord header;
  uint8_t visible, closeBox, growIcon, zoomIcon;
  NativeWindow* native;
  ShortRect bounds;      // content area, screen coordinates
  ShortRect lastBounds;  // at the last resize processing
  StringRecord* title;
  ObjectRecord* backdrop;
  int32_t frame;
  int32_t placement;
  uint32_t backColor;
  int16_t minWidth, minHeight, maxWidth, maxHeight;
  ObjectRecord* mouseCursor;
  StringRecord* balloonHelp;
  uint8_t hasBackColor;
  StringRecord* floaterProcess;
  int32_t macProcId;
  ControlDictionary* controls;
};

struct ControlObject {
  ObjectRecord header;
  ObjectRecord* window;
  StringRecord* name;
  int32_t index;  // INT32_MIN: not a control-array element
};

struct RectControlObject {
  ControlObject control;
  Pane* pane;
  int32_t tabPanelIndex;
  uint8_t visible, enabled;
  uint8_t lockLeft, lockTop, lockRight, lockBottom;
  ShortRect bounds;  // window content coordinates
  ObjectRecord* mouseCursor;
  StringRecord* balloonHelp;
  StringRecord* disabledBalloonHelp;
};

struct TimerObject {
  ControlObject control;
  int16_t mode;  // 0 off, 1 single, 2 multiple
  int32_t period;
  uint32_t lastFireTime;
  TimerObject* next;
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(WindowObject, visible) == 24);
static_assert(offsetof(WindowObject, native) == 28);
static_assert(offsetof(WindowObject, bounds) == 32);
static_assert(offsetof(WindowObject, lastBounds) == 40);
static_assert(offsetof(WindowObject, title) == 48);
static_assert(offsetof(WindowObject, frame) == 56);
static_assert(offsetof(WindowObject, minWidth) == 68);
static_assert(offsetof(WindowObject, mouseCursor) == 76);
static_assert(offsetof(WindowObject, hasBackColor) == 84);
static_assert(offsetof(WindowObject, controls) == 96);
static_assert(sizeof(WindowObject) == 100);
static_assert(offsetof(ControlObject, window) == 24);
static_assert(offsetof(ControlObject, index) == 32);
static_assert(sizeof(ControlObject) == 36);
static_assert(offsetof(RectControlObject, pane) == 36);
static_assert(offsetof(RectControlObject, visible) == 44);
static_assert(offsetof(RectControlObject, lockBottom) == 49);
static_assert(offsetof(RectControlObject, bounds) == 50);
static_assert(offsetof(RectControlObject, mouseCursor) == 60);
static_assert(sizeof(RectControlObject) == 72);
static_assert(offsetof(TimerObject, mode) == 36);
static_assert(offsetof(TimerObject, period) == 40);
static_assert(offsetof(TimerObject, next) == 48);
static_assert(sizeof(TimerObject) == 52);
#endif

// A picture: the value its project item stores, the stored pixel description
// (16 bits per pixel, 0x7FFF white) and the bitmap made from it.
struct PictureObject {
  ObjectRecord header;
  uint32_t value;
  const uint32_t* description;  // bits per pixel, width, height, byte count, pixels
  void* bitmap;                 // HBITMAP, owned
  int32_t width, height;
};
#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(PictureObject, bitmap) == 32);
static_assert(sizeof(PictureObject) == 44);
#endif

// A menu item. The "shown" bytes are the states last given to the Win32
// menu, so that the enabling cycle calls Win32 only for changes.
struct RuntimeMenu;
struct MenuItemObject {
  ObjectRecord header;
  StringRecord* name;
  StringRecord* text;
  StringRecord* balloonHelp;
  StringRecord* disabledBalloonHelp;
  int32_t index;  // INT32_MIN: not an element of a menu item array
  StringRecord* tag;
  RuntimeMenu* menu;  // null once the item was closed
  int32_t position;   // in its Win32 menu, as of the last apply
  StringRecord* commandKey;
  uint8_t enabled, enabledShown;
  uint8_t checked, checkedShown;
  uint8_t visible, inserted;
  uint32_t commandId;  // 0: none (every identifier was taken)
};
#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(MenuItemObject, name) == 24);
static_assert(offsetof(MenuItemObject, index) == 40);
static_assert(offsetof(MenuItemObject, tag) == 44);
static_assert(offsetof(MenuItemObject, menu) == 48);
static_assert(offsetof(MenuItemObject, position) == 52);
static_assert(offsetof(MenuItemObject, commandKey) == 56);
static_assert(offsetof(MenuItemObject, enabled) == 60);
static_assert(offsetof(MenuItemObject, checked) == 62);
static_assert(offsetof(MenuItemObject, visible) == 64);
static_assert(offsetof(MenuItemObject, inserted) == 65);
static_assert(offsetof(MenuItemObject, commandId) == 68);
static_assert(sizeof(MenuItemObject) == 72);
#endif
