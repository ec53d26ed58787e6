// The runtime's built-in control kinds (EditField, StaticText, PushButton,
// CheckBox, PopupMenu, GroupBox, TabPanel, ProgressBar) as the class
// registry finds them. Each kind describes itself in its own file in this
// folder (its behaviour row: events, property table, constructor,
// destructor and the "CreatePane" handler that makes its pane); this is the
// one list of them, which start-up's behaviour table consults. A plug-in
// control brings its own handler the same way.
#pragma once
#include "objects/builtin_classes.h"

// The behaviour row of the built-in control kind named `name` (spelt as the
// layout table spells it), or null when no kind is named so.
const BuiltInBehaviour* ControlKindBehaviourOf(const char* name);
