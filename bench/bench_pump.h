// What the benchmarks that run the real event loop share: window services
// for one window that stays open until the bench says it closed (the pump
// ends when no window is open), and a timer of a class of its own whose
// Action is a plain function.
#pragma once

#include "objects/builtin_classes.h"
#include "objects/classes.h"
#include "objects/objects.h"
#include "sdk/vellory.h"
#include "ui/window_services.h"

namespace bench {

inline bool gWindowOpen = true;

inline void Nothing() {}
inline bool No() { return false; }
inline bool NotAShortcut(const void*) { return false; }
inline bool NoWindowOpen() { return !gWindowOpen; }

inline const WindowServices kOneWindow = {Nothing, Nothing,      No, NotAShortcut,
                                          Nothing, NoWindowOpen, No, Nothing};

// A timer of class NAME (a Timer) firing ACTION every PERIOD ms in MODE
// (1 once, 2 repeatedly).
inline ObjectRecord* NewTimer(const char* name, void(__cdecl* action)(ObjectRecord*), int32_t period,
                              int32_t mode) {
  ClassRecord* super = FindBuiltInClass("Timer");
  ClassRecord* cls = NewClassRecord(name);
  cls->superclass = super;
  cls->instanceSize = super->instanceSize;
  AddEventHandler(cls, "Action", reinterpret_cast<CodeAddress>(action), 0);
  ObjectRecord* timer = NewObjectOfClass(cls);
  timerPeriodSetter(timer, 0, period);
  timerModeSetter(timer, 0, mode);
  return timer;
}

}  // namespace bench
