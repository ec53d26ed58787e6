// The small-block heap and the tagged allocator, checked against a shadow
// model: every live block's bytes stay its own until it is freed.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "objects/small_heap.h"
#include "objects/tagged_alloc.h"

namespace {

TEST(SmallHeap, SizesAreCountedInWholeWordsOnBothSidesOfTheListLimit) {
  // 252 bytes is the largest listed size, 253 the first from the process heap.
  const struct {
    uint32_t bytes, counted;
  } rows[] = {{0, 4}, {1, 4}, {5, 8}, {252, 252}, {253, 256}, {256, 256}, {100000, 100000}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.bytes);
    uint32_t before = SmallBlockBytesInUse();
    auto* b = static_cast<uint8_t*>(SmallBlockAlloc(row.bytes));
    b[0] = 1;
    b[row.counted - 1] = 2;
    EXPECT_EQ(SmallBlockBytesInUse() - before, row.counted);
    SmallBlockFree(b, row.bytes);
    EXPECT_EQ(SmallBlockBytesInUse(), before);
  }
}

TEST(SmallHeap, AFreedBlockIsReusedForItsOwnSizeOnly) {
  void* a = SmallBlockAlloc(12);
  SmallBlockFree(a, 12);
  void* other = SmallBlockAlloc(16);  // another size: another list
  EXPECT_NE(other, a);
  void* again = SmallBlockAlloc(9);  // 9 bytes round to the same 3 words
  EXPECT_EQ(again, a);
  SmallBlockFree(other, 16);
  SmallBlockFree(again, 9);
}

TEST(SmallHeap, LiveBlocksNeverOverlap) {
  std::mt19937 rng(7);
  std::map<uint8_t*, std::pair<uint32_t, uint8_t>> live;  // block -> size, fill
  for (int step = 0; step < 20000; ++step) {
    if (live.empty() || rng() % 3 != 0) {
      uint32_t size = rng() % 4 == 0 ? 256 + rng() % 2000 : 1 + rng() % 255;
      auto* b = static_cast<uint8_t*>(SmallBlockAlloc(size));
      uint8_t fill = static_cast<uint8_t>(rng());
      memset(b, fill, size);
      live[b] = {size, fill};
    } else {
      auto it = std::next(live.begin(), rng() % live.size());
      for (uint32_t i = 0; i < it->second.first; ++i)
        ASSERT_EQ(it->first[i], it->second.second) << "block overwritten at byte " << i;
      SmallBlockFree(it->first, it->second.first);
      live.erase(it);
    }
  }
  for (auto& [b, info] : live) SmallBlockFree(b, info.first);
}

TEST(TaggedAlloc, BlocksCarryTheirSizeAndAMarkerThatStopsASecondFree) {
  auto* p = static_cast<uint32_t*>(TaggedAlloc(40));
  EXPECT_EQ(p[-1], kTagLive);
  EXPECT_EQ(TaggedSize(p), 40u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(p[i], 0u);
  TaggedFree(p);
  EXPECT_EQ(p[-1], kTagReleased);
  EXPECT_EQ(TaggedSize(p), 0u);
  TaggedFree(p);  // would put the block on its free list twice
  void* a = TaggedAlloc(40);
  void* b = TaggedAlloc(40);
  EXPECT_NE(a, b);
  TaggedFree(a);
  TaggedFree(b);
  TaggedFree(nullptr);
}

TEST(TaggedAlloc, ResizeKeepsTheBytesAndZeroesTheRest) {
  auto* p = static_cast<uint8_t*>(TaggedAlloc(3));
  memcpy(p, "abc", 3);
  auto* q = static_cast<uint8_t*>(TaggedResize(p, 600));
  EXPECT_EQ(TaggedSize(q), 600u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(q), 3), "abc");
  for (int i = 3; i < 600; ++i) ASSERT_EQ(q[i], 0) << i;
  auto* r = static_cast<uint8_t*>(TaggedResize(q, 2));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(r), 2), "ab");
  TaggedFree(r);
}

}  // namespace
