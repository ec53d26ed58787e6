// Frames from the handheld: what comes out for a stream, the same frames
// however the line cuts the stream into chunks, the 64 KiB limit, and a
// frame's typed form checked against typing its bytes into a text. Then the
// handheld simulator's bytes: chunking, escapes, and the script language's
// errors (its steps are run by handheld_sim_test.sh).
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

std::vector<std::string> Frames(const std::vector<std::string>& chunks) {
  Assembler a;
  for (const std::string& c : chunks) a.Feed(c);
  return a.frames;
}

using V = std::vector<std::string>;

const struct {
  const char* name;
  std::string stream;
  V frames;
} kStreams[] = {
    {"two frames back to back", "\x02ghi\x03\x02jk\x03", {"ghi", "jk"}},
    {"two backspace frames", "\x02\x08\x03\x02\x08\x03", {"^<", "^<"}},
    {"a backspace frame, then text", "\x02\x08\x03\x02x\x03", {"^<", "x"}},
    {"a word and a backspace", "\x02hello\x08\x03", {"hell"}},
    {"backspaces past the frame's start", "\x02" "a\x08\x08" "b\x03", {"<b"}},
    {"a letter taken back", "\x02" "a\x08\x03", {""}},
    {"a command frame untouched", "\x02\x01ping\x08\x03", {"command \x01ping\x08"}},
    {"STX drops a frame whose end never came", "\x02" "ab\x02" "cd\x03", {"cd"}},
    {"text before any STX", "op\x03", {"op"}},
    {"ETX inside a chunk", "\x02mn\x03op\x03", {"mn", "op"}},
    {"empty frames and stray ETX", "\x02\x03\x03\x02\x03", {}},
    {"a frame left open", "\x02" "abc", {}},
};

TEST(FrameAssembler, StreamsGiveTheirFramesInOrderHoweverTheLineCutsThem) {
  std::string stream;
  V expected;
  for (const auto& c : kStreams) {
    EXPECT_EQ(Frames({c.stream}), c.frames) << c.name;
    stream += c.stream + "\x02";  // a frame left open ends at the next STX
    expected.insert(expected.end(), c.frames.begin(), c.frames.end());
  }
  V bytes;
  for (char c : stream) bytes.push_back(std::string(1, c));
  ASSERT_EQ(Frames(bytes), expected) << "a byte at a time";
  for (size_t i = 0; i <= stream.size(); ++i)
    for (size_t j = i; j <= stream.size(); j += 7)
      ASSERT_EQ(Frames({stream.substr(0, i), stream.substr(i, j - i), stream.substr(j)}), expected)
          << "cut at " << i << " and " << j;
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
