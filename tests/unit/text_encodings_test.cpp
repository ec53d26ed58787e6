// The Japanese converters and the encoding table, by example and, under Wine,
// every JIS X 0208 code against the system's EUC-JP code page (20932).
#include <gtest/gtest.h>

#include <string>

#include "services/code_pages.h"
#include "services/japanese_encodings.h"

#ifdef _WIN32
#include <windows.h>
#endif

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

#ifdef _WIN32
std::wstring Wide(UINT codePage, const std::string& bytes) {
  std::wstring out(bytes.size() * 2 + 2, L'\0');
  int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(),
                              static_cast<int>(out.size()));
  out.resize(n > 0 ? n : 0);
  return out;
}

// The system's Shift-JIS table takes a handful of JIS codes to other
// Unicode characters than its EUC-JP table (wave dash, double vertical
// line, minus, cent, pound, not): the same JIS code either way.
bool VendorVariant(const std::wstring& a, const std::wstring& b) {
  static const wchar_t kPairs[][2] = {{0x301C, 0xFF5E}, {0x2016, 0x2225}, {0x2212, 0xFF0D},
                                      {0x00A2, 0xFFE0}, {0x00A3, 0xFFE1}, {0x00AC, 0xFFE2}};
  if (a.size() != 1 || b.size() != 1) return false;
  for (const auto& p : kPairs)
    if ((a[0] == p[0] && b[0] == p[1]) || (a[0] == p[1] && b[0] == p[0])) return true;
  return false;
}

TEST(JapaneseEncodings, EveryJisCodeAgreesWithTheSystemsEucJp) {
  if (!IsValidCodePage(20932) || !IsValidCodePage(932)) GTEST_SKIP() << "no EUC-JP code page";
  int checked = 0, variants = 0;
  for (int row = 0x21; row <= 0x7E; ++row)
    for (int cell = 0x21; cell <= 0x7E; ++cell) {
      std::string euc = {static_cast<char>(row | 0x80), static_cast<char>(cell | 0x80)};
      std::wstring system = Wide(20932, euc);
      if (system.size() != 1 || system[0] == 0x30FB || system[0] == L'?') continue;  // unassigned
      if (system[0] >= 0xE000 && system[0] <= 0xF8FF) continue;  // user-defined rows
      std::string sjis = EucJpToShiftJis(euc);
      std::wstring viaSjis = Wide(932, sjis);
      if (viaSjis != system && VendorVariant(system, viaSjis)) {
        ++variants;
      } else {
        ASSERT_EQ(viaSjis, system) << std::hex << row << " " << cell;
      }
      ASSERT_EQ(ShiftJisToEucJp(sjis), euc) << std::hex << row << " " << cell;
      ++checked;
    }
  EXPECT_GT(checked, 6000);  // JIS X 0208 assigns 6,879 codes
  EXPECT_LE(variants, 6);
}
#endif

}  // namespace
