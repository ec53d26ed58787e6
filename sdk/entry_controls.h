// Entry points of the runtime's user interface (controls), as application code and
// plug-ins call them; included by sdk/vellory.h.
#pragma once
#include <stdint.h>

#include "sdk/class_records.h"
#include "sdk/runtime_records.h"

extern "C" {

// --- geometry: which 0 = Left, 1 = Top, 2 = Width, 3 = Height --------------------
int32_t ctlPosGetter(ObjectRecord* control, uint32_t which);
void ctlPosSetter(ObjectRecord* control, uint32_t which, int32_t value);
int32_t controlMouseXGetter(ObjectRecord* control);
int32_t controlMouseYGetter(ObjectRecord* control);

// --- state ---------------------------------------------------------------------------
bool controlVisibleGetter(ObjectRecord* control);
void ControlVisibleSetter(ObjectRecord* control, uint32_t param, bool visible);
bool controlEnabledGetter(ObjectRecord* control);
void controlEnabledSetter(ObjectRecord* control, uint32_t param, bool enabled);
bool controlLockLeftGetter(ObjectRecord* control);
bool controlLockTopGetter(ObjectRecord* control);
bool controlLockRightGetter(ObjectRecord* control);
bool controlLockBottomGetter(ObjectRecord* control);
void controlLockLeftSetter(ObjectRecord* control, uint32_t param, bool on);
void controlLockTopSetter(ObjectRecord* control, uint32_t param, bool on);
void controlLockRightSetter(ObjectRecord* control, uint32_t param, bool on);
void controlLockBottomSetter(ObjectRecord* control, uint32_t param, bool on);
void controlBalloonHelpSetter(ObjectRecord* control, uint32_t param, StringRecord* text);
void controlDisabledBalloonHelpSetter(ObjectRecord* control, uint32_t param, StringRecord* text);
void controlMouseCursorSetter(ObjectRecord* control, uint32_t param, ObjectRecord* cursor);
// The control's window, with a reference for the caller; nil once the
// window has let the control go.
ObjectRecord* controlWindowGetter(ObjectRecord* control);

// --- focus and repainting -------------------------------------------------------------
void RuntimeSetFocus(ObjectRecord* control);
void formSetFocus(ObjectRecord* window);
void clearFocus();
void RuntimeControlRefresh(ObjectRecord* control);
void RuntimeControlRefreshRect(ObjectRecord* control, int32_t x, int32_t y, int32_t width,
                               int32_t height);

// --- lookups by name (any letter case) -------------------------------------------------
// Borrowed: no reference is added.
ObjectRecord* RuntimeControlFetch(ObjectRecord* window, StringRecord* name);
// With one reference for the caller.
ObjectRecord* RuntimeControlReference(ObjectRecord* window, StringRecord* name);
ObjectRecord* RuntimeControlArrayItemReference(ObjectRecord* window, StringRecord* name,
                                               int32_t index);

}  // extern "C"
