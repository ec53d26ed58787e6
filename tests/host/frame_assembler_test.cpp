// Frames from the handheld: what comes out for a stream, the 64 KiB limit,
// and a frame's typed form checked against typing its bytes into a text (the
// same frames however the line cuts the stream: fuzz_readers' "handheld"
// target). Then the handheld simulator's bytes: chunking, escapes, and the
// script language's errors (its steps are run by handheld_sim_test.sh).
#include "app/frame_assembler.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tools/handheld_sim/protocol.h"

namespace {

// A frame as the tests spell it: "^" when its first backspace may take a
// selection, "<" for each character it erases, then what it types.
std::string Spelled(const FrameText& t) {
  std::string typed(t.bytes, t.length);
  if (t.command) return "command " + typed;
  return (t.firstErases ? "^" : "") + std::string(t.erasures, '<') + typed;
}

// The frames (spelled) and the drops an assembler has handed over so far.
struct Assembler {
  std::unique_ptr<FrameAssembler> a{new FrameAssembler{}};
  std::vector<std::string> frames;
  int dropped = 0;
  void Feed(const std::string& bytes) {
    FrameSink sink = {this,
                      [](void* c, const FrameText& t) { static_cast<Assembler*>(c)->frames.push_back(Spelled(t)); },
                      [](void* c) { ++static_cast<Assembler*>(c)->dropped; }};
    FrameFeed(a.get(), bytes.data(), bytes.size(), sink);
  }
};

using V = std::vector<std::string>;

// Backspaces within a frame are the typed form's test below; quick backspace
// frames, each on its own, are app_conn_receive's.
TEST(FrameAssembler, StreamsGiveTheirFramesInOrder) {
  const struct {
    const char* name;
    std::string stream;
    V frames;
  } streams[] = {
      {"two frames back to back", "\x02ghi\x03\x02jk\x03", {"ghi", "jk"}},
      {"a command frame untouched", "\x02\x01ping\x08\x03", {"command \x01ping\x08"}},
      {"STX drops a frame whose end never came", "\x02" "ab\x02" "cd\x03", {"cd"}},
      {"ETX inside a chunk; text with no STX before it", "\x02mn\x03op\x03", {"mn", "op"}},
      {"empty frames and stray ETX", "\x02\x03\x03\x02\x03", {}},
      {"a frame left open", "\x02" "abc", {}},
  };
  for (const auto& c : streams) {
    Assembler a;
    a.Feed(c.stream);
    EXPECT_EQ(a.frames, c.frames) << c.name;
  }
}

TEST(FrameAssembler, ARunPastTheLimitIsDroppedOnceAndTheNextFrameComesWhole) {
  std::string full(kFrameLimit, 'a');
  Assembler a;
  a.Feed("\x02" + full + "\x03\x02" + full);
  a.Feed("b" + full);  // still the same run: dropped once
  a.Feed("more\x03\x02ok\x03" + full + "c");
  EXPECT_EQ(a.frames, (V{full, "ok"}));
  EXPECT_EQ(a.dropped, 2);
}

// A text with an insertion point or a selection, typed into as an edit
// field is: a character replaces the selection, a backspace deletes it or
// the character before the insertion point.
struct Field {
  std::string text;
  size_t at, selected;
  void Type(char c) {
    bool taken = selected;
    text.erase(at, selected), selected = 0;
    if (c != '\x08') text.insert(at++, 1, c);
    else if (!taken && at) text.erase(--at, 1);
  }
  // As the Writing Window applies a typed form.
  void Apply(const FrameText& t) {
    size_t erase = std::min<size_t>(selected && t.firstErases ? t.erasures - 1 : t.erasures, at);
    text.erase(at, selected), selected = 0;
    text.erase(at -= erase, erase);
    text.insert(at, t.bytes, t.length);
    at += t.length;
  }
};

TEST(FrameAssembler, TheTypedFormDoesWhatTypingTheFrameDoes) {
  std::mt19937 random(7);
  for (int round = 0; round < 20000; ++round) {
    Field typed{std::string(random() % 6, 'x'), 0, 0};
    typed.at = random() % (typed.text.size() + 1);
    typed.selected = random() % (typed.text.size() - typed.at + 1);
    Field applied = typed;
    std::string frame(1 + random() % 10, '\0');
    for (char& c : frame) c = random() % 3 ? static_cast<char>('a' + random() % 3) : '\x08';
    for (char c : frame) typed.Type(c);
    std::string body = frame;
    FrameText t = FrameTyped(body.data(), body.size());
    ASSERT_EQ(std::string(t.bytes, t.length).find('\x08'), std::string::npos) << frame;
    applied.Apply(t);
    ASSERT_EQ(applied.text, typed.text) << "round " << round << ", frame " << frame;
    ASSERT_EQ(applied.at, typed.at) << "round " << round;
  }
}

TEST(HandheldProtocol, ChunksEscapesAndScriptErrorsNamingTheirLine) {
  EXPECT_EQ(Chunks("\002abcdef\003", 3), (std::vector<std::string>{"\002ab", "cde", "f\003"}));
  EXPECT_EQ(Unescape("a\\r\\n\\x02\\x7F\\\\\\s"), std::string("a\r\n\x02\x7F\\ "));
  EXPECT_EQ(Unescape("\\x8e\\xfA"), std::string("\x8e\xfa"));  // either case of hex digit
  for (const char* bad : {"trailing\\", "\\x4", "\\xZZ", "\\q"}) EXPECT_FALSE(Unescape(bad)) << bad;
  const std::pair<const char*, const char*> cases[] = {
      {"send a\nshout b\n", "line 2: unknown step \"shout\""},
      {"wait soon\n", "line 1: expected milliseconds, found \"soon\""},
      {"\n\nraw \\x0\n", "line 3: bad escape in \"\\x0\""},
  };
  for (const auto& [script, error] : cases) EXPECT_EQ(ParseScript(script).error, error);
  EXPECT_TRUE(ParseScript("send a\nbad\n").steps.empty());
}

}  // namespace
