// Entry points of the runtime's user interface (loop), as application code and
// plug-ins call them; included by sdk/vellory.h.
#pragma once
#include <stdint.h>

#include "sdk/class_records.h"
#include "sdk/runtime_records.h"

extern "C" {

// --- the event pump --------------------------------------------------------
// Runs the pump until the program is to end, then takes the runtime down.
void RuntimeRun();
// For long loops in application code: runs the runtime's due periodic work,
// at most once per tick count; reads no window messages.
void RuntimeBackgroundTask();

// --- the application ---------------------------------------------------------
// Asks every window whether it may close; if all agree, raises the
// application's "Close", closes the windows and ends the program.
void ApplicationQuit();
void ApplicationNewDocument();
void ApplicationOpenDocument(ObjectRecord* item);

// --- one running copy ------------------------------------------------------------
// Called first thing, before anything else: true when no other process of
// the user's session holds the claim `name`, which this process then holds
// until it ends (its calling thread owns it). False when another process
// holds it: that copy's window (as RuntimeInstanceWindow recorded it) is
// restored if minimised and brought to the front first, after waiting up
// to 5 s for a copy still starting to record one. True, claiming nothing,
// for a nil or empty name, and when the system cannot make the claim at all.
bool RuntimeClaimInstance(StringRecord* name);
// Records the window (its native window) as the one a later copy brings to
// the front; nil records none. Nothing unless this process holds a claim.
void RuntimeInstanceWindow(ObjectRecord* window);

// --- Timer ---------------------------------------------------------------------
// Mode: a TimerMode. Setting it restarts the interval; setting Period
// (milliseconds) does not. The parameter word is ignored.
enum TimerMode : int32_t { kTimerOff = 0, kTimerOnce = 1, kTimerRepeating = 2 };
int32_t timerModeGetter(ObjectRecord* timer);
void timerModeSetter(ObjectRecord* timer, uint32_t param, int32_t mode);
int32_t timerPeriodGetter(ObjectRecord* timer);
void timerPeriodSetter(ObjectRecord* timer, uint32_t param, int32_t period);

}  // extern "C"
