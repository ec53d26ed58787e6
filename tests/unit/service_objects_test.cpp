// Clipboard, TextConverter and Date objects through their entry points,
// against what the system itself reports: the clipboard as another thread
// sees it, conversions compared with the system's code pages, dates with
// the system's formats.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "objects/builtin_classes.h"
#include "objects/classes.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "sdk/service_layouts.h"
#include "sdk/vellory.h"

namespace {

class ServiceObjects : public testing::Test {
 protected:
  void SetUp() override { RegisterBuiltInClasses(); }
  void TearDown() override {
    for (ObjectRecord* o : objects_) RuntimeUnlockObject(o);
  }
  ObjectRecord* Keep(ObjectRecord* o) {
    if (o) objects_.push_back(o);
    return o;
  }
  ObjectRecord* New(const char* cls) { return Keep(NewObjectOfClass(FindBuiltInClass(cls))); }
  std::string Take(StringRecord* s) {
    std::string text(StringView(s));
    RuntimeUnlockString(s);
    return text;
  }
  StringRecord* Str(std::string_view text) {
    StringRecord* s = NewString(text);
    strings_.push_back(StringRef::Adopt(s));
    return s;
  }
  std::vector<ObjectRecord*> objects_;
  std::vector<StringRef> strings_;
};

// --- clipboard ----------------------------------------------------------------------

// What another program's window finds: whether it can open the clipboard,
// and its text. (It opens with a window of its own: the system tells
// openers apart by their windows.)
struct Outside {
  bool opened = false;
  std::string text;
};
DWORD WINAPI LookFromOutside(void* param) {
  auto* seen = static_cast<Outside*>(param);
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                nullptr);
  seen->opened = OpenClipboard(window);
  if (!seen->opened) {
    DestroyWindow(window);
    return 0;
  }
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    seen->text = static_cast<const char*>(GlobalLock(h));
    GlobalUnlock(h);
  }
  CloseClipboard();
  DestroyWindow(window);
  return 0;
}
Outside LookOutside() {
  Outside seen;
  HANDLE t = CreateThread(nullptr, 0, LookFromOutside, &seen, 0, nullptr);
  WaitForSingleObject(t, INFINITE);
  CloseHandle(t);
  return seen;
}

TEST_F(ServiceObjects, AClipboardIsHeldFromItsFirstUseUntilItIsClosed) {
  ObjectRecord* c = New("Clipboard");
  EXPECT_TRUE(LookOutside().opened);  // not opened by creating the object
  clipboardSetText(c, Str("first"));
  EXPECT_FALSE(LookOutside().opened);
  clipboardSetText(c, Str("second"));
  EXPECT_EQ(Take(clipboardTextGetter(c)), "second");
  EXPECT_TRUE(clipboardTextAvailable(c));
  clipboardClose(c);
  clipboardClose(c);  // closing twice is harmless
  Outside seen = LookOutside();
  EXPECT_TRUE(seen.opened);
  EXPECT_EQ(seen.text, "second");
}

TEST_F(ServiceObjects, OnlyTheFirstSettingOfAnObjectEmptiesTheClipboard) {
  ObjectRecord* a = New("Clipboard");
  clipboardAddMacData(a, Str("VelloryTestFormat"), Str("private"));
  clipboardSetText(a, Str("text"));  // adds: the private data stays
  EXPECT_TRUE(clipboardMacDataAvailable(a, Str("VelloryTestFormat")));
  EXPECT_EQ(Take(clipboardMacData(a, Str("VelloryTestFormat"))), "private");
  clipboardClose(a);
  ObjectRecord* b = New("Clipboard");
  clipboardSetText(b, Str("new"));  // a new object empties first
  EXPECT_FALSE(clipboardMacDataAvailable(b, Str("VelloryTestFormat")));
  EXPECT_FALSE(clipboardPictureAvailable(b));
  EXPECT_EQ(clipboardPictureGetter(b), nullptr);
  EXPECT_EQ(Take(clipboardTextGetter(b)), "new");
}

TEST_F(ServiceObjects, ReleasingAClipboardThatHoldsTheSystemClipboardLetsGo) {
  ObjectRecord* c = NewObjectOfClass(FindBuiltInClass("Clipboard"));
  Take(clipboardTextGetter(c));  // the first use opens the system clipboard
  EXPECT_FALSE(LookOutside().opened);
  RuntimeUnlockObject(c);
  EXPECT_TRUE(LookOutside().opened);
}

// --- text conversion ------------------------------------------------------------

