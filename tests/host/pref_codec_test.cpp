// The preference line format by example, the sanitizers watching the
// documented capacity (escape and unescape as inverses over any bytes are
// fuzz_readers' "prefs" target's).
#include <gtest/gtest.h>

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
      {"a b=c%\r\n\t", "a%20b%3Dc%25%0D%0A%09"}, {std::string("\x7F\x80\x00!", 4), "%7F\x80%00!"}, {"", ""}};
  for (const auto& [plain, escaped] : both) {
    EXPECT_EQ(Escape(plain), escaped);
    EXPECT_EQ(Unescape(escaped), plain);
  }
  const std::pair<const char*, const char*> read[] = {
      {"%2541", "%41"}, {"%0d%0A", "\r\n"}, {"100%", "100%"}, {"%4", "%4"}, {"%G1x", "%G1x"}, {"a%41", "aA"}};
  for (const auto& [escaped, plain] : read) EXPECT_EQ(Unescape(escaped), plain) << escaped;
}

}  // namespace
