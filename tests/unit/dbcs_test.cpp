// Double-byte text: the runtime is switched to Shift-JIS (code page 932) so
// that the character walks, the double-byte string variants and the search
// run on real two-byte characters. Most faults show up as a trail byte taken
// for a character of its own: Shift-JIS trail bytes include 'A'-'Z', 'a'-'z'
// and the backslash.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <string>

#include "objects/dbcs.h"
#include "objects/small_heap.h"
#include "objects/strings.h"

namespace {

// Shift-JIS characters.
constexpr char kA[] = "\x82\xA0";          // hiragana a
constexpr char kI[] = "\x82\xA2";          // hiragana i
constexpr char kKatakanaA[] = "\x83\x41";  // trail byte 'A'
constexpr char kKatakanaDi[] = "\x83\x61"; // trail byte 'a'
constexpr char kSo[] = "\x83\x5C";         // trail byte '\'
constexpr char kWideSpace[] = "\x81\x40";  // ideographic space
constexpr char kWideLowerA[] = "\x82\x81"; // full-width a
constexpr char kWideUpperA[] = "\x82\x60"; // full-width A

std::string J(std::initializer_list<std::string_view> parts) {
  std::string joined;
  for (std::string_view p : parts) joined.append(p);
  return joined;
}

StringRef S(std::string_view text) { return StringRef::Adopt(NewString(text)); }

std::string T(StringRecord* result) {
  StringRef owned = StringRef::Adopt(result);
  return std::string(owned.View());
}

class DbcsText : public testing::Test {
 protected:
  void SetUp() override {
    UseCodePageForTesting(932);
    heapBefore_ = SmallBlockBytesInUse();
  }
  void TearDown() override {
    EXPECT_EQ(SmallBlockBytesInUse(), heapBefore_) << "a reference leaked";
    RestoreProcessCodePage();
  }

  // "あxい": characters at bytes 1, 3 and 4; five bytes.
  const std::string mixed_ = J({kA, "x", kI});

