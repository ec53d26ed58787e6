// The fields of the runtime's Window, Control, RectControl, Timer and control-kind objects
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

// The built-in control kinds: their fields follow RectControl's.
// Every kind carries the font its pane shows: TextFont (a designer's name;
// nil = the runtime's default font), TextSize (0 = the default size), Bold,
// Italic, Underline.
struct ControlFontFields {
  StringRecord* textFont;
  int32_t textSize;
  uint8_t bold, italic, underline;
  uint8_t reserved;
};

struct EditFieldObject {
  RectControlObject rect;
  StringRecord* text;
  uint8_t border, multiLine, scrollBar, readOnly;
  int32_t limitText;
  uint8_t password, styled, acceptTabs, liveUpdate;
  uint8_t useFocusRing;
  uint8_t reserved[3];
  uint32_t textColor;  // 0x00RRGGBB
  uint32_t backColor;
  ControlFontFields font;
};

// "Text" and "Caption" are the same field; TextSize is 16-bit here.
struct StaticTextObject {
  RectControlObject rect;
  StringRecord* text;
  int16_t textAlign;  // 0 left, 1 centre, 2 right
  int16_t textSize;
  uint32_t textColor;
  StringRecord* textFont;
  uint8_t bold, italic, underline, multiLine;
};

struct PushButtonObject {
  RectControlObject rect;
  StringRecord* caption;
  uint8_t isDefault, isCancel;
  uint8_t reserved[2];
  ControlFontFields font;
};

// "Value" and "State" are the same field.
struct CheckBoxObject {
  RectControlObject rect;
  StringRecord* caption;
  uint8_t value;
  uint8_t reserved[3];
  ControlFontFields font;
};

// The rows live in the pane; InitialValue only until the pane is made.
struct PopupMenuObject {
  RectControlObject rect;
  StringRecord* initialValue;
  ControlFontFields font;
};

struct GroupBoxObject {
  RectControlObject rect;
  StringRecord* caption;
  ControlFontFields font;
};

// Value: the 0-based tab to select while there is no pane (the pane's
// selection counts once it exists).
struct TabPanelObject {
  RectControlObject rect;
  StringRecord* tabDefinition;  // the titles, separated by zero bytes
  int32_t value;
  int32_t facing;
  uint8_t smallTabs;
  uint8_t reserved[3];
  ControlFontFields font;
};

struct ProgressBarObject {
  RectControlObject rect;
  int32_t value;
  int32_t maximum;  // <= 0: indeterminate
  ControlFontFields font;
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
static_assert(sizeof(ControlFontFields) == 12);
static_assert(offsetof(EditFieldObject, text) == 72);
static_assert(offsetof(EditFieldObject, border) == 76);
static_assert(offsetof(EditFieldObject, readOnly) == 79);
static_assert(offsetof(EditFieldObject, limitText) == 80);
static_assert(offsetof(EditFieldObject, password) == 84);
static_assert(offsetof(EditFieldObject, liveUpdate) == 87);
static_assert(offsetof(EditFieldObject, useFocusRing) == 88);
static_assert(offsetof(EditFieldObject, textColor) == 92);
static_assert(offsetof(EditFieldObject, backColor) == 96);
static_assert(offsetof(EditFieldObject, font) == 100);
static_assert(sizeof(EditFieldObject) == 112);
static_assert(offsetof(StaticTextObject, text) == 72);
static_assert(offsetof(StaticTextObject, textAlign) == 76);
static_assert(offsetof(StaticTextObject, textSize) == 78);
static_assert(offsetof(StaticTextObject, textColor) == 80);
static_assert(offsetof(StaticTextObject, textFont) == 84);
static_assert(offsetof(StaticTextObject, bold) == 88);
static_assert(offsetof(StaticTextObject, multiLine) == 91);
static_assert(sizeof(StaticTextObject) == 92);
static_assert(offsetof(PushButtonObject, caption) == 72);
static_assert(offsetof(PushButtonObject, isDefault) == 76);
static_assert(offsetof(PushButtonObject, isCancel) == 77);
static_assert(offsetof(PushButtonObject, font) == 80);
static_assert(sizeof(PushButtonObject) == 92);
static_assert(offsetof(CheckBoxObject, caption) == 72);
static_assert(offsetof(CheckBoxObject, value) == 76);
static_assert(offsetof(CheckBoxObject, font) == 80);
static_assert(sizeof(CheckBoxObject) == 92);
static_assert(offsetof(PopupMenuObject, initialValue) == 72);
static_assert(offsetof(PopupMenuObject, font) == 76);
static_assert(sizeof(PopupMenuObject) == 88);
static_assert(offsetof(GroupBoxObject, caption) == 72);
static_assert(offsetof(GroupBoxObject, font) == 76);
static_assert(sizeof(GroupBoxObject) == 88);
static_assert(offsetof(TabPanelObject, tabDefinition) == 72);
static_assert(offsetof(TabPanelObject, value) == 76);
static_assert(offsetof(TabPanelObject, facing) == 80);
static_assert(offsetof(TabPanelObject, smallTabs) == 84);
static_assert(offsetof(TabPanelObject, font) == 88);
static_assert(sizeof(TabPanelObject) == 100);
static_assert(offsetof(ProgressBarObject, value) == 72);
static_assert(offsetof(ProgressBarObject, maximum) == 76);
static_assert(offsetof(ProgressBarObject, font) == 80);
static_assert(sizeof(ProgressBarObject) == 92);
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

// A Graphics: a drawing port and where the drawn object's top-left corner
// lies in the port, so that the object draws in its own coordinates; its
// size for Width and Height, and the page numbers of a print job (1 for
// drawing on screen).
class DrawingPort;
struct GraphicsObject {
  ObjectRecord header;
  DrawingPort* port;  // one reference, or nil
  int32_t originX, originY;
  int32_t width, height;
  int32_t copies, firstPage, lastPage;
};
#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(GraphicsObject, port) == 24);
static_assert(offsetof(GraphicsObject, originX) == 28);
static_assert(offsetof(GraphicsObject, width) == 36);
static_assert(offsetof(GraphicsObject, copies) == 44);
static_assert(sizeof(GraphicsObject) == 56);
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
