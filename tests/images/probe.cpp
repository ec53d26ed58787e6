// A program linked with the runtime itself, for what only a real process
// shows; its command line names the case:
//   oom    asks the heap for more than there is: the heap must tell the user
//          and end the program with status 1, not hand back a null block.
//   quit   quits from a timer's "Action" while the pump runs: the uncaught
//          EndException must end the program quietly (status 0) after the
//          windows agreed, the application's "Close" ran and the windows
//          closed; neither the handler nor RuntimeRun may go on.
//   CLASS  raises an uncaught exception of the built-in class CLASS: the
//          message naming it (none for EndException) and status 0.
#include <windows.h>

#include <string>

#include "objects/builtin_classes.h"
#include "objects/classes.h"
#include "objects/exceptions.h"
#include "objects/objects.h"
#include "objects/runtime_messages.h"
#include "objects/small_heap.h"
#include "objects/strings.h"
#include "startup/layer_hooks.h"
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

int Quit() {
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

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  InitAllocatorLock();
  InstallLayerHooks();
  std::string what(commandLine ? commandLine : "");
  what.erase(0, what.find_first_not_of(" \t\""));
  what.erase(what.find_last_not_of(" \t\"") + 1);
  if (what == "oom") return SmallBlockAlloc(0xFFFFFFF0u) ? 2 : 3;  // not reached when the heap tells the user
  RegisterBuiltInClasses();
  if (what == "quit") return Quit();
  StringRecord* unhandled =
      NewString("An exception of class %1 was not handled.\rThe application must shut down.");
  StringRecord* messages[] = {nullptr, nullptr, nullptr, nullptr, unhandled};
  SetRuntimeMessages(messages, 5);
  RuntimeUnlockString(unhandled);
  RuntimeRaiseException(NewObjectOfClass(FindBuiltInClass(what)));
}
