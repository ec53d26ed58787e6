// The runtime's built-in control kinds (EditField, StaticText, PushButton,
// CheckBox, PopupMenu, GroupBox, TabPanel, ProgressBar): the behaviour rows
// the class registry builds their classes from, and the events they raise.
// Each kind brings its own "CreatePane" handler, which makes its pane when
// window creation raises that event; a plug-in control brings its own the
// same way.
#pragma once
#include <cstdint>

#include "objects/builtin_classes.h"

extern const BuiltInBehaviour kControlKindBehaviours[];
extern const uint32_t kControlKindBehaviourCount;

// Events the kinds declare, in declaration order.
enum EditFieldEvent { kEditTextChange, kEditSelChange, kEditKeyDown, kEditFieldEventCount };
extern EventEntry gEditFieldEvents[kEditFieldEventCount];
extern EventEntry gPushButtonEvents[1];  // "Action"
extern EventEntry gCheckBoxEvents[1];    // "Action"
extern EventEntry gPopupMenuEvents[1];   // "Change"
extern EventEntry gTabPanelEvents[1];    // "Change"

// The "CreatePane" handlers (also for tests that build a pane directly).
void __cdecl EditFieldCreatePane(ObjectRecord* control);
void __cdecl StaticTextCreatePane(ObjectRecord* control);
void __cdecl PushButtonCreatePane(ObjectRecord* control);
void __cdecl CheckBoxCreatePane(ObjectRecord* control);
void __cdecl PopupMenuCreatePane(ObjectRecord* control);
void __cdecl GroupBoxCreatePane(ObjectRecord* control);
void __cdecl TabPanelCreatePane(ObjectRecord* control);
void __cdecl ProgressBarCreatePane(ObjectRecord* control);
