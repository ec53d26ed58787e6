// A program that quits from a timer's "Action" handler while the pump runs.
// Only a real process shows the end of ApplicationQuit: the EndException it
// raises is caught by nothing, so the program must end quietly with status 0
// after the windows agreed, the application's "Close" ran and the windows
// closed, and neither the handler nor RuntimeRun may go on after it.
#include <windows.h>

#include "objects/builtin_classes.h"
#include "objects/classes.h"
#include "objects/objects.h"
#include "objects/small_heap.h"
#include "objects/strings.h"
#include "ui/window_services.h"

namespace {

bool gWindowOpen = true;

void Trace(const char* text) {
  StringRecord* line = NewString(text);
  lineTrace(line);
  RuntimeUnlockString(line);
}

const WindowServices kOneWindow = {
    [] {}, [] {}, [] { return false; }, [](const void*) { return false; }, [] {},
    [] { return !gWindowOpen; },
    [] {
      Trace("CancelClose asked");
      return false;
    },
    [] {
      Trace("windows closed");
      gWindowOpen = false;
    }};

void __cdecl AppClose(ObjectRecord*) { Trace("application Close"); }

void __cdecl TimerAction(ObjectRecord*) {
  Trace("timer Action");
  ApplicationQuit();
  Trace("ApplicationQuit returned");
}

ClassRecord* Subclass(const char* name, const char* builtIn, const char* event, void* code) {
  ClassRecord* super = FindBuiltInClass(builtIn);
  ClassRecord* cls = NewClassRecord(name);
  cls->superclass = super;
  cls->instanceSize = super->instanceSize;
  AddEventHandler(cls, event, code, 0);
  return cls;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  InitAllocatorLock();
  RegisterBuiltInClasses();
  SetWindowServices(&kOneWindow);
  ObjectRecord* app =
      NewObjectOfClass(Subclass("ProbeApp", "Application", "Close", reinterpret_cast<void*>(AppClose)));
  SetApplicationObject(app);
  ObjectRecord* timer =
      NewObjectOfClass(Subclass("ProbeTimer", "Timer", "Action", reinterpret_cast<void*>(TimerAction)));
  timerPeriodSetter(timer, 0, 50);
  timerModeSetter(timer, 0, 2);
  RuntimeRun();
  Trace("RuntimeRun returned");
  return 3;
}
