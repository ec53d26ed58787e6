// The behaviour of the runtime's built-in classes, gathered from the layers
// that define it; start-up installs the lookup in the class registry.
#pragma once
#include "objects/builtin_classes.h"

// What the built-in class `name` adds to its layout, or null: nothing.
const BuiltInBehaviour* BuiltInBehaviourOf(const char* name);
