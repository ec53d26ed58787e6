// The control kinds' pure rules: rows and tabs from their stored texts, the
// indeterminate progress bar's sweep, and lying on a tab panel.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/kind_rules.h"

namespace {

using Items = std::vector<std::string>;

TEST(KindRules, PopupRowsEndAtEachCarriageReturnAndKeepAStrayControlByte) {
  EXPECT_EQ(SplitItems("5\r6\r7\r8\x01\r", '\r'), (Items{"5", "6", "7", "8\x01"}));
  EXPECT_EQ(SplitItems("300\r600\r1200\r", '\r'), (Items{"300", "600", "1200"}));
  EXPECT_EQ(SplitItems("None\rEven\rOdd", '\r'), (Items{"None", "Even", "Odd"}));
}

TEST(KindRules, EmptyPiecesBeforeACarriageReturnAreRowsButNotAnEmptyTail) {
  EXPECT_EQ(SplitItems("", '\r'), Items{});
  EXPECT_EQ(SplitItems("Choose...", '\r'), Items{"Choose..."});
  EXPECT_EQ(SplitItems("\r", '\r'), Items{""});
  EXPECT_EQ(SplitItems("a\r\rb", '\r'), (Items{"a", "", "b"}));
  EXPECT_EQ(SplitItems("a\r\r", '\r'), (Items{"a", ""}));
  EXPECT_EQ(SplitItems("\ra", '\r'), (Items{"", "a"}));
}

TEST(KindRules, TabTitlesEndAtZeroBytes) {
  std::string stored("General\0Game Mode\0Connection", 28);
  EXPECT_EQ(SplitItems(stored, '\0'), (Items{"General", "Game Mode", "Connection"}));
  EXPECT_EQ(SplitItems(std::string("One\0", 4), '\0'), Items{"One"});
  EXPECT_EQ(SplitItems("No zero byte", '\0'), Items{"No zero byte"});
}

// Width 32: the block has the places 0 to 3 (x = 0, 8, 16, 24).
TEST(KindRules, TheSweepGoesBackAndForthAsDescribed) {
  Sweep s;
  std::vector<int> seen;
  for (int i = 0; i < 12; ++i) {
    StepSweep(s, 32);
    seen.push_back(s.position);
  }
  // Forwards to 4, which turns it back at 3; below 0 turns it forwards at 1.
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 3, 2, 1, 0, 1, 2, 3, 3, 2}));
}

TEST(KindRules, TheSweepOfABarNinetyNinePixelsWideStaysInsideIt) {
  Sweep s;
  int highest = 0, lowest = 99;
  for (int i = 0; i < 100; ++i) {
    StepSweep(s, 99);
    highest = std::max(highest, s.position);
    lowest = std::min(lowest, s.position);
  }
  EXPECT_EQ(highest, 11);  // 99 / 8 - 1: x = 88, the block ends at 94
  EXPECT_EQ(lowest, 0);
}

TEST(KindRules, AControlLiesOnAPanelOnlyWhenEntirelyInside) {
  ShortRect panel = {3, 2, 256, 298};  // top, left, bottom, right
  EXPECT_TRUE(LiesInside({44, 13, 60, 147}, panel));
  EXPECT_TRUE(LiesInside(panel, panel));  // edges may touch
  EXPECT_FALSE(LiesInside({250, 13, 270, 147}, panel));  // reaches below
  EXPECT_FALSE(LiesInside({44, 0, 60, 100}, panel));     // starts left of it
  EXPECT_FALSE(LiesInside({263, 154, 283, 214}, panel));  // wholly outside
}

}  // namespace
