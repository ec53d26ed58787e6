// Raising the events that built-in classes declare in their static event
// tables: the runtime finds the declaration through the table entry, looks
// up the handler along the object's class chain and calls it with the object
// first; without a handler the event gives its default result.
#pragma once
#include "objects/classes.h"
#include "sdk/class_records.h"
#include "sdk/vellory.h"

// Holds an object while a handler runs on it: the handler may drop every
// other reference (closing its own window releases the window and all its
// controls). An object already being destroyed (count 0) is left alone.
class EventHold {
 public:
  explicit EventHold(ObjectRecord* object) : object_(object && object->refCount ? object : nullptr) {
    RuntimeLockObject(object_);
  }
  ~EventHold() { RuntimeUnlockObject(object_); }
  EventHold(const EventHold&) = delete;
  EventHold& operator=(const EventHold&) = delete;

 private:
  ObjectRecord* object_;
};

// The handler `object` runs for `event`, or null (also for a nil object).
inline CodeAddress EventHandler(ObjectRecord* object, const EventEntry& event,
                                bool* ownClass = nullptr) {
  if (!object || !event.declaration) return nullptr;
  return FindEventHandler(object->cls, event.declaration, ownClass);
}

// Calls the handler of `event` on `object` with `args`; Result() when there
// is none.
template <typename Result = void, typename... Args>
Result RaiseEvent(ObjectRecord* object, const EventEntry& event, Args... args) {
  CodeAddress code = EventHandler(object, event);
  if (!code) return Result();
  EventHold hold(object);
  return reinterpret_cast<Result(__cdecl*)(ObjectRecord*, Args...)>(code)(object, args...);
}
