// The Timer control: no Win32 window and no Win32 timer behind it; the pump
// (or, while Windows runs a loop of its own, the pump's one Win32 timer)
// examines every live timer once per distinct tick count. The pump also asks
// when the next one falls due, so that it can sleep until then.
#pragma once
#include <cstdint>

#include "sdk/class_records.h"

// Constructor and destructor of the Timer class: a timer is on the timer
// list for as long as it lives.
void __cdecl TimerConstruct(ObjectRecord* timer, ClassRecord* cls);
void __cdecl TimerDestruct(ObjectRecord* timer, ClassRecord* cls);

// Pump step 7: when the tick count has moved since the last walk, raises
// "Action" on every running timer whose period has passed, in list order
// (newest timer first), each at most once. A walk nested in a handler (one
// that showed a message box) passes over the timers whose handlers run.
void FireDueTimers();

// Milliseconds from `now` (a GetTickCount value) until the timer walk would
// fire some running timer; kNothingDue when no timer runs.
uint32_t MsUntilTimerDue(uint32_t now);
