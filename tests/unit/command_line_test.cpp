// The window-program entry's view of the command line.
#include "startup/command_line.h"

#include <gtest/gtest.h>

TEST(SkipProgramName, SkipsTheNameAndTheBlanksAfterIt) {
  EXPECT_STREQ(SkipProgramName("vellory.exe  -x y"), "-x y");
  EXPECT_STREQ(SkipProgramName("vellory.exe\t\x01\x1F z"), "z");
  EXPECT_STREQ(SkipProgramName("vellory.exe"), "");
  EXPECT_STREQ(SkipProgramName(""), "");
}

TEST(SkipProgramName, AQuotedStretchBelongsToTheName) {
  EXPECT_STREQ(SkipProgramName("\"C:\\Program Files\\v.exe\" a b"), "a b");
  EXPECT_STREQ(SkipProgramName("C:\\My\" \"Dir\\v.exe rest"), "rest");
  EXPECT_STREQ(SkipProgramName("\"unterminated name"), "");
}
