// The Japanese converters and the encoding table, by example.
#include <gtest/gtest.h>

#include <string>

#include "services/code_pages.h"
#include "services/japanese_encodings.h"

namespace {

// "日本" in the three encodings, and half-width katakana "ｱ".
const std::string kSjis = "\x93\xFA\x96\x7B";
const std::string kEuc = "\xC6\xFC\xCB\xDC";
const std::string kIso = "\x1B$BF|K\\\x1B(B";

TEST(JapaneseEncodings, ConversionsOfTheThreeEncodingsAndOfBrokenInputAndTheGuessBetweenThem) {
  const struct {
    std::string (*convert)(std::string_view);
    std::string in, out;
  } rows[] = {
      {EucJpToShiftJis, kEuc, kSjis},
      {ShiftJisToEucJp, kSjis, kEuc},
      {Iso2022JpToShiftJis, kIso, kSjis},
      {ShiftJisToIso2022Jp, kSjis, kIso},
      {ShiftJisToIso2022Jp, "plain", "plain"},
      {ShiftJisToEucJp, "a\xB1z", "a\x8E\xB1z"},
      {EucJpToShiftJis, "a\x8E\xB1z", "a\xB1z"},
      {ShiftJisToIso2022Jp, "\xB1", "\x1B(I1\x1B(B"},
      {Iso2022JpToShiftJis, "\x1B(I1\x1B(B", "\xB1"},
      // The two-byte mode ends before every line end.
      {ShiftJisToIso2022Jp, kSjis + "\r\n" + kSjis, kIso + "\r\n" + kIso},
      // Older senders switch with ESC $ @ and back with ESC ( J.
      {Iso2022JpToShiftJis, "\x1B$@F|\x1B(Jx", "\x93\xFAx"},
      // Broken input becomes question marks without reading past the end: half
      // a pair, JIS X 0212 (no Shift-JIS form), a lead byte at the end or
      // without its trail byte, the user-defined area; a cut escape passes.
      {EucJpToShiftJis, "ab\xC6", "ab?"},
      {EucJpToShiftJis, "\x8F\xB0\xA1x", "?x"},
      {ShiftJisToEucJp, "\x93", "?"},
      {ShiftJisToEucJp, "\x93\x20", "? "},
      {ShiftJisToEucJp, "\xF0\x40", "?"},
      {Iso2022JpToShiftJis, "\x1B$BF", "?"},
      {Iso2022JpToShiftJis, "\x1B$", "\x1B$"},
  };
  int row = 0;
  for (const auto& r : rows) EXPECT_EQ(r.convert(r.in), r.out) << "row " << row++;
  // The guess counts the bytes only one encoding uses; an escape into JIS
  // settles it at once, and text without high bytes is no Japanese encoding.
  const struct {
    std::string text;
    uint32_t base;
  } guesses[] = {
      {kIso, 0x820},
      {"\x1B$@F|", 0x820},
      {kSjis, 0xA01},
      {kEuc, 0x920},
      {"plain", 0},
      {"\xB1\xB2", 0x920},              // only bytes above 0xA0: pairs, not half-width katakana
      {"\xFD\xA1\xFE\xA1\x93", 0x920},  // two marks of EUC-JP's last rows against one of Shift-JIS
      {"\xFD\xA1\x93\xFA\x96", 0xA01},
  };
  for (const auto& r : guesses) EXPECT_EQ(GuessJapaneseBase(r.text), r.base) << testing::PrintToString(r.text);
  // JIS codes at the edges of each branch of the arithmetic, both ways: odd
  // rows below and from cell 0x60, even rows, the last row under lead byte
  // 0x9F and the first above it, and the last code JIS X 0208 assigns.
  const std::pair<std::string, std::string> eucAndSjis[] = {
      {"\xA1\xA1", "\x81\x40"}, {"\xA1\xDF", "\x81\x7E"}, {"\xA1\xE0", "\x81\x80"}, {"\xA1\xFE", "\x81\x9E"},
      {"\xA2\xA1", "\x81\x9F"}, {"\xA2\xFE", "\x81\xFC"}, {"\xDE\xFE", "\x9F\xFC"}, {"\xDF\xA1", "\xE0\x40"},
      {"\xF4\xA6", "\xEA\xA4"}};
  for (const auto& [euc, sjis] : eucAndSjis) {
    EXPECT_EQ(EucJpToShiftJis(euc), sjis) << testing::PrintToString(euc);
    EXPECT_EQ(ShiftJisToEucJp(sjis), euc) << testing::PrintToString(sjis);
  }
}

// Runs of bases map to runs of code pages: the last of a run, the gaps
// after runs and the Unicode formats (plain bases are seen converting by
// folder_items_test).
TEST(CodePages, BasesMapToTheirCodePages) {
  const uint32_t rows[][3] = {{0x103, 2, 65001}, {0x101, 3, 0}, {0x415, 0, 860}, {0x41B, 0, 866},
                              {0x508, 0, 1258},  {0x509, 0, 0}, {0xFFFF, 0, 0}};
  for (const auto& r : rows) EXPECT_EQ(CodePageForEncoding(r[0], r[1]), r[2]) << std::hex << r[0];
  EXPECT_TRUE(IsJapaneseFamily(932));
  EXPECT_FALSE(IsJapaneseFamily(936));
}

}  // namespace
