// Clipboard, TextConverter and Date objects through their entry points,
// against what the system reports: the clipboard as another thread sees it,
// conversions through the system's code pages, dates in its formats.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

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
  std::string Take(StringRecord* s) { return std::string(StringRef::Adopt(s).View()); }
  // A date's year, month and day, or its month, day and hour from field 1.
  std::vector<int32_t> Fields(ObjectRecord* d, uint32_t first = 0) {
    return {dateFieldGetter(d, first), dateFieldGetter(d, first + 1), dateFieldGetter(d, first + 2)};
  }
  ObjectRecord* DateOf(const int32_t (&fields)[6]) {
    ObjectRecord* d = New("Date");
    for (uint32_t f = 0; f < 6; ++f) dateFieldSetter(d, f, fields[f]);
    return d;
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
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  if ((seen->opened = OpenClipboard(window))) {
    if (HANDLE h = GetClipboardData(CF_TEXT)) {
      seen->text = static_cast<const char*>(GlobalLock(h));
      GlobalUnlock(h);
    }
    CloseClipboard();
  }
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
  // Released while it holds the system clipboard, it lets go.
  ObjectRecord* held = NewObjectOfClass(FindBuiltInClass("Clipboard"));
  Take(clipboardTextGetter(held));
  EXPECT_FALSE(LookOutside().opened);
  RuntimeUnlockObject(held);
  EXPECT_TRUE(LookOutside().opened);
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

// --- text conversion ------------------------------------------------------------

// Through the system's code pages, through the runtime's Japanese
// converters (whose tables text_encodings_test checks) and, between two
// encodings nobody knows, byte for byte. (Mac OS Roman to Windows Latin 1
// and back is seen end to end by the application's conn_receive test.)
TEST_F(ServiceObjects, ConvertersGoThroughTheSystemsCodePagesOrTheRuntimesOwn) {
  const std::string wide("A\0\xE9\0", 4);
  const struct { int32_t from, to; std::string in, out; } rows[] = {
      {0x000, 0x500, "", ""}, {0x500, 0x100, "A\xE9", wide},
      {0x100, 0x500, wide, "A\xE9"}, {0x999, 0x998, "\x8E\x01", "\x8E\x01"},
      {0x920, 0x820, "\xC6\xFC\xCB\xDC", "\x1B$BF|K\\\x1B(B"},
      {0x920, 0x100, "\xC6\xFC\xCB\xDC", std::string("\xE5\x65\x2C\x67", 4)},  // U+65E5 U+672C
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << r.from << " to " << r.to);
    ObjectRecord* from = Keep(getTextEncoding(r.from, 0, 0));
    ObjectRecord* converter = Keep(getTextConverter(from, Keep(getTextEncoding(r.to, 0, 0))));
    ASSERT_NE(converter, nullptr);
    EXPECT_EQ(Take(textConverterConvert(converter, Str(r.in))), r.out);
  }
  ObjectRecord* windows = Keep(getTextEncoding(0x500, 0, 0));
  EXPECT_EQ(getTextConverter(Keep(getTextEncoding(0x999, 0, 0)), windows), nullptr);
  EXPECT_EQ(getTextConverter(nullptr, windows), nullptr);
  const std::pair<const char*, int32_t> guesses[] = {{"\x93\xFA\x96\x7B", 0xA01}, {"\x1B$BF|\x1B(B", 0x820}};
  for (auto [text, base] : guesses) {
    ObjectRecord* guess = Keep(guessJapaneseEncoding(Str(text)));
    ASSERT_NE(guess, nullptr) << base;
    EXPECT_EQ(textEncodingBaseGetter(guess), base);
  }
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
  d = DateOf({2026, 13, 31, 14, 5, 9});  // month 13: January 2027
  EXPECT_EQ(Fields(d), std::vector<int32_t>({2027, 1, 31}));
  // The long date, the time and the short time as the system writes them.
  const SYSTEMTIME st = {2027, 1, 0, 31, 14, 5, 9, 0};
  const struct { uint32_t which; decltype(&GetDateFormatA) format; DWORD flags; } texts[] = {
      {1, GetDateFormatA, DATE_LONGDATE}, {4, GetTimeFormatA, 0}, {3, GetTimeFormatA, TIME_NOSECONDS}};
  for (const auto& t : texts) {
    char expected[64];
    t.format(LOCALE_USER_DEFAULT, t.flags, &st, nullptr, expected, sizeof expected);
    EXPECT_EQ(Take(dateStringGetter(d, t.which)), expected) << t.which;
  }
  EXPECT_NE(Take(dateStringGetter(d, 3)), Take(dateStringGetter(d, 4)));
}

// The fields name the date whatever order they are set in: a day that the
// month set before it does not have yet must not roll the date on.
TEST_F(ServiceObjects, FieldsSetInAnyOrderGiveTheDateTheyName) {
  const int32_t orders[][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
  const int32_t values[] = {2024, 4, 10};  // from 31 January 2023: 10 April 2024
  for (const auto& order : orders) {
    ObjectRecord* d = DateOf({2023, 1, 31, 8, 0, 0});
    for (int32_t f : order) dateFieldSetter(d, static_cast<uint32_t>(f), values[f]);
    EXPECT_EQ(Fields(d), std::vector<int32_t>({2024, 4, 10})) << order[0] << order[1] << order[2];
  }
  // Read between settings, the date is normalised there and then.
  ObjectRecord* d = DateOf({2023, 1, 31, 8, 0, 0});
  dateFieldSetter(d, 1, 4);
  EXPECT_EQ(dateFieldGetter(d, 2), 1);  // 31 April is 1 May
  dateFieldSetter(d, 2, 10);
  EXPECT_EQ(dateFieldGetter(d, 1), 5);
  // Values beyond what is kept unnormalised still give the date they name.
  dateFieldSetter(d, 3, 1000);  // 41 days and 16 hours on
  EXPECT_EQ(Fields(d, 1), std::vector<int32_t>({6, 20, 16}));
}

}  // namespace
