// The preference line format: escaping by example, and escape/unescape as
// inverses over random bytes through a file line (the sanitizers catch a
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

TEST(PrefCodec, EscapingAsTheFileStoresItAndUnescapingResumesAfterEachProducedByte) {
  const std::pair<std::string, std::string> both[] = {
      {"Vellory Prefs", "Vellory%20Prefs"}, {"a=b%c", "a%3Db%25c"}, {"line\r\nnext\t", "line%0D%0Anext%09"},
      {std::string("\x7F\x80\x00!", 4), "%7F\x80%00!"}, {"", ""}};
  for (const auto& [plain, escaped] : both) {
    EXPECT_EQ(Escape(plain), escaped);
    EXPECT_EQ(Unescape(escaped), plain);
  }
  const std::pair<const char*, const char*> read[] = {
      {"%2541", "%41"}, {"%0d%0A", "\r\n"}, {"100%", "100%"}, {"%4", "%4"}, {"%G1x", "%G1x"}, {"a%41", "aA"}};
  for (const auto& [escaped, plain] : read) EXPECT_EQ(Unescape(escaped), plain) << escaped;
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
