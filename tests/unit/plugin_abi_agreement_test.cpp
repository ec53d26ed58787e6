// The plug-in library keeps its own view of the records it shares with the
// runtime (it links nothing of the program). Both views must describe the
// same bytes: a change to one that the other does not follow fails here, at
// compile time, rather than as a misread definition at start-up.
#include <gtest/gtest.h>

#include <cstddef>

#include "plugin_library/plugin_abi.h"
#include "sdk/builtin_class_layout.h"
#include "sdk/plugin_records.h"

namespace {

#define SAME_FIELD(Lib, Run, lf, rf) static_assert(offsetof(Lib, lf) == offsetof(Run, rf), #lf)

static_assert(sizeof(ControlDefinition) == sizeof(PluginControlDefinition));
SAME_FIELD(ControlDefinition, PluginControlDefinition, dataSize, dataSize);
SAME_FIELD(ControlDefinition, PluginControlDefinition, properties, properties);
SAME_FIELD(ControlDefinition, PluginControlDefinition, events, events);
SAME_FIELD(ControlDefinition, PluginControlDefinition, behaviour, behaviour);
SAME_FIELD(ControlDefinition, PluginControlDefinition, dataOffset, dataOffset);
SAME_FIELD(ControlDefinition, PluginControlDefinition, interfaces, interfaces);
SAME_FIELD(ControlDefinition, PluginControlDefinition, furtherCount, furtherCount);
static_assert(sizeof(PropertyDefinition) == sizeof(PluginPropertyDefinition));
SAME_FIELD(PropertyDefinition, PluginPropertyDefinition, getter, getter);
SAME_FIELD(PropertyDefinition, PluginPropertyDefinition, setter, setter);
static_assert(sizeof(MethodDefinition) == sizeof(PluginMethodDefinition));
static_assert(sizeof(EventDefinition) == sizeof(PluginEventDefinition));
static_assert(sizeof(BehaviourTable) == sizeof(PluginBehaviour));
static_assert(sizeof(PictureDescription) == sizeof(PluginPictureDescription));
SAME_FIELD(PictureDescription, PluginPictureDescription, width, width);
static_assert(sizeof(ControlBounds16) == sizeof(PluginRect));
static_assert(kPluginDataOffset == kPluginControlDataOffset);

#undef SAME_FIELD

// The same agreement, seen from a definition written through one view and
// read through the other.
TEST(PluginAbi, ADefinitionReadsTheSameThroughBothViews) {
  ControlDefinition written{};
  written.version = kControlDefinitionVersion;
  written.dataSize = 108;
  written.propertyCount = 18;
  written.eventCount = 3;
  const auto* read = reinterpret_cast<const PluginControlDefinition*>(&written);
  EXPECT_EQ(read->version, 4u);
  EXPECT_EQ(read->dataSize, 108u);
  EXPECT_EQ(read->propertyCount, 18u);
  EXPECT_EQ(read->eventCount, 3u);
}

}  // namespace
