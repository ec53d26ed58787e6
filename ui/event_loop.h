// The event pump and the runtime-internal work it carries. Everything the
// application does after start-up runs inside one pump step on the one UI
// thread; other subsystems hand the pump work here instead of keeping loops
// of their own, so that the order of events stays the same wherever they
// come from.
#pragma once
#include <windows.h>
#include <unknwn.h>

#include <cstdint>

#include "sdk/runtime_records.h"

// A wait that never ends: nothing time-driven is pending.
inline constexpr uint32_t kNothingDue = INFINITE;

// One step of the pump. Modal displays run their own loop of these.
void RunPumpStep();

// A loop that is not the runtime's own (a message box, a menu or a window
// move tracked by Windows, a system dialog) runs between Begin and End:
// meanwhile the time-driven work of the pump (serial polling, timers,
// periodic tasks) goes on from a Win32 timer. Scopes nest; an End without
// its Begin does nothing. No handler runs inside itself: a timer or task
// whose handler opened the loop waits until it is closed.
void BeginForeignModalLoop();
void EndForeignModalLoop();
// A loop the runtime did not open went idle (WM_ENTERIDLE from a dialog or
// menu of someone else's): the same timer runs until the pump's next step.
void ForeignModalLoopIdle();
class ForeignModalLoop {
 public:
  ForeignModalLoop() { BeginForeignModalLoop(); }
  ~ForeignModalLoop() { EndForeignModalLoop(); }
  ForeignModalLoop(const ForeignModalLoop&) = delete;
  ForeignModalLoop& operator=(const ForeignModalLoop&) = delete;
};

// The quit flag: once set, the pump stops at the end of the current step.
// RuntimeRun clears it when it starts.
void RequestQuit();
void ClearQuitRequest();
bool QuitRequested();

// Whether the application runs inside an MDI frame: then closing the last
// window does not end the program, and the pump gives the MDI client its
// system accelerators.
void SetMdiMode(bool on, HWND mdiClient);
bool InMdiMode();

// Polls that the pump makes in every step for subsystems that no window
// message wakes (serial ports; media players and sockets). `pollWithinMs`,
// when given, tells how long the pump may wait between two polls
// (kNothingDue: nothing to poll now).
void SetSerialPoller(void (*poll)(), uint32_t (*pollWithinMs)() = nullptr);
void SetMediaPoller(void (*poll)(), uint32_t (*pollWithinMs)() = nullptr);

// Calls run(context) once, after the message being handled now.
void DeferAction(void (*run)(void* context), void* context);

// Work that the pump (and RuntimeBackgroundTask) repeats every `interval`
// ticks (kTickMs, sdk/entry_numbers.h); the first run comes one interval
// after adding. A task may remove itself, or any other task, while it runs.
struct PeriodicTask;
PeriodicTask* AddPeriodicTask(void (*run)(void* context), void* context, uint32_t interval);
void RemovePeriodicTask(PeriodicTask* task);

// A drop that drag and drop hands to the pump: "DropObject" is raised on
// `control` (or on `window` when there is no control) at the start of the
// next step. The queue takes over one reference to `item`.
void QueueDrop(ObjectRecord* window, ObjectRecord* control, ObjectRecord* item);

// Runtime-internal objects that live until the program ends; whatever is
// still registered when RuntimeRun returns is deleted then, newest first.
class ShutdownObject {
 public:
  virtual ~ShutdownObject() = default;
};
void RegisterForShutdown(ShutdownObject* object);
void UnregisterForShutdown(ShutdownObject* object);

// System objects the end of the run releases: the process-wide sound device
// (released through IUnknown) and the media library (its "ExitMovies" and
// "TerminateQTML" are called before it is freed).
void SetSoundDevice(IUnknown* device);
void SetMediaLibrary(HMODULE library);