TEST_F(ServiceObjects, ConvertersGoThroughTheSystemsCodePages) {
  ObjectRecord* mac = Keep(getTextEncoding(0, 0, 0));
  ObjectRecord* windows = Keep(getTextEncoding(0x500, 0, 0));
  ObjectRecord* toWindows = Keep(getTextConverter(mac, windows));
  ASSERT_NE(toWindows, nullptr);
  EXPECT_EQ(Take(textConverterConvert(toWindows, Str("caf\x8E"))), "caf\xE9");
  EXPECT_EQ(Take(textConverterConvert(toWindows, Str(""))), "");
  ObjectRecord* utf16 = Keep(getTextEncoding(0x100, 0, 0));
  ObjectRecord* toUtf16 = Keep(getTextConverter(windows, utf16));
  ASSERT_NE(toUtf16, nullptr);
  EXPECT_EQ(Take(textConverterConvert(toUtf16, Str("A\xE9"))), std::string("A\0\xE9\0", 4));
  ObjectRecord* back = Keep(getTextConverter(utf16, windows));
  EXPECT_EQ(Take(textConverterConvert(back, Str(std::string("A\0\xE9\0", 4)))), "A\xE9");
}

TEST_F(ServiceObjects, UnknownEncodingsConvertOnlyToEachOther) {
  ObjectRecord* unknownA = Keep(getTextEncoding(0x999, 0, 0));
  ObjectRecord* unknownB = Keep(getTextEncoding(0x998, 0, 0));
  ObjectRecord* windows = Keep(getTextEncoding(0x500, 0, 0));
  ObjectRecord* same = Keep(getTextConverter(unknownA, unknownB));
  ASSERT_NE(same, nullptr);
  EXPECT_EQ(Take(textConverterConvert(same, Str("\x8E\x01"))), "\x8E\x01");
  EXPECT_EQ(getTextConverter(unknownA, windows), nullptr);
  EXPECT_EQ(getTextConverter(nullptr, windows), nullptr);
  EXPECT_EQ(textEncodingBaseGetter(unknownA), 0x999);
}

TEST_F(ServiceObjects, JapaneseEncodingsConvertAmongThemselvesAndToUnicode) {
  ObjectRecord* euc = Keep(getTextEncoding(0x920, 0, 0));
  ObjectRecord* iso = Keep(getTextEncoding(0x820, 0, 0));
  ObjectRecord* sjis = Keep(getTextEncoding(0xA01, 0, 0));
  ObjectRecord* utf16 = Keep(getTextEncoding(0x100, 0, 0));
  ObjectRecord* eucToIso = Keep(getTextConverter(euc, iso));
  ASSERT_NE(eucToIso, nullptr);
  EXPECT_EQ(Take(textConverterConvert(eucToIso, Str("\xC6\xFC\xCB\xDC"))), "\x1B$BF|K\\\x1B(B");
  ObjectRecord* eucToUnicode = Keep(getTextConverter(euc, utf16));
  ASSERT_NE(eucToUnicode, nullptr);
  std::string wide = Take(textConverterConvert(eucToUnicode, Str("\xC6\xFC\xCB\xDC")));
  EXPECT_EQ(wide, std::string("\xE5\x65\x2C\x67", 4));  // U+65E5 U+672C
  ObjectRecord* sjisToEuc = Keep(getTextConverter(sjis, euc));
  EXPECT_EQ(Take(textConverterConvert(sjisToEuc, Str("\x93\xFA\x96\x7B"))), "\xC6\xFC\xCB\xDC");
  ObjectRecord* guess = Keep(guessJapaneseEncoding(Str("\x93\xFA\x96\x7B")));
  ASSERT_NE(guess, nullptr);
  EXPECT_EQ(textEncodingBaseGetter(guess), 0xA01);
  ObjectRecord* guessIso = Keep(guessJapaneseEncoding(Str("\x1B$BF|\x1B(B")));
  EXPECT_EQ(textEncodingBaseGetter(guessIso), 0x820);
  EXPECT_EQ(guessJapaneseEncoding(Str("plain")), nullptr);
}

// --- dates -----------------------------------------------------------------------

TEST_F(ServiceObjects, ANewDateIsFixedOnFirstUse) {
  ObjectRecord* d = New("Date");
  int32_t second = dateFieldGetter(d, 5);
  double total = dateTotalSecondsGetter(d);
  Sleep(1100);
  EXPECT_EQ(dateFieldGetter(d, 5), second);
  EXPECT_DOUBLE_EQ(dateTotalSecondsGetter(d), total);
  SYSTEMTIME now;
  GetLocalTime(&now);
  EXPECT_EQ(dateFieldGetter(d, 0), now.wYear);
}

