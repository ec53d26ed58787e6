// The pump's own lists (drops, deferred actions, periodic tasks, objects kept
// for shutdown), as the pump step and the end of the run work through them.
// Other subsystems fill them through ui/event_loop.h.
#pragma once
#include <cstdint>

// Step 1: raises "DropObject" for every queued drop, oldest first.
void DrainDropQueue();
// Step 5: runs the actions deferred so far; those deferred meanwhile wait
// for the next step.
void RunDeferredActions();
// True while drops or deferred actions wait: the pump must not sleep then.
bool LoopWorkPending();

// Step 11 and RuntimeBackgroundTask: runs every task whose interval has
// passed, but none that runs already (one that showed a message box).
void RunDuePeriodicTasks();
// Milliseconds from `now` (a GetTickCount value) until some periodic task
// that is not running is due; kNothingDue when there is none.
uint32_t MsUntilPeriodicTaskDue(uint32_t now);

// The end of the run: deletes the objects still registered, newest first.
void DestroyShutdownObjects();
