// The window-program entry's view of the command line.
#include "startup/command_line.h"

#include <gtest/gtest.h>

TEST(SkipProgramName, SkipsTheNameWithItsQuotedStretchesAndTheBlanksAfterIt) {
  const std::pair<const char*, const char*> rows[] = {
      {"vellory.exe  -x y", "-x y"}, {"vellory.exe\t\x01\x1F z", "z"}, {"vellory.exe", ""}, {"", ""},
      {"\"C:\\Program Files\\v.exe\" a b", "a b"}, {"C:\\My\" \"Dir\\v.exe rest", "rest"},
      {"\"unterminated name", ""}};
  for (auto [line, rest] : rows) EXPECT_STREQ(SkipProgramName(line), rest) << line;
}