TEST_F(ServiceObjects, FieldsSetOneByOneGiveTheDateAndItsTexts) {
  ObjectRecord* d = New("Date");
  dateTotalSecondsSetter(d, 0, 0);
  EXPECT_EQ(dateFieldGetter(d, 0), 1904);
  EXPECT_EQ(dateFieldGetter(d, 6), 6);  // 1 January 1904 was a Friday
  const int32_t fields[] = {2026, 13, 31, 14, 5, 9};  // month 13: January 2027
  for (uint32_t f = 0; f < 6; ++f) dateFieldSetter(d, f, fields[f]);
  EXPECT_EQ(dateFieldGetter(d, 0), 2027);
  EXPECT_EQ(dateFieldGetter(d, 1), 1);
  EXPECT_EQ(dateFieldGetter(d, 2), 31);
  SYSTEMTIME st = {2027, 1, 0, 31, 14, 5, 9, 0};
  char expected[64];
  GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &st, nullptr, expected, sizeof expected);
  EXPECT_EQ(Take(dateStringGetter(d, 1)), expected);
  GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, expected, sizeof expected);
  EXPECT_EQ(Take(dateStringGetter(d, 4)), expected);
  GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, expected, sizeof expected);
  EXPECT_EQ(Take(dateStringGetter(d, 3)), expected);
  EXPECT_NE(Take(dateStringGetter(d, 3)), Take(dateStringGetter(d, 4)));
}

// The fields name the date whatever order they are set in: a day that the
// month set before it does not have yet must not roll the date on.
TEST_F(ServiceObjects, FieldsSetInAnyOrderGiveTheDateTheyName) {
  struct Row {
    int32_t fields[3];  // field numbers, in the order they are set
  };
  const Row orders[] = {{{0, 1, 2}}, {{0, 2, 1}}, {{1, 0, 2}}, {{1, 2, 0}}, {{2, 0, 1}}, {{2, 1, 0}}};
  const int32_t values[] = {2024, 4, 10};  // from 31 January 2023: 10 April 2024
  for (const Row& row : orders) {
    ObjectRecord* d = New("Date");
    const int32_t start[] = {2023, 1, 31, 8, 0, 0};
    for (uint32_t f = 0; f < 6; ++f) dateFieldSetter(d, f, start[f]);
    EXPECT_EQ(dateFieldGetter(d, 2), 31);
    for (int32_t f : row.fields) dateFieldSetter(d, static_cast<uint32_t>(f), values[f]);
    std::string order = std::to_string(row.fields[0]) + std::to_string(row.fields[1]) +
                        std::to_string(row.fields[2]);
    EXPECT_EQ(dateFieldGetter(d, 0), 2024) << order;
    EXPECT_EQ(dateFieldGetter(d, 1), 4) << order;
    EXPECT_EQ(dateFieldGetter(d, 2), 10) << order;
  }
  // Read between settings, the date is normalised there and then.
  ObjectRecord* d = New("Date");
  const int32_t start[] = {2023, 1, 31, 8, 0, 0};
  for (uint32_t f = 0; f < 6; ++f) dateFieldSetter(d, f, start[f]);
  dateFieldSetter(d, 1, 4);
  EXPECT_EQ(dateFieldGetter(d, 2), 1);  // 31 April is 1 May
  dateFieldSetter(d, 2, 10);
  EXPECT_EQ(dateFieldGetter(d, 1), 5);
  // Values beyond what is kept unnormalised still give the date they name.
  dateFieldSetter(d, 3, 1000);  // 41 days and 16 hours on
  EXPECT_EQ(dateFieldGetter(d, 1), 6);
  EXPECT_EQ(dateFieldGetter(d, 2), 20);
  EXPECT_EQ(dateFieldGetter(d, 3), 16);
}

TEST_F(ServiceObjects, DatePropertiesCarryTheFieldInTheirParameterWord) {
  ClassRecord* date = FindBuiltInClass("Date");
  const PropertyRecord* month = FindProperty(date, "month");
  const PropertyRecord* week = FindProperty(date, "WeekOfYear");
  ASSERT_NE(month, nullptr);
  ASSERT_NE(week, nullptr);
  EXPECT_EQ(month->param, 1u);
  EXPECT_EQ(week->param, 8u);
  EXPECT_EQ(week->setter, nullptr);
}

}  // namespace
