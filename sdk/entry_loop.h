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

// --- Timer ---------------------------------------------------------------------
// Mode: 0 off, 1 single shot, 2 multiple. Setting it restarts the interval;
// setting Period (milliseconds) does not. The parameter word is ignored.
int32_t timerModeGetter(ObjectRecord* timer);
void timerModeSetter(ObjectRecord* timer, uint32_t param, int32_t mode);
int32_t timerPeriodGetter(ObjectRecord* timer);
void timerPeriodSetter(ObjectRecord* timer, uint32_t param, int32_t period);

}  // extern "C"
