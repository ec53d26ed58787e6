// The one-running-copy claim between processes. The unit test program
// starts itself again as the later copy: a disabled test, run only by such
// a start, claims the name it finds in its environment and ends with the
// answer as its exit status.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "objects/strings.h"
#include "sdk/vellory.h"
#include "tools/time_scale.h"

namespace {

constexpr DWORD kClaimed = 10, kRefused = 20;
constexpr char kNameVariable[] = "VELLORY_CLAIM_TEST_NAME";

bool Claim(const std::string& name) { return RuntimeClaimInstance(StringRef::Adopt(NewString(name)).get()); }

TEST(InstanceClaimLaterCopy, DISABLED_ClaimsTheNameItIsGiven) {
  char name[256];
  DWORD length = GetEnvironmentVariableA(kNameVariable, name, sizeof name);
  if (!length || length >= sizeof name) GTEST_SKIP() << "only for a copy the claim tests start";
  ExitProcess(Claim(name) ? kClaimed : kRefused);
}

class InstanceClaim : public testing::Test {
 protected:
  void TearDown() override { CloseHandle(copy_); }

  // Starts the later copy on `name`; it prints nothing unless it fails.
  void Start(const std::string& name) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string command = std::string("\"") + exe +
                          "\" --gtest_brief=1 --gtest_also_run_disabled_tests --gtest_filter=InstanceClaimLaterCopy.*";
    STARTUPINFOA start = {};
    start.cb = sizeof start;
    PROCESS_INFORMATION process{};
    SetEnvironmentVariableA(kNameVariable, name.c_str());
    ASSERT_TRUE(CreateProcessA(exe, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process));
    SetEnvironmentVariableA(kNameVariable, nullptr);
    CloseHandle(process.hThread);
    CloseHandle(copy_);
    copy_ = process.hProcess;
  }
  // The copy's exit status once it ended, or STILL_ACTIVE.
  DWORD Outcome() {
    WaitForSingleObject(copy_, 30000 * TimeScale());
    DWORD status = STILL_ACTIVE;
    GetExitCodeProcess(copy_, &status);
    return status;
  }

  const std::string name_ = "Vellory claim test " + std::to_string(GetCurrentProcessId());
  HANDLE copy_ = nullptr;
};

// The first copy's window restored and brought to the front is app_single_copy's.
TEST_F(InstanceClaim, ALaterCopyIsRefusedAndWaitsForTheFirstCopysWindow) {
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
}

}  // namespace
