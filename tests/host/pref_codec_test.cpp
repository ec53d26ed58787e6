// The preference line format: escaping by example, the unescaping rule that
// resumes after each produced byte, line splitting, and escape/unescape as
// inverses over random bytes (under the sanitizers, which also catch a
// write past the documented capacity).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "app/pref_codec.h"

namespace {

std::string Escape(const std::string& s) {
  std::vector<char> out(PrefEscapedCapacity(s.size()) + 1);
  return std::string(out.data(), PrefEscape(s.data(), s.size(), out.data()));
}

std::string Unescape(const std::string& s) {
  std::vector<char> out(s.size() + 1);
  return std::string(out.data(), PrefUnescape(s.data(), s.size(), out.data()));
}

TEST(PrefCodec, EscapingAsTheFileStoresIt) {
  EXPECT_EQ(Escape("Vellory Prefs"), "Vellory%20Prefs");
  EXPECT_EQ(Escape("a=b%c"), "a%3Db%25c");
  EXPECT_EQ(Escape("line\r\nnext\t"), "line%0D%0Anext%09");
  EXPECT_EQ(Escape(std::string("\x7F\x80\x00!", 4)), std::string("%7F\x80%00!"));
  EXPECT_EQ(Escape(""), "");
}

TEST(PrefCodec, UnescapingResumesAfterEachProducedByte) {
  EXPECT_EQ(Unescape("%2541"), "%41");
  EXPECT_EQ(Unescape("Vellory%20Prefs"), "Vellory Prefs");
  EXPECT_EQ(Unescape("%0d%0A"), "\r\n");
  EXPECT_EQ(Unescape("100%"), "100%");
  EXPECT_EQ(Unescape("%4"), "%4");
  EXPECT_EQ(Unescape("%G1x"), "%G1x");
}

TEST(PrefCodec, LinesSplitAtTheFirstEqualsSign) {
  auto split = [](const std::string& line, std::string& name, std::string& value) {
    PrefSpan n{}, v{};
    if (!PrefSplitLine(line.data(), line.size(), &n, &v)) return false;
    name.assign(n.bytes, n.length);
    value.assign(v.bytes, v.length);
    return true;
  };
  std::string name, value;
  ASSERT_TRUE(split("  Baud = 12 \r", name, value));
  EXPECT_EQ(name, "Baud");
  EXPECT_EQ(value, "12");
  ASSERT_TRUE(split("InputView =", name, value));
  EXPECT_EQ(value, "");
  ASSERT_TRUE(split("a = b = c", name, value));
  EXPECT_EQ(value, "b = c");
  EXPECT_FALSE(split("", name, value));
  EXPECT_FALSE(split("   ", name, value));
  EXPECT_FALSE(split("; comment = x", name, value));
  EXPECT_FALSE(split("# comment = x", name, value));
  EXPECT_FALSE(split("no equals sign", name, value));
}

TEST(PrefCodec, AnyBytesSurviveAFileLine) {
  std::mt19937 random(42);
  for (int round = 0; round < 2000; ++round) {
    std::string text(random() % 40, '\0');
    for (char& c : text) c = static_cast<char>(random() % 256);
    std::string escaped = Escape(text);
    EXPECT_EQ(escaped.find_first_of(std::string(" =\r\n\t\x7F", 7)), std::string::npos);
    std::string line = Escape("Key") + " = " + escaped;
    PrefSpan n{}, v{};
    ASSERT_TRUE(PrefSplitLine(line.data(), line.size(), &n, &v));
    ASSERT_EQ(Unescape(std::string(v.bytes, v.length)), text) << "round " << round;
  }
}

}  // namespace
