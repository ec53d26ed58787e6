// The event pump, timers, periodic tasks and quitting, through fake window
// services that log each step's parts. Timing is checked only by lower bounds
// and the order of events due far apart, which hold however slow the machine
// is; the number of steps tells waiting from spinning.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "menu_test_support.h"
#include "objects/builtin_classes.h"
#include "objects/objects.h"
#include "sdk/entry_graphics.h"
#include "sdk/vellory.h"
#include "ui/event_loop.h"
#include "ui/window_services.h"

namespace {

using menutest::Code;
using menutest::ScratchClasses;

using Names = std::vector<std::string>;

Names gLog;
bool gWindowsOpen = true, gCaptured = false, gCancelClose = false, gWatchdogFired = false;
int gSteps = 0, gCloseAfterSteps = 0;  // 0: never

void Log(const std::string& what) { gLog.push_back(what); }
bool Answer(const char* question, bool answer) {
  Log(question);
  return answer;
}

const WindowServices kFakeServices = {[] {
                                        Log("update");
                                        if (++gSteps == gCloseAfterSteps) gWindowsOpen = false;
                                      },
                                      [] { Log("track"); },
                                      [] { return gCaptured; },
                                      [](const void*) { return Answer("shortcut", false); },
                                      [] { Log("idle"); },
                                      [] { return Answer("noWindowOpen", !gWindowsOpen); },
                                      [] { return Answer("CancelClose?", gCancelClose); },
                                      [] {
                                        Log("closeAll");
                                        gWindowsOpen = false;
                                      }};

void CloseBox() {
  HWND box = FindWindowA("#32770", nullptr);
  if (box && GetWindowThreadProcessId(box, nullptr) == GetCurrentThreadId()) PostMessageA(box, WM_COMMAND, IDOK, 0);
}

// A box that nothing else closed would hold the run for ever.
void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD) {
  gWatchdogFired = true;
  gWindowsOpen = false;
  CloseBox();
}

long Logged(const std::string& what) { return std::count(gLog.begin(), gLog.end(), what); }

struct Firing {
  std::string name;
  uint32_t tick;
  int32_t mode;
};  // the mode as the handler read it
std::vector<Firing> gFirings;
struct TimerScript {
  std::string name;
  std::function<void(ObjectRecord*, int firing)> action;
  int count = 0;
};
std::map<ObjectRecord*, TimerScript> gScripts;

void __cdecl OnTimerAction(ObjectRecord* timer) {
  TimerScript& script = gScripts[timer];
  ++script.count;
  gFirings.push_back({script.name, GetTickCount(), timerModeGetter(timer)});
  Log(script.name);
  if (script.action) script.action(timer, script.count);
}

Names RunFirings() {
  RuntimeRun();
  Names names;
  for (const Firing& f : gFirings) names.push_back(f.name);
  return names;
}

void CloseWindows(ObjectRecord*, int) { gWindowsOpen = false; }

std::vector<uint32_t> gTaskTicks;
void RecordTick(void*) { gTaskTicks.push_back(GetTickCount()); }

const UINT kHello = WM_APP + 1;  // posted to the thread, for no window

void DrainThreadQueue() {
  for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) {
  }
}

class EventLoopTest : public testing::Test {
 protected:
  void SetUp() override {
    RegisterBuiltInClasses();
    gWatchdogFired = false;
    Reset();
    previous_ = &CurrentWindowServices();
    SetWindowServices(&kFakeServices);
    watchdog_ = SetTimer(nullptr, 0, 10000, Watchdog);
  }
  // Everything a run leaves behind, for a test that runs the pump again.
  void Reset() {
    gLog.clear();
    gFirings.clear();
    gScripts.clear();
    gTaskTicks.clear();
    gWindowsOpen = true;
    gCaptured = gCancelClose = false;
    gSteps = gCloseAfterSteps = 0;
    ClearQuitRequest();
    DrainThreadQueue();
  }

