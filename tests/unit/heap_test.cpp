// The small-block heap and the tagged allocator, checked against a shadow
// model: every live block's bytes stay its own until it is freed.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

#include "objects/small_heap.h"
#include "objects/tagged_alloc.h"

namespace {

TEST(SmallHeap, SizesAreCountedInWholeWords) {
  uint32_t before = SmallBlockBytesInUse();
  void* a = SmallBlockAlloc(1);
  void* b = SmallBlockAlloc(5);
  void* c = SmallBlockAlloc(0);
  EXPECT_EQ(SmallBlockBytesInUse() - before, 4u + 8u + 4u);
  SmallBlockFree(a, 1);
  SmallBlockFree(b, 5);
  SmallBlockFree(c, 0);
  EXPECT_EQ(SmallBlockBytesInUse(), before);
}

TEST(SmallHeap, AFreedSmallBlockIsReusedForItsOwnSizeOnly) {
  void* a = SmallBlockAlloc(12);
  SmallBlockFree(a, 12);
  void* other = SmallBlockAlloc(16);  // another size: another list
  EXPECT_NE(other, a);
  void* again = SmallBlockAlloc(9);  // 9 bytes round to the same 3 words
  EXPECT_EQ(again, a);
  SmallBlockFree(other, 16);
  SmallBlockFree(again, 9);
}

TEST(SmallHeap, BlocksOfOneSizeComeFromEightKilobyteChunks) {
  // 252-byte blocks (63 words, the largest listed size): 32 fit in a chunk,
  // so some pair among 33 fresh blocks lies within one chunk of each other.
  std::vector<uint8_t*> blocks;
  for (int i = 0; i < 33; ++i) blocks.push_back(static_cast<uint8_t*>(SmallBlockAlloc(252)));
  int neighbours = 0;
  for (size_t i = 1; i < blocks.size(); ++i) {
    ptrdiff_t gap = blocks[i] - blocks[i - 1];
    if (gap == 252 || gap == -252) ++neighbours;
  }
  EXPECT_GE(neighbours, 30);
  for (uint8_t* b : blocks) SmallBlockFree(b, 252);
}

TEST(SmallHeap, LargeBlocksComeAndGo) {
  uint32_t before = SmallBlockBytesInUse();
  auto* big = static_cast<uint8_t*>(SmallBlockAlloc(100000));
  big[0] = 1;
  big[99999] = 2;
  EXPECT_EQ(SmallBlockBytesInUse() - before, 100000u);
  SmallBlockFree(big, 100000);
  EXPECT_EQ(SmallBlockBytesInUse(), before);
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

TEST(TaggedAlloc, BlocksCarryTheirSizeAndALiveMarker) {
  auto* p = static_cast<uint32_t*>(TaggedAlloc(40));
  EXPECT_EQ(p[-1], kTagLive);
  EXPECT_EQ(p[-2], 40u);
  EXPECT_EQ(TaggedSize(p), 40u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(p[i], 0u);
  TaggedFree(p);
  EXPECT_EQ(p[-1], kTagReleased);
  EXPECT_FALSE(TaggedIsLive(p));
  EXPECT_EQ(TaggedSize(p), 0u);
}

TEST(TaggedAlloc, ASecondFreeIsIgnored) {
  void* p = TaggedAlloc(24);
  TaggedFree(p);
  TaggedFree(p);  // would put the block on its free list twice
  void* a = TaggedAlloc(24);
  void* b = TaggedAlloc(24);
  EXPECT_NE(a, b);
  TaggedFree(a);
  TaggedFree(b);
  TaggedFree(nullptr);
}

TEST(TaggedAlloc, ResizeKeepsTheBytesAndZeroesTheRest) {
  auto* p = static_cast<uint8_t*>(TaggedAlloc(3));
  p[0] = 'a';
  p[1] = 'b';
  p[2] = 'c';
  auto* q = static_cast<uint8_t*>(TaggedResize(p, 600));
  EXPECT_EQ(TaggedSize(q), 600u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(q), 3), "abc");
  for (int i = 3; i < 600; ++i) ASSERT_EQ(q[i], 0) << i;
  auto* r = static_cast<uint8_t*>(TaggedResize(q, 2));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(r), 2), "ab");
  TaggedFree(r);
}

}  // namespace
