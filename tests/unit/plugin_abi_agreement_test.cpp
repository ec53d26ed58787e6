// The plug-in library's own view of the records it shares with the runtime
// must describe the same bytes: a drift fails here, at compile time.
#include <cstddef>

#include "plugin_library/plugin_abi.h"
#include "sdk/builtin_class_layout.h"
#include "sdk/plugin_records.h"

namespace {

#define SAME_FIELD(Lib, Run, lf, rf) static_assert(offsetof(Lib, lf) == offsetof(Run, rf), #lf)

static_assert(sizeof(ControlDefinition) == sizeof(PluginControlDefinition));
SAME_FIELD(ControlDefinition, PluginControlDefinition, version, version);
SAME_FIELD(ControlDefinition, PluginControlDefinition, dataSize, dataSize);
SAME_FIELD(ControlDefinition, PluginControlDefinition, properties, properties);
SAME_FIELD(ControlDefinition, PluginControlDefinition, propertyCount, propertyCount);
SAME_FIELD(ControlDefinition, PluginControlDefinition, events, events);
SAME_FIELD(ControlDefinition, PluginControlDefinition, eventCount, eventCount);
SAME_FIELD(ControlDefinition, PluginControlDefinition, behaviour, behaviour);
SAME_FIELD(ControlDefinition, PluginControlDefinition, dataOffset, dataOffset);
SAME_FIELD(ControlDefinition, PluginControlDefinition, interfaces, interfaces);
SAME_FIELD(ControlDefinition, PluginControlDefinition, furtherCount, furtherCount);
// The library writes the version the runtime reads as the current one
// (version 4 definitions get their interfaces).
static_assert(kControlDefinitionVersion == 4);
static_assert(sizeof(PropertyDefinition) == sizeof(PluginPropertyDefinition));
SAME_FIELD(PropertyDefinition, PluginPropertyDefinition, getter, getter);
SAME_FIELD(PropertyDefinition, PluginPropertyDefinition, setter, setter);
static_assert(sizeof(MethodDefinition) == sizeof(PluginMethodDefinition));
static_assert(sizeof(EventDefinition) == sizeof(PluginEventDefinition));
static_assert(sizeof(BehaviourTable) == sizeof(PluginBehaviour));
static_assert(sizeof(PictureDescription) == sizeof(PluginPictureDescription));
SAME_FIELD(PictureDescription, PluginPictureDescription, width, width);
static_assert(sizeof(ControlBounds16) == sizeof(PluginRect));

#undef SAME_FIELD

}  // namespace
