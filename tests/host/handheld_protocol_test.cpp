// The handheld simulator's bytes: frames, chunking, escapes, the visible form
// of what the desktop sends, and the script language with its errors.
#include <gtest/gtest.h>

#include "tools/handheld_sim/protocol.h"

namespace {

TEST(HandheldProtocol, FramesAndChunks) {
  EXPECT_EQ(Frame("ab"), "\x02" "ab\x03");
  EXPECT_EQ(Frame(""), "\x02\x03");
  EXPECT_EQ(Chunks("\x02" "abcdef\x03", 3),
            (std::vector<std::string>{"\x02" "ab", "cde", "f\x03"}));
  EXPECT_EQ(Chunks("abc", 0), (std::vector<std::string>{"abc"}));
}

TEST(HandheldProtocol, EscapesAndTheirErrors) {
  EXPECT_EQ(Unescape("a\\r\\n\\x02\\x7F\\\\\\s"), std::string("a\r\n\x02\x7F\\ "));
  EXPECT_EQ(Unescape("\\x8e\\xfA"), std::string("\x8e\xfa"));  // either case of hex digit
  EXPECT_FALSE(Unescape("trailing\\"));
  EXPECT_FALSE(Unescape("\\x4"));
  EXPECT_FALSE(Unescape("\\xZZ"));
  EXPECT_FALSE(Unescape("\\q"));
  EXPECT_EQ(Visible("hi\r\n\x02\x08"), "hi<CR><LF>\n<02><08>");
}

TEST(HandheldProtocol, ScriptsReadStepByStep) {
  Script s = ParseScript(
      "# a comment\n"
      "send hello world\n"
      "send-chunked 3 40 abc\\x08\n"
      "raw \\x02ab\n"
      "wait 150\n"
      "expect ok\\r\\n 2000\n"
      "expect x\n"
      "expect-nothing 300\n"
      "take 4000 900\n"
      "take 12\n");
  ASSERT_EQ(s.error, "");
  ASSERT_EQ(s.steps.size(), 9u);
  EXPECT_EQ(s.steps[0].bytes, "hello world");
  EXPECT_EQ(s.steps[1].chunk, 3u);
  EXPECT_EQ(s.steps[1].gapMs, 40u);
  EXPECT_EQ(s.steps[1].bytes, "abc\x08");
  EXPECT_EQ(s.steps[2].kind, ScriptStep::kRaw);
  EXPECT_EQ(s.steps[3].timeoutMs, 150u);
  EXPECT_EQ(s.steps[4].bytes, "ok\r\n");
  EXPECT_EQ(s.steps[4].timeoutMs, 2000u);
  EXPECT_EQ(s.steps[5].timeoutMs, 5000u);
  EXPECT_EQ(s.steps[6].kind, ScriptStep::kExpectNothing);
  EXPECT_EQ(s.steps[6].line, 8);
  EXPECT_EQ(s.steps[7].kind, ScriptStep::kTake);
  EXPECT_EQ(s.steps[7].chunk, 4000u);
  EXPECT_EQ(s.steps[7].timeoutMs, 900u);
  EXPECT_EQ(s.steps[8].chunk, 12u);
  EXPECT_EQ(s.steps[8].timeoutMs, 5000u);
}

TEST(HandheldProtocol, ScriptErrorsNameTheirLine) {
  EXPECT_EQ(ParseScript("send a\nshout b\n").error, "line 2: unknown step \"shout\"");
  EXPECT_EQ(ParseScript("wait soon\n").error, "line 1: expected milliseconds, found \"soon\"");
  EXPECT_EQ(ParseScript("send-chunked 0 10 x\n").error, "line 1: a chunk size of 0");
  EXPECT_EQ(ParseScript("\n\nraw \\x0\n").error, "line 3: bad escape in \"\\x0\"");
  EXPECT_EQ(ParseScript("take 0\n").error, "line 1: take needs a count");
  EXPECT_EQ(ParseScript("take all\n").error, "line 1: expected a byte count, found \"all\"");
  EXPECT_TRUE(ParseScript("send a\nbad\n").steps.empty());
}

}  // namespace
