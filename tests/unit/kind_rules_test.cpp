// The control kinds' pure rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ui/kinds/kind_rules.h"

namespace {

using Items = std::vector<std::string>;

// Popup rows end at each carriage return (an empty tail is no row); tab
// titles end at zero bytes.
TEST(KindRules, StoredTextsSplitIntoRowsAndTabs) {
  const std::tuple<std::string, char, Items> rows[] = {
      {"\r", '\r', {""}},
      {"a\r\rb", '\r', {"a", "", "b"}},
      {"a\r\r", '\r', {"a", ""}},
      {std::string("One\0", 4), '\0', {"One"}},
      {"No zero byte", '\0', {"No zero byte"}},
  };
  for (const auto& [text, separator, items] : rows)
    EXPECT_EQ(SplitItems(text, separator), items) << testing::PrintToString(text);
}

// Width 32: the places 0 to 3 (x = 0, 8, 16, 24), turning at each end.
// Width 99: at most 99 / 8 - 1 (x = 88, the block ends at 94).
TEST(KindRules, TheSweepGoesBackAndForthInsideTheBar) {
  Sweep s;
  std::vector<int> seen;
  for (int i = 0; i < 12; ++i) StepSweep(s, 32), seen.push_back(s.position);
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 3, 2, 1, 0, 1, 2, 3, 3, 2}));
  Sweep wide;
  int highest = 0;
  for (int i = 0; i < 100; ++i) {
    StepSweep(wide, 99);
    highest = std::max(highest, wide.position);
  }
  EXPECT_EQ(highest, 11);
}

TEST(KindRules, AControlLiesOnAPanelOnlyWhenEntirelyInside) {
  const ShortRect panel = {3, 2, 256, 298};  // top, left, bottom, right
  const std::pair<ShortRect, bool> rows[] = {{{44, 13, 60, 147}, true},
                                             {panel, true},                 // edges may touch
                                             {{250, 13, 270, 147}, false},  // reaches below
                                             {{44, 0, 60, 100}, false}};    // starts left of it
  for (const auto& [control, inside] : rows) EXPECT_EQ(LiesInside(control, panel), inside) << control.top;
}

}  // namespace
