// The one-running-copy claim between processes. The unit test program
// starts itself again as the later copy: a disabled test, run only by such
// a start, claims the name it finds in its environment and ends with the
// answer as its exit status.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "objects/builtin_classes.h"
#include "objects/strings.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"
#include "tools/time_scale.h"
#include "ui/native_window.h"

namespace {

constexpr DWORD kClaimed = 10, kRefused = 20;
constexpr char kNameVariable[] = "VELLORY_CLAIM_TEST_NAME";

bool Claim(const std::string& name) { return RuntimeClaimInstance(StringRef::Adopt(NewString(name)).get()); }

// Signalled by the later copy just before it claims.
std::string ReadyEventName(const std::string& name) { return name + " (test copy ready)"; }

TEST(InstanceClaimLaterCopy, DISABLED_ClaimsTheNameItIsGiven) {
  char name[256];
  DWORD length = GetEnvironmentVariableA(kNameVariable, name, sizeof name);
  if (!length || length >= sizeof name) GTEST_SKIP() << "only for a copy the claim tests start";
  if (HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, ReadyEventName(name).c_str())) SetEvent(ready);
  ExitProcess(Claim(name) ? kClaimed : kRefused);
}

// Answers this thread's window messages until `done` holds or `ms` (scaled)
// have passed; whether it held.
template <typename Done>
bool PumpUntil(Done done, DWORD ms) {
  for (DWORD start = GetTickCount(); !done();) {
    if (GetTickCount() - start >= ms * TimeScale()) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    for (MSG m; PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&m);
  }
  return true;
}

class InstanceClaim : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA wc = {0, ZBWindowProc, 0, 4, GetModuleHandleA(nullptr), nullptr, nullptr, nullptr, nullptr, "ZBWindow"};
    RegisterClassA(&wc);  // fails harmlessly when registered already
    ready_ = CreateEventA(nullptr, TRUE, FALSE, ReadyEventName(name_).c_str());
  }
  void TearDown() override {
    for (NativeWindow* n : {first_, other_})
      if (n) n->Destroy();
    for (HANDLE h : {copy_, ready_}) CloseHandle(h);
  }

  // Starts the later copy on `name`; it prints nothing unless it fails.
  void Start(const std::string& name) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string command = std::string("\"") + exe +
                          "\" --gtest_brief=1 --gtest_also_run_disabled_tests --gtest_filter=InstanceClaimLaterCopy.*";
    STARTUPINFOA start = {};
    start.cb = sizeof start;
    PROCESS_INFORMATION process{};
    ResetEvent(ready_);
    SetEnvironmentVariableA(kNameVariable, name.c_str());
    ASSERT_TRUE(CreateProcessA(exe, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process));
    SetEnvironmentVariableA(kNameVariable, nullptr);
    CloseHandle(process.hThread);
    CloseHandle(copy_);
    copy_ = process.hProcess;
  }
  bool CopyEnded() { return WaitForSingleObject(copy_, 0) == WAIT_OBJECT_0; }
  // The copy's exit status once it ended (while this thread answers its
  // windows), or STILL_ACTIVE.
  DWORD Outcome() {
    PumpUntil([this] { return CopyEnded(); }, 30000);
    DWORD status = STILL_ACTIVE;
    GetExitCodeProcess(copy_, &status);
    return status;
  }
  // A shown document window, as a Window object would have it.
  NativeWindow* Window() {
    NativeWindow* n = CreateNativeWindow("Claim test", {100, 100, 160, 300}, 8, true, true, false);
    if (n) ShowWindow(n->hwnd, SW_SHOW);
    return n;
  }

  const std::string name_ = "Vellory claim test " + std::to_string(GetCurrentProcessId());
  HANDLE ready_ = nullptr, copy_ = nullptr;
  NativeWindow *first_ = nullptr, *other_ = nullptr;
};

TEST_F(InstanceClaim, ALaterCopyIsRefusedAndBringsTheFirstCopysWindowToTheFront) {
  ASSERT_TRUE(Claim(name_));
  EXPECT_TRUE(Claim(""));
  // Another name is a claim of its own; the claim of a copy that ended is free.
  Start(name_ + " free");
  EXPECT_EQ(Outcome(), kClaimed);
  EXPECT_TRUE(Claim(name_ + " free"));
  // No window recorded: the later copy waits the five seconds for one, then
  // gives up all the same.
  DWORD start = GetTickCount();
  Start(name_);
  EXPECT_EQ(Outcome(), kRefused);
  EXPECT_GE(GetTickCount() - start, 5000u) << "gave up without waiting for the window";

  // Minimised, behind another window, and recorded only once the later copy
  // is waiting for it: restored and in front when the later copy ends.
  ASSERT_TRUE((first_ = Window()) && (other_ = Window()));
  ShowWindow(first_->hwnd, SW_MINIMIZE);
  SetForegroundWindow(other_->hwnd);
  ASSERT_TRUE(PumpUntil([this] { return IsIconic(first_->hwnd) && GetForegroundWindow() == other_->hwnd; }, 5000));
  Start(name_);
  ASSERT_TRUE(PumpUntil([this] { return WaitForSingleObject(ready_, 0) == WAIT_OBJECT_0; }, 30000));
  EXPECT_FALSE(PumpUntil([this] { return CopyEnded(); }, 300)) << "gave up before the window was recorded";
  WindowObject recorded{};
  recorded.header.cls = FindBuiltInClass("Window");
  recorded.native = first_;
  RuntimeInstanceWindow(reinterpret_cast<ObjectRecord*>(&recorded));
  EXPECT_EQ(Outcome(), kRefused);
  EXPECT_TRUE(PumpUntil([this] { return !IsIconic(first_->hwnd); }, 5000)) << "not restored";
  EXPECT_TRUE(PumpUntil([this] { return GetForegroundWindow() == first_->hwnd; }, 5000)) << "not in front";
}

}  // namespace
