// The pump's lists. Handlers called from a walk may change the list being
// walked (a task removing itself or another, a drop handler queueing a new
// drop), so every walk keeps its cursor where a removal can move it on, and
// deferred actions are detached before they run. A task that shows a message
// box lets the others run from the box's loop in a nested walk, but is not
// run again itself until it returns.
#include "ui/loop_tasks.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "objects/builtin_classes.h"
#include "objects/events.h"
#include "sdk/entry_numbers.h"
#include "ui/class_events.h"
#include "ui/event_loop.h"

struct PeriodicTask {
  void (*run)(void* context);
  void* context;
  uint32_t interval;  // ticks (kTickMs)
  uint32_t lastRun;   // GetTickCount() / kTickMs at the last run
  PeriodicTask* next;
};

namespace {

struct DropRecord {
  DropRecord* next;
  ObjectRecord* window;
  ObjectRecord* control;
  ObjectRecord* item;
};

struct DeferredAction {
  void (*run)(void* context);
  void* context;
};

// GetTickCount() / kTickMs wraps at 2^28: differences are taken modulo that.
constexpr uint32_t kUnitMask = 0x0FFFFFFF;

DropRecord* gFirstDrop = nullptr;
DropRecord* gLastDrop = nullptr;
std::vector<DeferredAction> gDeferred;
PeriodicTask* gFirstTask = nullptr;
std::vector<ShutdownObject*> gShutdownObjects;

// A walk of the periodic task list in progress; walks nest when a task runs
// a modal loop, and then only inside the current task of the walk outside.
struct TaskWalk {
  PeriodicTask* current;  // null once the running task is removed
  PeriodicTask* next;
  TaskWalk* outer;
};
TaskWalk* gInnermostWalk = nullptr;

uint32_t Units(uint32_t ticks) { return ticks / kTickMs; }

uint32_t UnitsSinceRun(const PeriodicTask* task, uint32_t nowUnits) {
  return (nowUnits - task->lastRun) & kUnitMask;
}

// Whether `walk` or a walk it is nested in runs the task now.
bool Running(const PeriodicTask* task, const TaskWalk* walk) {
  for (; walk; walk = walk->outer)
    if (walk->current == task) return true;
  return false;
}

void RaiseDrop(const DropRecord& drop) {
  if (drop.control) {
    RaiseEvent(drop.control, gRectControlEvents[kRectDropObject], drop.item);
    return;
  }
  RaiseEvent(drop.window, gWindowEvents[kWindowDropObject], drop.item);
}

}  // namespace

void QueueDrop(ObjectRecord* window, ObjectRecord* control, ObjectRecord* item) {
  DropRecord* drop = new DropRecord{nullptr, window, control, item};
  if (gLastDrop)
    gLastDrop->next = drop;
  else
    gFirstDrop = drop;
  gLastDrop = drop;
}

void DrainDropQueue() {
  while (DropRecord* drop = gFirstDrop) {
    gFirstDrop = drop->next;
    if (!gFirstDrop) gLastDrop = nullptr;
    RaiseDrop(*drop);
    RuntimeUnlockObject(drop->item);
    delete drop;
  }
}

void DeferAction(void (*run)(void* context), void* context) {
  gDeferred.push_back({run, context});
}

void RunDeferredActions() {
  if (gDeferred.empty()) return;
  std::vector<DeferredAction> due;
  due.swap(gDeferred);
  for (const DeferredAction& action : due) action.run(action.context);
}

bool LoopWorkPending() { return gFirstDrop || !gDeferred.empty(); }

PeriodicTask* AddPeriodicTask(void (*run)(void* context), void* context, uint32_t interval) {
  PeriodicTask* task =
      new PeriodicTask{run, context, interval, Units(GetTickCount()), gFirstTask};
  gFirstTask = task;
  return task;
}

void RemovePeriodicTask(PeriodicTask* task) {
  PeriodicTask** link = &gFirstTask;
  while (*link && *link != task) link = &(*link)->next;
  if (!*link) return;
  *link = task->next;
  for (TaskWalk* walk = gInnermostWalk; walk; walk = walk->outer) {
    if (walk->current == task) walk->current = nullptr;
    if (walk->next == task) walk->next = task->next;
  }
  delete task;
}

// The time is read for each task: one that ran in a walk nested in an
// earlier task's run has run later than this walk began.
void RunDuePeriodicTasks() {
  TaskWalk walk{nullptr, nullptr, gInnermostWalk};
  gInnermostWalk = &walk;
  for (PeriodicTask* task = gFirstTask; task; task = walk.next) {
    walk.current = task;
    walk.next = task->next;
    if (UnitsSinceRun(task, Units(GetTickCount())) < task->interval) continue;
    if (Running(task, walk.outer)) continue;
    task->run(task->context);
    if (walk.current) walk.current->lastRun = Units(GetTickCount());
  }
  gInnermostWalk = walk.outer;
}

uint32_t MsUntilPeriodicTaskDue(uint32_t now) {
  uint32_t soonest = kNothingDue;
  uint32_t nowUnits = Units(now);
  for (const PeriodicTask* task = gFirstTask; task; task = task->next) {
    if (Running(task, gInnermostWalk)) continue;  // not due again until it returns
    uint32_t since = UnitsSinceRun(task, nowUnits);
    if (since >= task->interval) return 0;
    uint64_t ms = uint64_t(task->interval - since) * kTickMs - now % kTickMs;
    soonest = std::min(soonest, static_cast<uint32_t>(std::min<uint64_t>(ms, INT32_MAX)));
  }
  return soonest;
}

void RegisterForShutdown(ShutdownObject* object) { gShutdownObjects.push_back(object); }

void UnregisterForShutdown(ShutdownObject* object) {
  auto it = std::find(gShutdownObjects.begin(), gShutdownObjects.end(), object);
  if (it != gShutdownObjects.end()) gShutdownObjects.erase(it);
}

void DestroyShutdownObjects() {
  while (!gShutdownObjects.empty()) {
    ShutdownObject* object = gShutdownObjects.back();
    gShutdownObjects.pop_back();
    delete object;
  }
}