  void TearDown() override {
    KillTimer(nullptr, watchdog_);
    EXPECT_FALSE(gWatchdogFired) << "only the watchdog ended the run";
    SetWindowServices(previous_);
    SetMdiMode(false, nullptr);
    SetSerialPoller(nullptr);
    for (PeriodicTask* task : tasks_) RemovePeriodicTask(task);
    for (ObjectRecord* object : objects_) RuntimeUnlockObject(object);
    DrainThreadQueue();
  }

  ObjectRecord* Timer(const std::string& name, int32_t period, int32_t mode,
                      std::function<void(ObjectRecord*, int)> action = nullptr) {
    if (!timerClass_) timerClass_ = classes_.Make("LoggingTimer", "Timer", {{"Action", Code(OnTimerAction)}});
    ObjectRecord* timer = NewObjectOfClass(timerClass_);
    objects_.push_back(timer);
    gScripts[timer] = {name, std::move(action)};
    timerPeriodSetter(timer, 0, period);
    if (mode) Arm(timer, mode);
    return timer;
  }
  void Destroy(ObjectRecord* object) {
    std::erase(objects_, object);
    RuntimeUnlockObject(object);
  }
  static void Arm(ObjectRecord* timer, int32_t mode) { timerModeSetter(timer, 0, mode); }

  void Task(void (*run)(void*), uint32_t interval) { tasks_.push_back(AddPeriodicTask(run, nullptr, interval)); }

  const WindowServices* previous_ = nullptr;
  UINT_PTR watchdog_ = 0;
  ClassRecord* timerClass_ = nullptr;
  ScratchClasses classes_;  // destroyed after TearDown has released every object
  std::vector<ObjectRecord*> objects_;
  std::vector<PeriodicTask*> tasks_;
};

TEST_F(EventLoopTest, ASingleShotFiresOnePeriodAfterItsModeReadsModeZeroAndMayBeArmedAgain) {
  Timer("shot", 250, 1, [](ObjectRecord* t, int n) {
    if (n == 1) Arm(t, 1);
  });
  Timer("end", 1200, 1, CloseWindows);
  ASSERT_EQ(RunFirings(), (Names{"shot", "shot", "end"}));
  EXPECT_EQ(gFirings[0].mode, 0);
  EXPECT_GE(gFirings[1].tick - gFirings[0].tick, 250u);
}

TEST_F(EventLoopTest, SettingThePeriodKeepsThePhase) {
  // Created in this order so that, should a slow machine bring two due
  // times into one step, list order still gives the expected sequence.
  uint32_t armed = GetTickCount();
  Timer("reference", 700, 1, CloseWindows);
  ObjectRecord* main = Timer("main", 1000, 2);
  Timer("helper", 300, 1, [main](ObjectRecord*, int) { timerPeriodSetter(main, 0, 500); });
  // Counted from its Mode, "main" is due at 500; counted from the change of
  // Period (at 300 or later) it would come after "reference".
  ASSERT_EQ(RunFirings(), (Names{"helper", "main", "reference"}));
  EXPECT_GE(gFirings[1].tick - armed, 500u);
}

TEST_F(EventLoopTest, SettingTheModeAgainRestartsTheInterval) {
  ObjectRecord* main = Timer("main", 500, 2, CloseWindows);
  Timer("helper", 300, 1, [main](ObjectRecord*, int) { Arm(main, 2); });
  Timer("reference", 650, 1);
  ASSERT_EQ(RunFirings(), (Names{"helper", "reference", "main"}));
}

TEST_F(EventLoopTest, ALateTimerFiresOnceAndThenOnePeriodLater) {
  Timer("late", 50, 2, [](ObjectRecord*, int n) {
    if (n == 1) Sleep(320);  // six periods and more
    if (n == 3) gWindowsOpen = false;
  });
  ASSERT_EQ(RunFirings(), (Names{"late", "late", "late"}));
  // No catching up: the third firing waits a whole period after the second.
  EXPECT_GE(gFirings[2].tick - gFirings[1].tick, 50u);
}

