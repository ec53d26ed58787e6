// Test entry for the runtime's tests under Wine: the allocator lock exists
// before any test allocates, and the layers' hooks are in before any class is
// looked up, as in the program.
#include <gtest/gtest.h>

#include "objects/small_heap.h"
#include "startup/layer_hooks.h"

int main(int argc, char** argv) {
  InitAllocatorLock();
  InstallLayerHooks();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
