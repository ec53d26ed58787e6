// Test entry for the runtime's tests under Wine: the allocator lock exists
// before any test allocates, and the layers' hooks are in before any class is
// looked up, as in the program. A crash fails the run: left to Wine's
// debugger, a page fault in these tests has ended the process with status 0,
// which CTest takes for a pass.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

#include "objects/small_heap.h"
#include "startup/layer_hooks.h"
#include "tests/fuzz/watchdog.h"

namespace {

LONG WINAPI FailOnCrash(EXCEPTION_POINTERS* info) {
  watchdog::Report("crashed");  // when a fuzz input was running, which
  const EXCEPTION_RECORD* e = info->ExceptionRecord;
  std::fprintf(stderr, "unhandled exception 0x%08lx at %p: the test run fails\n", e->ExceptionCode,
               e->ExceptionAddress);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int main(int argc, char** argv) {
  SetUnhandledExceptionFilter(FailOnCrash);
  InitAllocatorLock();
  InstallLayerHooks();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
