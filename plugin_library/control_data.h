// The plug-in data of each control inside its instance. The offsets are part
// of the interface: the property definitions hand them to the runtime's
// default field accessors.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "plugin_library/plugin_abi.h"

struct MenuRow {
  MenuRow* next;
  PlugString text;
  uint32_t separator;
};

struct ReceiverNode {
  ReceiverNode* next;
  PlugObject receiver;
};

struct BevelButtonData {
  PlugString caption;
  uint32_t unused4;
  int32_t hasMenu;  // 0 none, 1 below, 2 to the right
  uint32_t unused12;
  int32_t iconAlign;
  int32_t captionAlign;
  int32_t captionPlacement;
  int16_t menuValue;
  uint8_t value;
  uint8_t unused31;
  MenuRow* rows;
  PlugString textFont;
  int32_t textSize;
  uint8_t bold, italic, underline, unused47;
  PictureDescription iconDescription;
  PlugObject icon;
  int32_t iconDX, iconDY;
  int32_t captionDelta;
  int32_t bevel;  // rings - 1
  uint32_t unused84[3];
  int32_t buttonType;  // 0 push, 1 toggle, 2 sticky
  ReceiverNode* receivers;
  uint8_t pressed;
  uint8_t unused105[3];
};

struct DisclosureTriangleData {
  uint8_t value;
  uint8_t unused1[3];
  int32_t facing;
  uint32_t unused8;
};

struct LittleArrowsData {
  int32_t pressedPart;  // 0 none, 1 up, 2 down
  int32_t drawnPart;
  int32_t pressTime;  // 16 ms units
};

struct ChasingArrowsData {
  int32_t frame;
};

struct ImageWellData {
  PictureDescription description;
  PlugObject image;
};

struct PopupArrowData {
  int32_t facing;
  uint32_t unused4;
};

struct PlacardData {
  uint8_t value;
};

// The control's data inside `instance`, at the offset the runtime wrote
// into its definition.
template <typename T>
T* DataOf(PlugInstance instance, const ControlDefinition& definition) {
  uint32_t offset = definition.dataOffset ? definition.dataOffset : kPluginDataOffset;
  return reinterpret_cast<T*>(instance + offset);
}

static_assert(sizeof(BevelButtonData) == 108);
static_assert(offsetof(BevelButtonData, hasMenu) == 8);
static_assert(offsetof(BevelButtonData, iconAlign) == 16);
static_assert(offsetof(BevelButtonData, captionPlacement) == 24);
static_assert(offsetof(BevelButtonData, menuValue) == 28);
static_assert(offsetof(BevelButtonData, value) == 30);
static_assert(offsetof(BevelButtonData, rows) == 32);
static_assert(offsetof(BevelButtonData, textFont) == 36);
static_assert(offsetof(BevelButtonData, textSize) == 40);
static_assert(offsetof(BevelButtonData, bold) == 44);
static_assert(offsetof(BevelButtonData, underline) == 46);
static_assert(offsetof(BevelButtonData, iconDescription) == 48);
static_assert(offsetof(BevelButtonData, icon) == 64);
static_assert(offsetof(BevelButtonData, iconDX) == 68);
static_assert(offsetof(BevelButtonData, captionDelta) == 76);
static_assert(offsetof(BevelButtonData, bevel) == 80);
static_assert(offsetof(BevelButtonData, buttonType) == 96);
static_assert(offsetof(BevelButtonData, receivers) == 100);
static_assert(offsetof(BevelButtonData, pressed) == 104);
static_assert(sizeof(DisclosureTriangleData) == 12);
static_assert(offsetof(DisclosureTriangleData, facing) == 4);
static_assert(sizeof(LittleArrowsData) == 12);
static_assert(sizeof(ImageWellData) == 20);
static_assert(offsetof(ImageWellData, image) == 16);
static_assert(sizeof(PopupArrowData) == 8);
