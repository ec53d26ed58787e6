// The records this library hands to the runtime and the shapes of the
// runtime's services that it calls. The runtime keeps pointers into these
// records for the life of the process, so their layout is the interface:
// every field is a 32-bit word on the 32-bit target, checked below.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "sdk/builtin_class_layout.h"

using PlugInstance = uint8_t*;  // the object record; plug-in data at +92
using PlugString = void*;       // a runtime string value (null = empty)
using PlugObject = void*;       // a runtime object (a picture, a receiver)

constexpr int32_t kDefaultAccessor = -1;
// A property's getter or setter word asking for the runtime's accessor.
inline void* const kField = reinterpret_cast<void*>(kDefaultAccessor);

struct PropertyDefinition {
  const char* group;
  const char* name;
  const char* type;
  uint32_t flags;  // bit 0: the default setter redraws
  void* getter;    // kDefaultAccessor, 0, or a routine
  void* setter;
  uint32_t parameter;  // byte offset inside the plug-in data
  uint32_t reserved;
  uint32_t enumerationCount;
  const char* const* enumerationNames;
};

struct MethodDefinition {
  void* routine;
  void* assignment;
  const char* declaration;
};

struct EventDefinition {
  const char* declaration;
  void* record;  // filled by the runtime at registration
};

// Slots the runtime calls; 14 to 24 are this library's own.
enum BehaviourSlot {
  kSlotConstruct = 0,
  kSlotDestroy = 1,
  kSlotDraw = 2,
  kSlotMouseDown = 3,
  kSlotMouseDrag = 4,
  kSlotMouseUp = 5,
  kSlotPaneClose = 10,
  kSlotPeriodic = 11,
  kSlotDrawInto = 12,
  kSlotRedraw = 14,
  kSlotResetFont = 15,
  kBehaviourSlots = 25,
};

struct BehaviourTable {
  void* slot[kBehaviourSlots];
};

struct ControlDefinition {
  uint32_t version;
  const char* name;
  uint32_t dataSize;
  uint32_t flags;
  uint32_t pictureIds[2];
  uint32_t defaultWidth;
  uint32_t defaultHeight;
  const PropertyDefinition* properties;
  uint32_t propertyCount;
  const MethodDefinition* methods;
  uint32_t methodCount;
  EventDefinition* events;
  uint32_t eventCount;
  const BehaviourTable* behaviour;
  uint32_t dataOffset;  // written by the runtime: 92
  const void* interfaces;
  uint32_t interfaceCount;
  const char* interfaceNames;
  const void* further;
  uint32_t furtherCount;
};

// Control bounds as the runtime hands them out.
struct ControlBounds16 {
  int16_t top, left, bottom, right;
};

// Filled by lockPictureDescription.
struct PictureDescription {
  uint32_t reserved[2];
  int32_t width;
  int32_t height;
};

constexpr uint32_t kPluginDataOffset = kPluginControlDataOffset;
constexpr uint32_t kControlDefinitionVersion = 4;

// Control definition flags.
constexpr uint32_t kFlagRedrawAndFocus = 1u << 0;
constexpr uint32_t kFlagAlternativePane = 1u << 2;
constexpr uint32_t kFlagOwnUpdateRect = 1u << 3;
constexpr uint32_t kFlagDesignOnly = 1u << 4;

using LookupRoutine = void*(__cdecl*)(const char* name);

static_assert(sizeof(PropertyDefinition) == 40);
static_assert(offsetof(PropertyDefinition, getter) == 16);
static_assert(offsetof(PropertyDefinition, parameter) == 24);
static_assert(offsetof(PropertyDefinition, enumerationNames) == 36);
static_assert(sizeof(MethodDefinition) == 12);
static_assert(sizeof(EventDefinition) == 8);
static_assert(sizeof(BehaviourTable) == 100);
static_assert(sizeof(ControlDefinition) == 21 * 4);
static_assert(offsetof(ControlDefinition, properties) == 8 * 4);
static_assert(offsetof(ControlDefinition, events) == 12 * 4);
static_assert(offsetof(ControlDefinition, behaviour) == 14 * 4);
static_assert(offsetof(ControlDefinition, dataOffset) == 15 * 4);
static_assert(offsetof(ControlDefinition, interfaceNames) == 18 * 4);
static_assert(sizeof(ControlBounds16) == 8);
static_assert(sizeof(PictureDescription) == 16);
