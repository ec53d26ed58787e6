// Frames from the handheld: what comes out for a stream, the same frames
// however the line cuts the stream into chunks, the 64 KiB limit, and a
// frame's typed form checked against typing its bytes into a text.
#include "app/frame_assembler.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

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
    {"one frame", "\x02" "abc\x03", {"abc"}},
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

TEST(FrameAssembler, StreamsGiveTheirFramesInOrder) {
  for (const auto& c : kStreams) EXPECT_EQ(Frames({c.stream}), c.frames) << c.name;
}

TEST(FrameAssembler, EverySplitAndAnyChunkingGiveTheSameFrames) {
  std::string stream;
  V expected;
  for (const auto& c : kStreams) {
    stream += c.stream + "\x02";  // a frame left open ends at the next STX
    expected.insert(expected.end(), c.frames.begin(), c.frames.end());
  }
  ASSERT_EQ(Frames({stream}), expected);
  for (size_t i = 0; i <= stream.size(); ++i)
    for (size_t j = i; j <= stream.size(); j += 7)
      ASSERT_EQ(Frames({stream.substr(0, i), stream.substr(i, j - i), stream.substr(j)}), expected)
          << "cut at " << i << " and " << j;
  std::mt19937 random(20261209);
  for (int round = 0; round < 500; ++round) {
    V chunks;
    for (size_t at = 0; at < stream.size();) {
      size_t n = std::min<size_t>(stream.size() - at, random() % 9);
      chunks.push_back(stream.substr(at, n));
      at += n;
    }
    ASSERT_EQ(Frames(chunks), expected) << "round " << round;
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
  void Take() {
    text.erase(at, selected);
    selected = 0;
  }
  void Type(char c) {
    if (c != '\x08') {
      Take();
      text.insert(at++, 1, c);
    } else if (selected) {
      Take();
    } else if (at) {
      text.erase(--at, 1);
    }
  }
  // As the Writing Window applies a typed form.
  void Apply(const FrameText& t) {
    size_t erase = t.erasures;
    if (selected) {
      Take();
      if (t.firstErases) --erase;
    }
    erase = std::min(erase, at);
    text.erase(at - erase, erase);
    at -= erase;
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

}  // namespace
