// Handlers that close their own window while the application's Close handler
// drops its reference: what raised the event must hold what it touches, the
// objects go once the handler has returned, and nothing points at them then.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "described_window.h"
#include "menu_test_support.h"
#include "objects/class_table.h"
#include "recorded_assertions.h"
#include "ui/focus.h"
#include "ui/runtime_ui.h"
#include "ui/timers.h"

namespace {

using menutest::Code;
using menutest::gLog;
using Names = std::vector<std::string>;

ObjectRecord* gSlot = nullptr;  // the application's reference to the window

void Log(const std::string& s) { gLog.push_back(s); }

// The application's Close handler lets go of its window.
void __cdecl ReleaseSlot(ObjectRecord* window) {
  Log("close");
  if (gSlot != window) return;
  gSlot = nullptr;
  RuntimeUnlockObject(window);
}
void __cdecl WindowGone(ObjectRecord*, ClassRecord*) { Log("window gone"); }
void __cdecl TimerGone(ObjectRecord*, ClassRecord*) { Log("timer gone"); }

// What a handler does: closes `window`, then goes on.
void CloseFrom(const std::string& handler, ObjectRecord* window) {
  Log(handler);
  RuntimeCloseWindow(window);
  Log(handler + " done");
}
void __cdecl OpenCloses(ObjectRecord* window) { CloseFrom("open", window); }
bool __cdecl MouseDownCloses(ObjectRecord* window, int, int) {
  CloseFrom("mouse down", window);
  return true;  // asks for the release: the window is gone by then
}
void __cdecl ActionCloses(ObjectRecord* timer) {
  CloseFrom("action", reinterpret_cast<ControlObject*>(timer)->window);
  timerModeSetter(timer, 0, 0);  // the handler still uses its timer
}

class EventHolds : public testing::Test {
 protected:
  void SetUp() override {
    RegisterBuiltInClasses();
    RegisterRuntimeWindowClasses();
    gLog.clear();
    window_ = classes_.Make("ClosingWindow", "Window", {{"Close", Code(ReleaseSlot)}});
    window_->destructor = Code(WindowGone);
    live_ = LiveObjectCount();
  }
  void TearDown() override {
    EXPECT_EQ(LiveObjectCount(), live_) << "something was released twice or not at all";
    EXPECT_TRUE(assertions_.seen.empty()) << assertions_.seen.front();
    SetClassTable(nullptr, 0);
  }

  menutest::ScratchClasses classes_;
  ClassRecord* window_ = nullptr;
  RecordedAssertions assertions_;
  int32_t live_ = 0;
};

TEST_F(EventHolds, AnOpenHandlerThatClosesItsWindow) {
  AddEventHandler(window_, "Open", Code(OpenCloses), 0);
  ClassRecord* table[] = {window_};
  SetClassTable(table, 1);
  const std::vector<uint8_t> s(4, 0);  // packed zeros: no properties, class 0, no controls or bindings
  EXPECT_EQ(CreateDescribedWindow(s, &gSlot), nullptr);
  EXPECT_EQ(gSlot, nullptr);
  EXPECT_EQ(gLog, (Names{"open", "close", "open done", "window gone"}));
}

TEST_F(EventHolds, AMouseDownHandlerThatClosesItsWindowAndAsksForTheRelease) {
  AddEventHandler(window_, "MouseDown", Code(MouseDownCloses), 0);
  WindowObject* w = menutest::OpenWindow(window_, "Closing on a click");
  gSlot = &w->header;
  SendMessageA(w->native->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(CurrentMouseOwner().object, nullptr) << "a closed window owns the mouse";
  EXPECT_EQ(gLog, (Names{"mouse down", "close", "mouse down done", "window gone"}));
}

TEST_F(EventHolds, ATimerWhoseActionClosesItsWindow) {
  ClassRecord* timerClass = classes_.Make("ClosingTimer", "Timer", {{"Action", Code(ActionCloses)}});
  timerClass->destructor = Code(TimerGone);
  WindowObject* w = menutest::OpenWindow(window_, "Closing on a tick");
  gSlot = &w->header;
  ObjectRecord* timer = NewObjectOfClass(timerClass);
  reinterpret_cast<ControlObject*>(timer)->window = &w->header;
  InsertControl(w->controls, "Ticker", timer);
  RuntimeUnlockObject(timer);  // the window's dictionary holds it
  timerPeriodSetter(timer, 0, 0);
  timerModeSetter(timer, 0, 2);
  for (DWORD start = GetTickCount(); gLog.empty() && GetTickCount() - start < 5000;) FireDueTimers();
  // The window goes with its closing; the timer once its handler is done.
  EXPECT_EQ(gLog, (Names{"action", "close", "window gone", "action done", "timer gone"}));
}

TEST_F(EventHolds, ALostFocusHandlerThatClosesTheWindowOfThePaneGainingFocus) {
  WindowObject* a = menutest::OpenWindow(window_, "Losing");
  WindowObject* b = menutest::OpenWindow(window_, "Gaining");
  menutest::FakePane* gaining = menutest::AddFakeControl(b, "Gaining");
  menutest::FakePane* losing = menutest::AddFakeControl(a, "Losing");
  SetActivePane(losing);
  gSlot = &b->header;
  losing->closesOnLosingFocus = b;
  gLog.clear();
  SetActivePane(gaining);
  EXPECT_EQ(ActivePane(), nullptr) << "the focus went to a closed pane";
  EXPECT_EQ(gLog, (Names{"close", "window gone"}));
  menutest::Dispose(a);
}

}  // namespace
