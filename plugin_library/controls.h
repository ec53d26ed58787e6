// The registration records of the library's controls, in the order
// ZORBPluginMain registers them.
#pragma once
#include "plugin_library/plugin_abi.h"

ControlDefinition* BevelButtonDefinition();
ControlDefinition* ChasingArrowsDefinition();
ControlDefinition* LittleArrowsDefinition();
ControlDefinition* PlacardDefinition();
ControlDefinition* SeparatorDefinition();
ControlDefinition* PopupArrowDefinition();
ControlDefinition* DisclosureTriangleDefinition();
ControlDefinition* ImageWellDefinition();
