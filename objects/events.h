// Raising the events that built-in classes declare in their static event
// tables: the runtime finds the declaration through the table entry, looks
// up the handler along the object's class chain and calls it with the object
// first; without a handler the event gives its default result.
#pragma once
#include "objects/classes.h"
#include "sdk/class_records.h"

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
  return reinterpret_cast<Result(__cdecl*)(ObjectRecord*, Args...)>(code)(object, args...);
}
