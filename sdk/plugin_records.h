// The records a plug-in library builds in its own memory and hands to the
// runtime through the registration services. The runtime keeps pointers into
// them and writes a few words back (the data offset, each event's
// declaration), so their layouts are fixed and pinned here. The plug-in
// library is built against this same header.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Accessor words of a property definition: -1 asks for the runtime's default
// field accessor, 0 for none.
#define ZORB_DEFAULT_ACCESSOR ((uint32_t)0xFFFFFFFFu)

// Flags of a control definition.
enum {
  kPluginControlRedraws = 1u << 0,       // default setters redraw; the pane takes focus
  kPluginControlAltPane = 1u << 2,       // the pane comes from the alternative constructor
  kPluginControlOwnUpdateRect = 1u << 3, // the pane answers its own update rectangle
  kPluginControlNoRuntimeUse = 1u << 4,
};

// Flag bit of a property definition: the default setter redraws.
enum { kPluginPropertyRedraws = 1u << 0 };

struct PluginPropertyDefinition {
  const char* group;
  const char* name;
  const char* type;
  uint32_t flags;
  uint32_t getter;  // routine, ZORB_DEFAULT_ACCESSOR or 0
  uint32_t setter;  // routine, ZORB_DEFAULT_ACCESSOR or 0
  uint32_t param;   // default accessors: byte offset inside the plug-in data
  uint32_t reserved;
  uint32_t enumerationCount;
  const char* const* enumerationNames;
};

struct PluginMethodDefinition {
  void* routine;        // called with the instance first, then the arguments
  void* assignRoutine;  // instance, arguments, value; 0 = none
  const char* declaration;
};

struct PluginEventDefinition {
  const char* declaration;
  void* declarationRecord;  // filled by the runtime at registration
};

// The routines the control's pane calls; null slots are skipped. Slots past
// kPluginSlotPaneQuery are the plug-in's own.
enum PluginBehaviourSlot {
  kPluginSlotConstruct = 0,
  kPluginSlotDestroy = 1,
  kPluginSlotDraw = 2,
  kPluginSlotMouseDown = 3,
  kPluginSlotMouseDrag = 4,
  kPluginSlotMouseUp = 5,
  kPluginSlotNotifyA = 6,
  kPluginSlotNotifyB = 7,
  kPluginSlotKey = 8,
  kPluginSlotPaneCreated = 9,
  kPluginSlotPaneClosing = 10,
  kPluginSlotPeriodic = 11,
  kPluginSlotDrawInto = 12,
  kPluginSlotPaneQuery = 13,
  kPluginBehaviourSlots = 25
};
struct PluginBehaviour {
  void* slot[kPluginBehaviourSlots];
};

struct PluginInterfacePair {
  const char* name;
  uint32_t index;
};

// A control definition, version 4 (version 3 reads the same).
struct PluginControlDefinition {
  uint32_t version;
  const char* name;
  uint32_t dataSize;
  uint32_t flags;
  uint32_t pictureIds[2];
  uint32_t defaultWidth;
  uint32_t defaultHeight;
  PluginPropertyDefinition* properties;
  uint32_t propertyCount;
  PluginMethodDefinition* methods;
  uint32_t methodCount;
  PluginEventDefinition* events;
  uint32_t eventCount;
  PluginBehaviour* behaviour;
  uint32_t dataOffset;  // written by the runtime: where the plug-in data starts
  PluginInterfacePair* interfaces;
  uint32_t interfaceCount;
  const char* interfaceNames;  // "a,b,c"
  void* further;
  uint32_t furtherCount;
};

// A version 1 control definition and its smaller property and method rows;
// the runtime converts it to version 4 when it registers it.
struct PluginPropertyDefinitionV1 {
  const char* group;
  const char* name;
  const char* type;
  uint32_t flags;
  uint32_t param;
};
struct PluginMethodDefinitionV1 {
  uint32_t exportIndex;  // index into the plug-in's export table
  const char* declaration;
};
struct PluginControlDefinitionV1 {
  uint32_t version;
  const char* name;
  uint32_t dataSize;
  uint32_t flags;
  uint32_t pictureIds[2];
  PluginPropertyDefinitionV1* properties;
  uint32_t propertyCount;
  PluginMethodDefinitionV1* methods;
  uint32_t methodCount;
  PluginEventDefinition* events;
  uint32_t eventCount;
  PluginBehaviour* behaviour;
  uint32_t dataOffset;
};

// An entry of the export table RegisterPluginExports hands over.
struct PluginExportEntry {
  uint32_t reserved0;
  void* routine;
  uint32_t reserved1;
};

// A plain class (PluginRegisterClass) or additions to an existing class
// (PluginRegisterClassExtension).
struct PluginClassDefinition {
  uint32_t version;
  const char* name;
  uint32_t dataSize;
  uint32_t reserved[2];
  void* constructor;  // (instance); 0 = none
  void* destructor;   // (instance); 0 = none
  PluginPropertyDefinition* properties;
  uint32_t propertyCount;
  PluginMethodDefinition* methods;
  uint32_t methodCount;
  void* constants;  // 8-byte entries
  uint32_t constantCount;
};

// A control's bounds as GetControlBounds fills them.
struct PluginRect {
  int16_t top, left, bottom, right;
};

// What lockPictureDescription fills in for a plug-in: the picture
// (borrowed: the plug-in keeps its own reference), its bitmap, its size.
struct PluginPictureDescription {
  void* picture;
  void* bitmap;
  int32_t width;
  int32_t height;
};

// The runtime's lookup routine: entry point name -> function, or null.
typedef void* (*PluginLookupRoutine)(const char* name);

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(PluginPropertyDefinition) == 40, "property definition");
static_assert(offsetof(PluginPropertyDefinition, getter) == 16, "getter word");
static_assert(offsetof(PluginPropertyDefinition, param) == 24, "parameter word");
static_assert(sizeof(PluginMethodDefinition) == 12, "method definition");
static_assert(sizeof(PluginEventDefinition) == 8, "event definition");
static_assert(sizeof(PluginBehaviour) == 25 * 4, "behaviour table");
static_assert(sizeof(PluginControlDefinition) == 21 * 4, "control definition v4");
static_assert(offsetof(PluginControlDefinition, properties) == 8 * 4, "properties word");
static_assert(offsetof(PluginControlDefinition, behaviour) == 14 * 4, "behaviour word");
static_assert(offsetof(PluginControlDefinition, dataOffset) == 15 * 4, "data offset word");
static_assert(offsetof(PluginControlDefinition, interfaceNames) == 18 * 4, "interface names");
static_assert(sizeof(PluginControlDefinitionV1) == 14 * 4, "control definition v1");
static_assert(offsetof(PluginControlDefinitionV1, properties) == 6 * 4, "v1 properties");
static_assert(offsetof(PluginControlDefinitionV1, events) == 10 * 4, "v1 events");
static_assert(offsetof(PluginControlDefinitionV1, dataOffset) == 13 * 4, "v1 data offset");
static_assert(sizeof(PluginExportEntry) == 12, "export entry");
static_assert(offsetof(PluginClassDefinition, constructor) == 5 * 4, "class constructor");
static_assert(offsetof(PluginClassDefinition, properties) == 7 * 4, "class properties");
static_assert(offsetof(PluginClassDefinition, constants) == 11 * 4, "class constants");
static_assert(sizeof(PluginRect) == 8, "bounds");
static_assert(sizeof(PluginPictureDescription) == 16, "picture description");
static_assert(offsetof(PluginPictureDescription, width) == 8, "picture width");
static_assert(offsetof(PluginPictureDescription, height) == 12, "picture height");
#endif
