// The Timer control. A timer counts from its last firing (or from the last
// change of its Mode) and fires once however late the pump comes to it: a
// handler that ran long must not be answered by a burst of firings. A handler
// may destroy any timer, so the walk keeps its cursor where the destructor
// can move it on. A handler that shows a message box lets the other timers
// fire from the box's loop, in a walk nested in its own, but never itself:
// the application's handlers are not written to be re-entered, and one that
// fired again inside its own box would show another box.
#include "ui/timers.h"

#include <windows.h>

#include <algorithm>

#include "objects/builtin_classes.h"
#include "objects/checked_cast.h"
#include "objects/events.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"
#include "ui/class_events.h"
#include "ui/event_loop.h"

namespace {

TimerObject* gFirstTimer = nullptr;
uint32_t gTickStamp = 0;  // GetTickCount at the last walk

// A timer walk in progress; walks nest when a handler runs a modal loop.
struct TimerWalk {
  TimerObject* next;
  TimerObject* firing;  // whose handler runs now; null once it is destroyed
  TimerWalk* outer;
};
TimerWalk* gInnermostWalk = nullptr;

TimerObject* AsTimer(ObjectRecord* object) { return reinterpret_cast<TimerObject*>(object); }

int64_t MsSinceFired(const TimerObject* timer, uint32_t now) {
  return static_cast<int32_t>(now - timer->lastFireTime);
}

bool IsDue(const TimerObject* timer, uint32_t now) {
  return timer->mode != 0 && MsSinceFired(timer, now) >= timer->period;
}

// Whether some walk this one is nested in is running the timer's handler.
bool HandlerRunning(const TimerObject* timer) {
  for (const TimerWalk* walk = gInnermostWalk; walk; walk = walk->outer)
    if (walk->firing == timer) return true;
  return false;
}

void Fire(TimerObject* timer, uint32_t now) {
  timer->lastFireTime = now;
  // A single shot is off before its handler runs, which may re-arm it.
  if (timer->mode == 1) timer->mode = 0;
  RaiseEvent(&timer->control.header, gTimerEvents[kTimerAction]);
}

}  // namespace

EventEntry gTimerEvents[kTimerEventCount] = {{0, "Action", "", "", 0, nullptr}};

void __cdecl TimerConstruct(ObjectRecord* object, ClassRecord*) {
  TimerObject* timer = AsTimer(object);
  timer->next = gFirstTimer;
  gFirstTimer = timer;
}

void __cdecl TimerDestruct(ObjectRecord* object, ClassRecord*) {
  TimerObject* timer = AsTimer(object);
  TimerObject** link = &gFirstTimer;
  while (*link && *link != timer) link = &(*link)->next;
  if (*link) *link = timer->next;
  for (TimerWalk* walk = gInnermostWalk; walk; walk = walk->outer) {
    if (walk->next == timer) walk->next = timer->next;
    if (walk->firing == timer) walk->firing = nullptr;
  }
  timer->next = nullptr;
}

void FireDueTimers() {
  uint32_t now = GetTickCount();
  if (now == gTickStamp) return;
  gTickStamp = now;
  TimerWalk walk{nullptr, nullptr, gInnermostWalk};
  gInnermostWalk = &walk;
  for (TimerObject* timer = gFirstTimer; timer; timer = walk.next) {
    walk.next = timer->next;
    if (!IsDue(timer, now) || HandlerRunning(timer)) continue;
    walk.firing = timer;
    Fire(timer, now);
    walk.firing = nullptr;
  }
  gInnermostWalk = walk.outer;
}

uint32_t MsUntilTimerDue(uint32_t now) {
  int64_t soonest = kNothingDue;
  for (const TimerObject* timer = gFirstTimer; timer; timer = timer->next) {
    if (timer->mode == 0 || HandlerRunning(timer)) continue;
    soonest = std::min(soonest, std::max<int64_t>(0, timer->period - MsSinceFired(timer, now)));
  }
  // The walk runs once per tick value: a timer due now waits for the next.
  if (soonest == 0 && now == gTickStamp) return 1;
  return static_cast<uint32_t>(soonest);
}

extern "C" {

int32_t timerModeGetter(ObjectRecord* timer) {
  TimerObject* t = As<TimerObject>(timer);
  return t ? t->mode : 0;
}

void timerModeSetter(ObjectRecord* timer, uint32_t, int32_t mode) {
  TimerObject* t = As<TimerObject>(timer);
  if (!t) return;
  t->mode = static_cast<int16_t>(mode);
  t->lastFireTime = GetTickCount();
}

int32_t timerPeriodGetter(ObjectRecord* timer) {
  TimerObject* t = As<TimerObject>(timer);
  return t ? t->period : 0;
}

void timerPeriodSetter(ObjectRecord* timer, uint32_t, int32_t period) {
  if (TimerObject* t = As<TimerObject>(timer)) t->period = period;
}

}  // extern "C"

const PropertyEntry kTimerProperties[] = {
    {"Behavior", "Mode", "Integer", reinterpret_cast<CodeAddress>(timerModeGetter),
     reinterpret_cast<CodeAddress>(timerModeSetter), 0},
    {"Behavior", "Period", "Integer", reinterpret_cast<CodeAddress>(timerPeriodGetter),
     reinterpret_cast<CodeAddress>(timerPeriodSetter), 0},
};
const uint32_t kTimerPropertyCount = sizeof(kTimerProperties) / sizeof(kTimerProperties[0]);
