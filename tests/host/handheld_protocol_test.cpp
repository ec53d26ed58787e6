// The handheld simulator's bytes: chunking, escapes, and the script
// language's errors (its steps are run by handheld_sim_test.sh).
#include <gtest/gtest.h>

#include "tools/handheld_sim/protocol.h"

namespace {

TEST(HandheldProtocol, ChunksEscapesAndTheirErrors) {
  EXPECT_EQ(Chunks("\002abcdef\003", 3), (std::vector<std::string>{"\002ab", "cde", "f\003"}));
  EXPECT_EQ(Unescape("a\\r\\n\\x02\\x7F\\\\\\s"), std::string("a\r\n\x02\x7F\\ "));
  EXPECT_EQ(Unescape("\\x8e\\xfA"), std::string("\x8e\xfa"));  // either case of hex digit
  for (const char* bad : {"trailing\\", "\\x4", "\\xZZ", "\\q"}) EXPECT_FALSE(Unescape(bad)) << bad;
}

TEST(HandheldProtocol, ScriptErrorsNameTheirLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"send a\nshout b\n", "line 2: unknown step \"shout\""},
      {"wait soon\n", "line 1: expected milliseconds, found \"soon\""},
      {"send-chunked 0 10 x\n", "line 1: a chunk size of 0"},
      {"\n\nraw \\x0\n", "line 3: bad escape in \"\\x0\""},
      {"take 0\n", "line 1: take needs a count"},
      {"take all\n", "line 1: expected a byte count, found \"all\""},
      {"skip-to ok\n", "line 1: expected a byte count, found \"\""},
  };
  for (const auto& [script, error] : cases) EXPECT_EQ(ParseScript(script).error, error);
  EXPECT_TRUE(ParseScript("send a\nbad\n").steps.empty());
}

}  // namespace