TEST_F(EventLoopTest, DueTimersFireInListOrderNewestFirstAndHandlersMayDestroyAnyTimer) {
  Timer("end", 20, 1, CloseWindows);
  Timer("self", 20, 1, [this](ObjectRecord* t, int) { Destroy(t); });
  ObjectRecord* victim = Timer("victim", 20, 1);
  // Walked first, it destroys the timer the walk would take next.
  Timer("killer", 20, 1, [this, victim](ObjectRecord*, int) { Destroy(victim); });
  Sleep(60);
  EXPECT_EQ(RunFirings(), (Names{"killer", "self", "end"}));
  EXPECT_EQ(gSteps, 1);
}

// WM_QUIT is not dispatched: no mouse tracking, no shortcut.
TEST_F(EventLoopTest, AStepRunsItsPartsInOrderAndAPostedQuitEndsTheRunAfterIt) {
  Task([](void*) { Log("periodic"); }, 0);
  SetSerialPoller([] { Log("serial"); });
  Timer("timer", 10, 1);
  Sleep(30);
  PostQuitMessage(0);
  RuntimeRun();
  EXPECT_EQ(gLog, (Names{"update", "idle", "timer", "serial", "noWindowOpen", "periodic", "closeAll"}));
}

TEST_F(EventLoopTest, InMdiModeClosingTheLastWindowDoesNotEndTheRun) {
  SetMdiMode(true, nullptr);
  gWindowsOpen = false;
  Timer("quit", 150, 1, [](ObjectRecord*, int) { PostQuitMessage(0); });
  EXPECT_EQ(RunFirings(), (Names{"quit"}));
}

TEST_F(EventLoopTest, WithNothingTimeDrivenThePumpBlocksUntilAMessageComesUnlessTheMouseIsCaptured) {
  std::thread poster([thread = GetCurrentThreadId()] {
    Sleep(250);
    PostThreadMessageA(thread, kHello, 0, 0);
  });
  gCloseAfterSteps = 1;
  RuntimeRun();
  poster.join();
  EXPECT_EQ(Logged("track"), 1) << "the step did not get the message";
  Reset();
  gCaptured = true;
  gCloseAfterSteps = 50;
  RuntimeRun();
  EXPECT_EQ(gSteps, 50);  // had it blocked, only the watchdog's message would have moved it on
}

// A serial line: bytes reach the driver at any time, the receive buffer when the pump polls.
std::atomic<bool> gInDriver{false};
bool gInBuffer = false;
void PollLine() {
  if (gInDriver.exchange(false)) gInBuffer = true;
}

TEST_F(EventLoopTest, ATimerThatFallsDueAfterASleepFindsWhatArrivedDuringIt) {
  gInDriver = gInBuffer = false;
  SetSerialPoller(PollLine);
  bool found = false;
  Timer("reader", 400, 1, [&found](ObjectRecord*, int) {
    found = gInBuffer;
    gWindowsOpen = false;
  });
  std::thread line([] {
    Sleep(50);
    gInDriver = true;
  });
  RuntimeRun();
  line.join();
  EXPECT_TRUE(found) << "the bytes waited in the driver until after the timer";
  EXPECT_LE(gSteps, 10);  // and the pump slept: one that asked again at once takes thousands of steps
}

PeriodicTask *gVictim = nullptr, *gKiller = nullptr;

TEST_F(EventLoopTest, APeriodicTaskRunsAtItsIntervalAndMayRemoveItselfOrTheTaskAfterIt) {
  Task(RecordTick, 2);  // 32 ms
  gVictim = AddPeriodicTask([](void*) { Log("victim"); }, nullptr, 0);
  gKiller = AddPeriodicTask(  // walked first: the newest
      [](void*) {
        Log("killer");
        if (gVictim) RemovePeriodicTask(std::exchange(gVictim, nullptr));
        if (Logged("killer") == 3) RemovePeriodicTask(gKiller);
      },
      nullptr, 0);
  Timer("end", 400, 1, CloseWindows);
  RuntimeRun();
  EXPECT_EQ((std::vector<long>{Logged("victim"), Logged("killer")}), (std::vector<long>{0, 3}));
  ASSERT_GE(gTaskTicks.size(), 3u);
  for (size_t i = 1; i < gTaskTicks.size(); ++i) EXPECT_GT(gTaskTicks[i] - gTaskTicks[i - 1], 16u) << "run " << i;
}

