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

TEST_F(DbcsText, LeadBytesComeFromTheCodePage) {
  EXPECT_TRUE(DbcsMode());
  EXPECT_TRUE(IsLeadByte(0x81));
  EXPECT_TRUE(IsLeadByte(0x9F));
  EXPECT_TRUE(IsLeadByte(0xE0));
  EXPECT_FALSE(IsLeadByte('A'));
  EXPECT_FALSE(IsLeadByte(0xA0));  // half-width katakana are single bytes
  EXPECT_FALSE(IsLeadByte(0x80));
}

TEST_F(DbcsText, CharacterWalkMapsCharactersToBytes) {
  EXPECT_EQ(FirstByteOfCharacter(mixed_, 0), 0);
  EXPECT_EQ(FirstByteOfCharacter(mixed_, 1), 1);
  EXPECT_EQ(FirstByteOfCharacter(mixed_, 2), 3);
  EXPECT_EQ(FirstByteOfCharacter(mixed_, 3), 4);
  EXPECT_EQ(FirstByteOfCharacter(mixed_, 4), 6);
  EXPECT_EQ(FirstByteOfCharacter(mixed_, 100), 6);
  EXPECT_EQ(FirstByteOfCharacter("", 1), 0);
  EXPECT_EQ(LastByteOfCharacter(mixed_, 1), 2);
  EXPECT_EQ(LastByteOfCharacter(mixed_, 2), 3);
  EXPECT_EQ(LastByteOfCharacter(mixed_, 3), 5);
  EXPECT_EQ(LastByteOfCharacter(mixed_, 0), 0);
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

TEST_F(DbcsText, PositionalVariantsCountCharacters) {
  StringRef s = S(mixed_);
  EXPECT_EQ(StringDBCSLen(s.get()), 3);
  EXPECT_EQ(StringLen(s.get()), 5);
  EXPECT_EQ(T(StringDBCSLeft(s.get(), 1)), kA);
  EXPECT_EQ(T(StringDBCSLeft(s.get(), 2)), J({kA, "x"}));
  EXPECT_EQ(T(StringDBCSLeft(s.get(), 0)), "");
  EXPECT_EQ(T(StringDBCSRight(s.get(), 1)), kI);
  EXPECT_EQ(T(StringDBCSRight(s.get(), 2)), J({"x", kI}));
  EXPECT_EQ(T(StringDBCSRight(s.get(), 0)), "");
  EXPECT_EQ(T(StringDBCSMid2(s.get(), 2)), J({"x", kI}));
  EXPECT_EQ(T(StringDBCSMid2(s.get(), 3)), kI);
  EXPECT_EQ(T(StringDBCSMid2(s.get(), 4)), "");
  EXPECT_EQ(T(StringDBCSMid3(s.get(), 1, 1)), kA);
  EXPECT_EQ(T(StringDBCSMid3(s.get(), 2, 1)), "x");
  EXPECT_EQ(T(StringDBCSMid3(s.get(), 2, 2)), J({"x", kI}));
  EXPECT_EQ(T(StringDBCSMid3(s.get(), 0, 2)), kA);  // like Mid3: the count shrinks
  EXPECT_EQ(T(StringDBCSMid3(s.get(), -1, 2)), "");
  EXPECT_EQ(T(StringDBCSMid3(s.get(), 2, 0)), "");
  EXPECT_EQ(T(StringDBCSMid3(s.get(), 4, 1)), "");
  EXPECT_EQ(T(StringDBCSMid3(s.get(), INT_MIN, INT_MAX)), "");
}

TEST_F(DbcsText, WholeStringResultsShareTheArgument) {
  StringRef s = S(mixed_);
  for (StringRecord* r : {StringDBCSLeft(s.get(), 3), StringDBCSRight(s.get(), 3),
                          StringDBCSRight(s.get(), INT_MAX), StringDBCSMid2(s.get(), 1),
                          StringDBCSMid3(s.get(), 1, 3), StringDBCSMid3(s.get(), 1, INT_MAX)}) {
    EXPECT_EQ(r, s.get());
    RuntimeUnlockString(r);
  }
  EXPECT_EQ(s.get()->refCount, 1u);
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
  EXPECT_EQ(StringDBCSInStr(1, s.get(), S(kI).get()), 3);
  EXPECT_EQ(StringDBCSInStr(4, s.get(), S(kI).get()), 5);
  EXPECT_EQ(StringDBCSInStr(3, s.get(), S("x").get()), 4);
  EXPECT_EQ(StringDBCSInStr(6, s.get(), S("x").get()), 0);
  EXPECT_EQ(StringDBCSInStr(0, s.get(), S(kA).get()), 1);
  EXPECT_EQ(StringDBCSInStr(3, s.get(), nullptr), 2);
  EXPECT_EQ(StringInStr(4, s.get(), S(kI).get()), 4);  // byte positions in and out
}

TEST_F(DbcsText, ReplaceAndFieldsStepOverTrailBytes) {
  StringRef path = S(J({kSo, "\\", kSo}));
  EXPECT_EQ(T(StringReplaceAll(path.get(), S("\\").get(), S("/").get())), J({kSo, "/", kSo}));
  EXPECT_EQ(T(StringReplace(path.get(), S("\\").get(), nullptr)), J({kSo, kSo}));
  EXPECT_EQ(StringCountFields(path.get(), S("\\").get()), 2);
  EXPECT_EQ(T(StringNthField(path.get(), S("\\").get(), 2)), kSo);
  StringRef spaced = S(J({kA, kWideSpace, kI, kWideSpace}));
  EXPECT_EQ(StringCountFields(spaced.get(), S(kWideSpace).get()), 3);
  EXPECT_EQ(T(StringNthField(spaced.get(), S(kWideSpace).get(), 2)), kI);
  EXPECT_EQ(StringCountFields(S(J({kKatakanaA, ",", kKatakanaA})).get(), S("a").get()), 1);
}

TEST_F(DbcsText, CaseConversionKeepsTrailBytes) {
  StringRef s = S(J({kKatakanaDi, "a", kWideLowerA}));
  EXPECT_EQ(T(StringUCase(s.get())), J({kKatakanaDi, "A", kWideUpperA}));
  EXPECT_EQ(T(StringLCase(S(J({kKatakanaA, "B", kWideUpperA})).get())),
            J({kKatakanaA, "b", kWideLowerA}));
  // Case-insensitive search goes through the same conversion.
  EXPECT_EQ(StringDBCSInStr(1, s.get(), S(kWideUpperA).get()), 3);
}

TEST_F(DbcsText, TitleCaseTreatsTheWideSpaceAsAWordBreak) {
  StringRef s = S(J({kWideLowerA, kWideUpperA, kWideSpace, kWideLowerA, "B"}));
  EXPECT_EQ(T(StringTitleCase(s.get())), J({kWideUpperA, kWideLowerA, kWideSpace, kWideUpperA, "b"}));
}

TEST_F(DbcsText, TrimmingRemovesWideSpaces) {
  StringRef s = S(J({kWideSpace, " ", kA, " ", kSo, kWideSpace}));
  EXPECT_EQ(T(runTrim(s.get())), J({kA, " ", kSo}));
  EXPECT_EQ(T(runLTrim(s.get())), J({kA, " ", kSo, kWideSpace}));
  EXPECT_EQ(T(runRTrim(s.get())), J({kWideSpace, " ", kA, " ", kSo}));
  EXPECT_EQ(runTrim(S(J({kWideSpace, kWideSpace})).get()), nullptr);
}

TEST(Dbcs, SingleByteCodePageBuildsTheByteTables) {
  UseCodePageForTesting(1252);
  EXPECT_FALSE(DbcsMode());
  EXPECT_FALSE(IsLeadByte(0x82));
  EXPECT_EQ(UpperByte('a'), 'A');
  EXPECT_EQ(UpperByte('1'), '1');
  EXPECT_TRUE(IsSpaceByte(' '));
  EXPECT_TRUE(IsSpaceByte('\t'));
  EXPECT_FALSE(IsSpaceByte('a'));
  EXPECT_EQ(CharacterCount("\x82\xA0"), 2);
  RestoreProcessCodePage();
}

TEST(Dbcs, RestoringDecidesForTheProcessCodePageAgain) {
  UseCodePageForTesting(932);
  EXPECT_TRUE(DbcsMode());
  RestoreProcessCodePage();
  bool anyLead = false;
  for (int b = 0; b < 256; ++b) anyLead = anyLead || IsDBCSLeadByte(static_cast<BYTE>(b));
  EXPECT_EQ(DbcsMode(), anyLead);
}

}  // namespace