 private:
  uint32_t heapBefore_ = 0;
};

TEST_F(DbcsText, LeadBytesAndTheCharacterWalk) {
  EXPECT_TRUE(DbcsMode());
  for (int b : {0x81, 0x9F, 0xE0}) EXPECT_TRUE(IsLeadByte(b)) << b;
  for (int b : {0x41, 0xA0, 0x80}) EXPECT_FALSE(IsLeadByte(b)) << b;  // 'A', half-width katakana
  const int first[] = {0, 1, 3, 4, 6};
  for (int c = 0; c < 5; ++c) EXPECT_EQ(FirstByteOfCharacter(mixed_, c), first[c]) << c;
  EXPECT_EQ(FirstByteOfCharacter(mixed_, 100), 6);
  EXPECT_EQ(FirstByteOfCharacter("", 1), 0);
  const int last[] = {0, 2, 3, 5};
  for (int c = 0; c < 4; ++c) EXPECT_EQ(LastByteOfCharacter(mixed_, c), last[c]) << c;
  EXPECT_EQ(CharacterCount(mixed_), 3);
  EXPECT_EQ(CharacterPositionOfByte(mixed_, 3), 3);
}

TEST_F(DbcsText, ATrailingLeadByteIsACharacterOfItsOwn) {
  std::string cut = "a\x82";
  EXPECT_EQ(CharacterCount(cut), 2);
  EXPECT_EQ(FirstByteOfCharacter(cut, 2), 2);
  EXPECT_EQ(FirstByteOfCharacter(cut, 3), 4);  // length + 2
  StringRef s = S(cut);
  EXPECT_EQ(StringDBCSLen(s.get()), 2);
  EXPECT_EQ(T(StringDBCSRight(s.get(), 1)), "\x82");
  EXPECT_EQ(T(StringDBCSMid3(s.get(), 2, 5)), "\x82");
  EXPECT_EQ(StringDBCSAsc(S("\x82").get()), 0x82);
  EXPECT_EQ(T(runTrim(s.get())), cut);
  EXPECT_EQ(T(StringUCase(s.get())), "A\x82");
}

TEST_F(DbcsText, PositionalVariantsCountCharactersAndShareWholeResults) {
  StringRef s = S(mixed_);
  EXPECT_EQ(StringDBCSLen(s.get()), 3);
  EXPECT_EQ(StringLen(s.get()), 5);
  const struct {
    const char* call;
    StringRecord* result;
    std::string text;
  } rows[] = {
      {"Left 1", StringDBCSLeft(s.get(), 1), kA}, {"Left 2", StringDBCSLeft(s.get(), 2), J({kA, "x"})},
      {"Left 0", StringDBCSLeft(s.get(), 0), ""}, {"Right 1", StringDBCSRight(s.get(), 1), kI},
      {"Right 2", StringDBCSRight(s.get(), 2), J({"x", kI})}, {"Right 0", StringDBCSRight(s.get(), 0), ""},
      {"Mid 2", StringDBCSMid2(s.get(), 2), J({"x", kI})}, {"Mid 3", StringDBCSMid2(s.get(), 3), kI},
      {"Mid 4", StringDBCSMid2(s.get(), 4), ""}, {"Mid 1 1", StringDBCSMid3(s.get(), 1, 1), kA},
      {"Mid 2 1", StringDBCSMid3(s.get(), 2, 1), "x"}, {"Mid 2 2", StringDBCSMid3(s.get(), 2, 2), J({"x", kI})},
      {"Mid 0 2", StringDBCSMid3(s.get(), 0, 2), kA},  // like Mid3: the count shrinks
      {"Mid -1 2", StringDBCSMid3(s.get(), -1, 2), ""}, {"Mid 2 0", StringDBCSMid3(s.get(), 2, 0), ""},
      {"Mid 4 1", StringDBCSMid3(s.get(), 4, 1), ""},
      {"Mid min max", StringDBCSMid3(s.get(), INT_MIN, INT_MAX), ""}};
  for (const auto& row : rows) EXPECT_EQ(T(row.result), row.text) << row.call;
  for (StringRecord* r : {StringDBCSLeft(s.get(), 3), StringDBCSRight(s.get(), 3),
                          StringDBCSRight(s.get(), INT_MAX), StringDBCSMid2(s.get(), 1),
                          StringDBCSMid3(s.get(), 1, 3), StringDBCSMid3(s.get(), 1, INT_MAX)}) {
    EXPECT_EQ(r, s.get());
    RuntimeUnlockString(r);
  }
}

TEST_F(DbcsText, CodesOfTwoByteCharacters) {
  EXPECT_EQ(StringDBCSAsc(S(kA).get()), 0x82A0);
  EXPECT_EQ(StringDBCSAsc(S("x").get()), 'x');
  EXPECT_EQ(StringDBCSAsc(nullptr), 0);
  EXPECT_EQ(StringAsc(S(kA).get()), 0x82);
  EXPECT_EQ(T(StringDBCSChr(0x82A0)), kA);
  EXPECT_EQ(T(StringDBCSChr('x')), "x");
}

TEST_F(DbcsText, SearchNeverMatchesATrailByte) {
  StringRef katakana = S(J({kKatakanaA, "a"}));
  EXPECT_EQ(StringInStr(1, katakana.get(), S("A").get()), 3);
  EXPECT_EQ(StringDBCSInStr(1, katakana.get(), S("A").get()), 2);
  EXPECT_EQ(StringInStr(1, S(kKatakanaA).get(), S("a").get()), 0);
  StringRef s = S(J({mixed_, "X", kI}));  // あ x い X い
  const struct {
    int32_t start;
    const char* find;
    int32_t found;
  } rows[] = {{1, kI, 3}, {4, kI, 5}, {3, "x", 4}, {6, "x", 0}, {0, kA, 1}, {3, nullptr, 2}};
  for (const auto& row : rows) {
    StringRef find = row.find ? S(row.find) : StringRef();
    EXPECT_EQ(StringDBCSInStr(row.start, s.get(), find.get()), row.found) << row.start;
  }
  EXPECT_EQ(StringInStr(4, s.get(), S(kI).get()), 4);  // byte positions in and out
}

TEST_F(DbcsText, ReplaceFieldsCaseAndTrimStepOverTrailBytes) {
  StringRef path = S(J({kSo, "\\", kSo}));
  EXPECT_EQ(T(StringReplaceAll(path.get(), S("\\").get(), S("/").get())), J({kSo, "/", kSo}));
  EXPECT_EQ(T(StringReplace(path.get(), S("\\").get(), nullptr)), J({kSo, kSo}));
  EXPECT_EQ(StringCountFields(path.get(), S("\\").get()), 2);
  EXPECT_EQ(T(StringNthField(path.get(), S("\\").get(), 2)), kSo);
  StringRef spaced = S(J({kA, kWideSpace, kI, kWideSpace}));
  EXPECT_EQ(StringCountFields(spaced.get(), S(kWideSpace).get()), 3);
  EXPECT_EQ(T(StringNthField(spaced.get(), S(kWideSpace).get(), 2)), kI);
  EXPECT_EQ(StringCountFields(S(J({kKatakanaA, ",", kKatakanaA})).get(), S("a").get()), 1);

  StringRef s = S(J({kKatakanaDi, "a", kWideLowerA}));
  EXPECT_EQ(T(StringUCase(s.get())), J({kKatakanaDi, "A", kWideUpperA}));
  EXPECT_EQ(T(StringLCase(S(J({kKatakanaA, "B", kWideUpperA})).get())), J({kKatakanaA, "b", kWideLowerA}));
  EXPECT_EQ(StringDBCSInStr(1, s.get(), S(kWideUpperA).get()), 3);  // through the same conversion
  // The wide space breaks words and is trimmed.
  StringRef words = S(J({kWideLowerA, kWideUpperA, kWideSpace, kWideLowerA, "B"}));
  EXPECT_EQ(T(StringTitleCase(words.get())), J({kWideUpperA, kWideLowerA, kWideSpace, kWideUpperA, "b"}));
  StringRef padded = S(J({kWideSpace, " ", kA, " ", kSo, kWideSpace}));
  EXPECT_EQ(T(runTrim(padded.get())), J({kA, " ", kSo}));
  EXPECT_EQ(T(runLTrim(padded.get())), J({kA, " ", kSo, kWideSpace}));
  EXPECT_EQ(T(runRTrim(padded.get())), J({kWideSpace, " ", kA, " ", kSo}));
  EXPECT_EQ(runTrim(S(J({kWideSpace, kWideSpace})).get()), nullptr);
}

TEST(Dbcs, SingleByteCodePagesAndRestoringTheProcessCodePage) {
  UseCodePageForTesting(1252);
  EXPECT_FALSE(DbcsMode());
  EXPECT_FALSE(IsLeadByte(0x82));
  EXPECT_EQ(UpperByte('a'), 'A');
  EXPECT_EQ(UpperByte('1'), '1');
  EXPECT_TRUE(IsSpaceByte(' '));
  EXPECT_TRUE(IsSpaceByte('\t'));
  EXPECT_FALSE(IsSpaceByte('a'));
  EXPECT_EQ(CharacterCount("\x82\xA0"), 2);
  UseCodePageForTesting(932);
  EXPECT_TRUE(DbcsMode());
  RestoreProcessCodePage();
  bool anyLead = false;
  for (int b = 0; b < 256; ++b) anyLead = anyLead || IsDBCSLeadByte(static_cast<BYTE>(b));
  EXPECT_EQ(DbcsMode(), anyLead);
}

}  // namespace