TEST_F(EventLoopTest, BackgroundTaskRunsDueTasksAtMostOncePerTickAndReadsNoMessages) {
  Task(RecordTick, 0);
  PostThreadMessageA(GetCurrentThreadId(), kHello, 0, 0);
  uint32_t start = GetTickCount();
  while (GetTickCount() - start < 60) RuntimeBackgroundTask();
  ASSERT_GE(gTaskTicks.size(), 2u);
  size_t sameTick = 0;
  for (size_t i = 1; i < gTaskTicks.size(); ++i) sameTick += gTaskTicks[i] <= gTaskTicks[i - 1];
  EXPECT_EQ(sameTick, 0u) << "of " << gTaskTicks.size() << " runs";
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, kHello);
  EXPECT_TRUE(gLog.empty()) << "a background task ran a part of the pump's step";
}

// The handler that runs `gOpenerLoop` on its first run; how deeply its runs
// nest (2: it ran inside its own loop), and the line's polls inside it.
std::function<void()> gOpenerLoop;
int gDepth = 0, gDeepest = 0, gPollsInside = 0;
void RunOpener() {
  gDeepest = std::max(gDeepest, ++gDepth);
  if (gOpenerLoop) std::exchange(gOpenerLoop, nullptr)();
  --gDepth;
}

// The opener is a periodic task when the parameter says so, else a timer.
class ModalLoopTest : public EventLoopTest, public testing::WithParamInterface<bool> {};
INSTANTIATE_TEST_SUITE_P(ByTimerOrTask, ModalLoopTest, testing::Bool());

// A message box's loop runs the pump's time-driven work. A pump run inside the
// handler (a modal window's) neither spins on that handler, taking it for due,
// nor is woken by the box's Win32 timer left behind.
TEST_P(ModalLoopTest, InsideAHandlerTimedWorkGoesOnAndThePumpSleepsButThatHandlerNeverRunsAgain) {
  int ticksInBox = 0, stepsInPump = 0;
  gDepth = gDeepest = gPollsInside = 0;
  ObjectRecord* ticker = Timer("ticker", 20, 2, [&ticksInBox](ObjectRecord*, int) {
    if (gDepth && ++ticksInBox >= 3 && gPollsInside >= 3) CloseBox();
  });
  ObjectRecord* end = Timer("end", 400, 0, CloseWindows);
  gOpenerLoop = [&] {
    RuntimeMsgBox(nullptr);
    Arm(ticker, 0);
    Arm(end, 1);
    int before = gSteps;
    while (gWindowsOpen) RunPumpStep();
    stepsInPump = gSteps - before;
  };
  SetSerialPoller([] { gPollsInside += gDepth > 0; });
  if (GetParam())
    Task([](void*) { RunOpener(); }, 1);
  else
    Timer("opener", 20, 2, [](ObjectRecord*, int) { RunOpener(); });
  RuntimeRun();
  EXPECT_GE(ticksInBox, 3);  // only the ticker closes the box, once the line too was polled three times in it
  EXPECT_EQ(gDeepest, 1);
  EXPECT_LE(stepsInPump, 10);
}

// A step takes every message waiting, and the characters TranslateMessage
// makes of its key-downs, up to a bound that leaves a flood's step its timers.
TEST_F(EventLoopTest, AStepHandlesEveryMessageWaitingUpToABound) {
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_TRUE(window);
  for (UINT vk : {'A', 'B'}) {
    LPARAM scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC) << 16;
    PostMessageA(window, WM_KEYDOWN, vk, scan | 1);
    PostMessageA(window, WM_KEYUP, vk, scan | 0xC0000001);
  }
  RunPumpStep();
  EXPECT_EQ(Logged("track"), 6) << "each key's down, up and character";
  DestroyWindow(window);
  Reset();
  for (int i = 0; i < 40; ++i) PostThreadMessageA(GetCurrentThreadId(), kHello, 0, 0);
  RunPumpStep();
  EXPECT_EQ(Logged("track"), 32);
}

}  // namespace
