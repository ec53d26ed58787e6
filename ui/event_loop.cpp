// The event pump. One step handles the window messages waiting when it
// starts, up to a bound, and then gives every time-driven part of the runtime
// its turn, always in the same order, so that an application sees its events
// in a fixed sequence. Every waiting message rather than one per step: a step
// may block for a while in a handler (a timer that writes a piece to the
// serial line), and a key press is three messages (the key-down, the
// character made of it, the key-up); at one a step, typing during a send
// would lag three blocked steps a key. The bound keeps a flood of messages
// from holding timers off.
// When a step finds no message the pump sleeps until the next timer or
// periodic task falls due (or input arrives) rather than asking again at
// once: a running timer must not cost a whole processor; on waking it polls
// the serial lines before anything else. While a pane holds
// the mouse capture it keeps asking: a drag lasts only while the button is
// down, and what it drives comes at the pump's full pace.
// While Windows runs a loop of its own (a message box, a system dialog, a
// menu or a window being moved or sized), no step runs; a Win32 timer, which
// exists only then, runs the time-driven part from that loop meanwhile, so
// that the serial line is still read and timers and periodic tasks go on.
// An idle program has no such timer: it would wake it every few milliseconds.
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

// A step takes at most this many messages.
constexpr int kMessagesPerStep = 32;
// How often a foreign loop's Win32 timer runs the time-driven work.
constexpr UINT kForeignLoopTickMs = 10;
int gForeignLoops = 0;       // open ForeignModalLoop scopes
UINT_PTR gForeignTimer = 0;  // running while a foreign loop is known or seen

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

// The TIMERPROC of the foreign-loop timer: the pump's time-driven work, as
// the foreign loop dispatches it. Drops and deferred actions wait for the
// pump: they belong after a message of its own. A message of a timer since
// killed does nothing.
void CALLBACK RunTimeDrivenWork(HWND, UINT, UINT_PTR timer, DWORD) {
  if (!timer || timer != gForeignTimer) return;
  Poll(gSerialPoller);
  FireDueTimers();
  RunDuePeriodicTasks();
}

void StartForeignTimer() {
  if (!gForeignTimer) gForeignTimer = SetTimer(nullptr, 0, kForeignLoopTickMs, RunTimeDrivenWork);
}

void StopForeignTimer() {
  if (!gForeignTimer) return;
  KillTimer(nullptr, gForeignTimer);
  gForeignTimer = 0;
}

// A tick of the foreign-loop timer that reached the pump (a modal window of
// the runtime's own opened inside the foreign loop): the step does that work
// itself, in its place.
bool IsForeignLoopTick(const MSG& msg) {
  return msg.message == WM_TIMER && !msg.hwnd && gForeignTimer && msg.wParam == gForeignTimer;
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
  if (IsForeignLoopTick(msg)) return;
  Services().trackMouse();
  if (Services().menuShortcut(&msg)) return;
  if (gMdiMode && gMdiClient && TranslateMDISysAccel(gMdiClient, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

// The step's messages: the first, which the pump may sleep for, then those
// already waiting behind it, each after the actions the one before it
// deferred. A request to quit (WM_QUIT among them) ends the taking.
void HandleWaitingMessages() {
  MSG msg;
  if (NextMessage(msg)) {
    HandleMessage(msg);
    for (int taken = 1; taken < kMessagesPerStep && !gQuit; ++taken) {
      if (!TakeMessage(msg) || !Accept(msg)) break;
      RunDeferredActions();
      HandleMessage(msg);
    }
  }
  RunDeferredActions();
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
  // A timer that WM_ENTERIDLE started for a dialog the runtime did not open:
  // the pump runs again, so that dialog has closed.
  if (gForeignLoops == 0) StopForeignTimer();
  DrainDropQueue();
  Services().updateWindowsWhenIdle();
  HandleWaitingMessages();
  Services().activePaneIdle();
  FireDueTimers();
  Poll(gSerialPoller);
  Poll(gMediaPoller);
  ApplyLastWindowRule();
  RunDuePeriodicTasks();
}

void BeginForeignModalLoop() {
  if (gForeignLoops++ == 0) StartForeignTimer();
}

void EndForeignModalLoop() {
  if (gForeignLoops == 0) return;
  if (--gForeignLoops == 0) StopForeignTimer();
}

void ForeignModalLoopIdle() { StartForeignTimer(); }

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
