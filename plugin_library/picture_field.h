// A picture kept by a control together with its locked description.
#pragma once
#include "plugin_library/plugin_abi.h"

// Releases the old picture's description and reference, keeps `picture`
// (a new reference) and fills the description from it; null clears both.
void ReplacePicture(PlugObject* slot, PictureDescription* description, PlugObject picture);
