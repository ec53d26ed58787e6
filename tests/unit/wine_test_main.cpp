// Test entry for the runtime's tests under Wine: the allocator lock exists
// before any test allocates, as it does in the program.
#include <gtest/gtest.h>

#include "objects/small_heap.h"

int main(int argc, char** argv) {
  InitAllocatorLock();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
