// The event pump. One step turns at most one window message into events and
// then gives every time-driven part of the runtime its turn, always in the
// same order, so that an application sees its events in a fixed sequence.
// When a step finds no message the pump sleeps until the next timer or
// periodic task falls due (or input arrives) rather than asking again at
// once: a running timer must not cost a whole processor; on waking it polls
// the serial lines before anything else. While a pane holds
// the mouse capture it keeps asking: a drag lasts only while the button is
// down, and what it drives comes at the pump's full pace.
#include "ui/event_loop.h"

#include <algorithm>

#include "sdk/vellory.h"
#include "ui/loop_tasks.h"
#include "ui/runtime_ui.h"
#include "ui/timers.h"
#include "ui/window_services.h"

namespace {

struct Poller {
  void (*poll)();
  uint32_t (*pollWithinMs)();
};

bool gQuit = false;
bool gMdiMode = false;
HWND gMdiClient = nullptr;
Poller gSerialPoller = {nullptr, nullptr};
Poller gMediaPoller = {nullptr, nullptr};
IUnknown* gSoundDevice = nullptr;
HMODULE gMediaLibrary = nullptr;
uint32_t gBackgroundTick = 0;

const WindowServices& Services() { return CurrentWindowServices(); }

void Poll(const Poller& poller) {
  if (poller.poll) poller.poll();
}

uint32_t MsUntilPoll(const Poller& poller) {
  return poller.pollWithinMs ? poller.pollWithinMs() : kNothingDue;
}

// How long the pump may sleep before the next step has work to do:
// 0 = not at all, kNothingDue = until a message comes.
uint32_t MsUntilStepNeeded() {
  if (Services().mouseCaptured() || LoopWorkPending()) return 0;
  uint32_t now = GetTickCount();
  return std::min({MsUntilTimerDue(now), MsUntilPeriodicTaskDue(now), MsUntilPoll(gSerialPoller),
                   MsUntilPoll(gMediaPoller)});
}

// A message fit for dispatch; WM_QUIT sets the quit flag instead.
bool Accept(const MSG& msg) {
  if (msg.message != WM_QUIT) return true;
  gQuit = true;
  return false;
}

bool TakeMessage(MSG& msg) { return PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) != 0; }

bool BlockForMessage(MSG& msg) {
  BOOL got = GetMessageA(&msg, nullptr, 0, 0);
  if (got == -1) return false;
  return Accept(msg);
}

// The sleep stands for the empty steps a pump that kept asking would have
// run meanwhile, each ending with a poll of the serial lines, the last one
// just before the timers fell due. Polling on waking keeps that: a timer
// that reads a line finds what arrived during the sleep, instead of only
// what had come before it, a whole period of that timer earlier.
void SleepUntilStepNeeded(uint32_t wait) {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
  Poll(gSerialPoller);
}

// Step 3: the message of this step, if any.
bool NextMessage(MSG& msg) {
  if (MsUntilStepNeeded() == kNothingDue) return BlockForMessage(msg);
  if (TakeMessage(msg)) return Accept(msg);
  // Looking at the queue may have run sent messages that changed the timers.
  uint32_t wait = MsUntilStepNeeded();
  if (wait == 0) return false;
  SleepUntilStepNeeded(wait);
  return TakeMessage(msg) && Accept(msg);
}

// Step 4: mouse tracking, then the first of menu shortcut, MDI accelerator
// and the window procedure that takes the message.
void HandleMessage(MSG& msg) {
  Services().trackMouse();
  if (Services().menuShortcut(&msg)) return;
  if (gMdiMode && gMdiClient && TranslateMDISysAccel(gMdiClient, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

void ApplyLastWindowRule() {
  if (!gMdiMode && Services().noWindowOpen()) gQuit = true;
}

void ReleaseSoundDevice() {
  if (!gSoundDevice) return;
  gSoundDevice->Release();
  gSoundDevice = nullptr;
}

void CallMediaExport(const char* name) {
  FARPROC routine = GetProcAddress(gMediaLibrary, name);
  if (routine) reinterpret_cast<void(WINAPI*)()>(routine)();
}

void ReleaseMediaLibrary() {
  if (!gMediaLibrary) return;
  CallMediaExport("ExitMovies");
  CallMediaExport("TerminateQTML");
  FreeLibrary(gMediaLibrary);
  gMediaLibrary = nullptr;
}

void TearDown() {
  Services().closeAllWindows();
  ReleaseSoundDevice();
  ShutDownRuntime();
  ReleaseMediaLibrary();
  DestroyShutdownObjects();
}

}  // namespace

void RunPumpStep() {
  DrainDropQueue();
  Services().updateWindowsWhenIdle();
  MSG msg;
  if (NextMessage(msg)) HandleMessage(msg);
  RunDeferredActions();
  Services().activePaneIdle();
  FireDueTimers();
  Poll(gSerialPoller);
  Poll(gMediaPoller);
  ApplyLastWindowRule();
  RunDuePeriodicTasks();
}

void BeginForeignModalLoop() {}
void EndForeignModalLoop() {}

void RequestQuit() { gQuit = true; }
void ClearQuitRequest() { gQuit = false; }
bool QuitRequested() { return gQuit; }

void SetMdiMode(bool on, HWND mdiClient) {
  gMdiMode = on;
  gMdiClient = on ? mdiClient : nullptr;
}
bool InMdiMode() { return gMdiMode; }

void SetSerialPoller(void (*poll)(), uint32_t (*pollWithinMs)()) {
  gSerialPoller = {poll, pollWithinMs};
}
void SetMediaPoller(void (*poll)(), uint32_t (*pollWithinMs)()) {
  gMediaPoller = {poll, pollWithinMs};
}

void SetSoundDevice(IUnknown* device) {
  if (device == gSoundDevice) return;
  ReleaseSoundDevice();
  gSoundDevice = device;
}
void SetMediaLibrary(HMODULE library) { gMediaLibrary = library; }

extern "C" {

void RuntimeRun() {
  ClearQuitRequest();
  while (!gQuit) RunPumpStep();
  TearDown();
}

void RuntimeBackgroundTask() {
  uint32_t now = GetTickCount();
  if (now == gBackgroundTick) return;
  gBackgroundTick = now;
  RunDuePeriodicTasks();
  gBackgroundTick = GetTickCount();
}

}  // extern "C"
