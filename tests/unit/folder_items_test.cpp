// The service objects through their entry points, each answer compared with
// the system's: FolderItems and text streams on the real file system, the
// clipboard as another thread sees it, code pages, dates in its formats.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "objects/builtin_classes.h"
#include "objects/classes.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "sdk/service_layouts.h"
#include "sdk/vellory.h"
#include "services/file_replace.h"
#include "services/folder_items.h"
#include "unit/temp_folder.h"

namespace {

using Names = std::vector<std::string>;

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
  StringRecord* Str(std::string_view s) {
    strings_.push_back(StringRef::Adopt(NewString(s)));
    return strings_.back().get();
  }
  static std::string Take(StringRecord* s) { return std::string(StringRef::Adopt(s).View()); }
  std::string Path(ObjectRecord* item) { return Take(fileAbsolutePathGetter(item)); }
  ObjectRecord* Item(const std::string& name) { return Keep(NewFolderItem(dir_ + "\\" + name)); }
  // A date's year, month and day, or its month, day and hour from field 1.
  std::vector<int32_t> Fields(ObjectRecord* d, uint32_t first = 0) {
    return {dateFieldGetter(d, first), dateFieldGetter(d, first + 1), dateFieldGetter(d, first + 2)};
  }
  ObjectRecord* DateOf(const int32_t (&fields)[6]) {
    ObjectRecord* d = New("Date");
    for (uint32_t f = 0; f < 6; ++f) dateFieldSetter(d, f, fields[f]);
    return d;
  }

  TempFolder folder_;
  const std::string dir_ = folder_.Path();
  std::vector<ObjectRecord*> objects_;
  std::vector<StringRef> strings_;
};
using FolderItems = ServiceObjects;

TEST_F(FolderItems, PathsJoinTheProgramsFolderOrStandAsTheyAre) {
  char program[MAX_PATH];
  std::string exe(program, GetModuleFileNameA(nullptr, program, MAX_PATH));
  std::string folder = exe.substr(0, exe.rfind('\\'));
  EXPECT_EQ(Path(Keep(RuntimeGetFolderItem(Str("Prefs.txt")))), folder + "\\Prefs.txt");
  EXPECT_EQ(Path(New("FolderItem")), folder);
  ObjectRecord* file = Item("never-made.txt");
  EXPECT_FALSE(fileExistsGetter(file));
  EXPECT_EQ(fileSizeGetter(file), 0);
  EXPECT_FALSE(fileLockedGetter(file));
  ObjectRecord* drive = Keep(NewFolderItem("Q:"));
  EXPECT_TRUE(fileDirectoryGetter(drive));  // by its shape alone
  EXPECT_FALSE(fileExistsGetter(drive));
}

// More than one buffer's worth, written with the default line end and with
// each one set, then read back through the stream's own reads of the file.
TEST_F(FolderItems, WrittenLinesReadBackWhole) {
  ObjectRecord* out = Keep(FolderItemCreateTextFile(Item("lines.txt")));
  ASSERT_NE(out, nullptr);
  const char* ends[] = {"\r\n", "\r", "\n"};
  std::string text;
  for (int i = 0; i < 500; ++i) {
    if (i) stringSetter(out, offsetof(TextOutputStreamObject, delimiter), Str(ends[i % 3]));
    TextOutputStreamWriteLine(out, Str("line " + std::to_string(i)));
    text += "line " + std::to_string(i) + ends[i % 3];
  }
  TextOutputStreamWrite(out, Str("end"));
  TextOutputStreamClose(out);
  text += "end";
  EXPECT_EQ(folder_.Read("lines.txt"), text);
  EXPECT_EQ(fileSizeGetter(Item("lines.txt")), static_cast<int32_t>(text.size()));
  ObjectRecord* in = Keep(FolderItemOpenTextFile(Item("lines.txt")));
  ASSERT_NE(in, nullptr);
  EXPECT_EQ(Take(TextInputStreamReadLine(in)), "line 0");
  EXPECT_EQ(Take(TextInputStreamReadAll(in)), text.substr(8));
  EXPECT_TRUE(TextInputStreamEOF(in));
  TextInputStreamClose(in);
  EXPECT_FALSE(TextInputStreamEOF(in));  // a closed stream
  EXPECT_EQ(Take(TextInputStreamReadAll(in)), "");
}

TEST_F(FolderItems, AppendingAddsAtTheEndAndCreatesAMissingFile) {
  folder_.Write("log.txt", "one\r\n");
  ObjectRecord* out = FolderItemAppendTextFile(Item("log.txt"));
  ASSERT_NE(out, nullptr);
  TextOutputStreamWriteLine(out, Str("two"));
  RuntimeUnlockObject(out);  // releasing closes
  EXPECT_EQ(folder_.Read("log.txt"), "one\r\ntwo\r\n");
  ObjectRecord* fresh = Keep(FolderItemAppendTextFile(Item("new.txt")));
  ASSERT_NE(fresh, nullptr);
  TextOutputStreamWrite(fresh, Str("x"));
  TextOutputStreamClose(fresh);
  EXPECT_EQ(folder_.Read("new.txt"), "x");
  EXPECT_EQ(FolderItemOpenTextFile(Item("absent.txt")), nullptr);
}

TEST_F(FolderItems, ListingFollowsTheSystemsOrderAndItemsAreOneBased) {
  for (const char* name : {"b.txt", "a.txt", "c.dat"}) folder_.Write(name, "x");
  CreateDirectoryA((dir_ + "\\sub").c_str(), nullptr);
  Names system = folder_.Names(false);
  ObjectRecord* folder = Keep(NewFolderItem(dir_));
  ASSERT_EQ(fileCountGetter(folder), 4);
  for (int i = 1; i <= 4; ++i) {
    ObjectRecord* item = Keep(FolderItemItem(folder, i));
    EXPECT_EQ(Take(fileNameGetter(item)), system[i - 1]);
    if (system[i - 1] != "sub") continue;
    EXPECT_TRUE(fileDirectoryGetter(item));
    EXPECT_EQ(fileCountGetter(item), 0);
    EXPECT_EQ(Path(Keep(folderParentGetter(item))), dir_);
  }
  EXPECT_EQ(FolderItemItem(folder, 0), nullptr);
  EXPECT_EQ(FolderItemItem(folder, 5), nullptr);
}

TEST_F(FolderItems, RenamingDatingAndDeleting) {
  folder_.Write("old.txt", "content");
  ObjectRecord* item = Item("old.txt");
  fileNameSetter(item, 0, Str("new.txt"));
  EXPECT_EQ(Path(item), dir_ + "\\new.txt");
  EXPECT_EQ(folder_.Names(), Names{"new.txt"});
  // A rename that fails (the name is taken) leaves the item on its file.
  folder_.Write("taken.txt", "other");
  fileNameSetter(item, 0, Str("taken.txt"));
  EXPECT_EQ(Path(item), dir_ + "\\new.txt");
  EXPECT_EQ(folder_.Read("new.txt"), "content");

  ObjectRecord* date = DateOf({2020, 2, 29, 12, 34, 56});
  folderSetModified(item, 0, date);
  ObjectRecord* modified = Keep(folderGetModified(item));
  ASSERT_NE(modified, nullptr);
  EXPECT_DOUBLE_EQ(dateTotalSecondsGetter(modified), dateTotalSecondsGetter(date));

  FolderItemDelete(item);
  EXPECT_FALSE(fileExistsGetter(item));
  EXPECT_EQ(folderGetModified(item), nullptr);
  ObjectRecord* folder = Item("made");
  FolderItemCreateAsFolder(folder);
  EXPECT_TRUE(fileDirectoryGetter(folder));
  FolderItemDelete(folder);
  EXPECT_FALSE(fileExistsGetter(folder));
}

// Volumes are the drives from C; special folders are the shell's own answers.
TEST_F(FolderItems, VolumesAndSystemFoldersAreTheSystemsOwn) {
  int32_t volumes = getVolumeCount();
  ASSERT_GE(volumes, 1);
  DWORD drives = GetLogicalDrives();
  char expected = 0;
  for (int bit = 2; bit < 26 && !expected; ++bit)
    if (drives >> bit & 1) expected = static_cast<char>('A' + bit);
  EXPECT_EQ(Path(Keep(getVolume(0))), std::string(1, expected) + ":");
  EXPECT_EQ(getVolume(volumes), nullptr);
  const struct { ObjectRecord* (*get)(); int csidl; } kFolders[] = {
      {getDesktopFolder, CSIDL_DESKTOPDIRECTORY}, {getFontsFolder, CSIDL_FONTS},
      {getAppleMenuFolder, CSIDL_PROGRAMS}, {getStartupItemsFolder, CSIDL_STARTUP}};
  for (const auto& f : kFolders) {
    char shell[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, shell, f.csidl, FALSE)) << f.csidl;
    EXPECT_EQ(Path(Keep(f.get())), shell) << f.csidl;
  }
}

// Saving over a file: the old file stays whole until the new one is complete.
// Each step fails once as the system would fail it, then stops dead as a
// killed process would.
FileStep gFaultStep;
DWORD gFaultCode;
bool gDie;
struct Killed {};
DWORD Fault(FileStep step) {
  if (step != gFaultStep) return 0;
  if (gDie) throw Killed{};
  return std::exchange(gFaultCode, 0);
}

const struct StepCase { const char* name; FileStep step; DWORD code; } kSteps[] = {
    {"create", FileStep::kCreate, ERROR_ACCESS_DENIED}, {"write", FileStep::kWrite, ERROR_DISK_FULL},
    {"flush", FileStep::kFlush, ERROR_WRITE_FAULT},     {"close", FileStep::kClose, ERROR_DISK_FULL},
    {"replace", FileStep::kReplace, ERROR_SHARING_VIOLATION},
};

TEST_F(FolderItems, AFailedOrStoppedReplaceKeepsTheOldFileAndSaysWhy) {
  SetFileFaultHook(Fault);
  for (const StepCase& c : kSteps) {
    SCOPED_TRACE(c.name);
    folder_.Write("prefs", "old\r\n");
    gFaultStep = c.step;
    gFaultCode = c.code;
    gDie = false;
    ObjectRecord* out = FolderItemCreateTextFile(Item("prefs"));
    bool wrote = out && TextOutputStreamWriteLine(out, Str("new"));
    bool more = out && TextOutputStreamWrite(out, Str("more"));  // none after a failed write
    bool closed = out && TextOutputStreamClose(out);
    if (out) RuntimeUnlockObject(out);
    EXPECT_FALSE(wrote && closed);
    EXPECT_EQ(wrote, c.step != FileStep::kCreate && c.step != FileStep::kWrite);
    EXPECT_EQ(more, wrote);
    EXPECT_EQ(folder_.Read("prefs"), "old\r\n");
    EXPECT_EQ(folder_.Names(), Names{"prefs"});
    EXPECT_EQ(LastFileError(), c.code);
    std::string reason = Take(RuntimeFileErrorText());
    EXPECT_FALSE(reason.empty());
    EXPECT_NE(reason.back(), '.');
    // Stopped dead at the same step: at most a new file of its own name.
    gDie = true;
    out = nullptr;
    try {
      out = FolderItemCreateTextFile(Item("prefs"));
      TextOutputStreamWriteLine(out, Str("new"));
      TextOutputStreamClose(out);
    } catch (const Killed&) {
    }
    EXPECT_EQ(folder_.Read("prefs"), "old\r\n");
    EXPECT_LE(folder_.Names().size(), 2u);
    if (out) {  // tidy up the half-done replace
      gDie = false;
      gFaultStep = FileStep::kFlush;
      gFaultCode = ERROR_WRITE_FAULT;
      TextOutputStreamClose(out);
      RuntimeUnlockObject(out);
    }
    EXPECT_EQ(folder_.Read("prefs"), "old\r\n");
  }
  SetFileFaultHook(nullptr);
  // With nothing failing, the same calls put the new file in place.
  ObjectRecord* out = Keep(FolderItemCreateTextFile(Item("prefs")));
  ASSERT_NE(out, nullptr);
  EXPECT_TRUE(TextOutputStreamWriteLine(out, Str("new")));
  EXPECT_EQ(folder_.Read("prefs"), "old\r\n");  // not yet: the stream is open
  EXPECT_TRUE(TextOutputStreamClose(out));
  EXPECT_FALSE(TextOutputStreamClose(out));  // once
  EXPECT_FALSE(TextOutputStreamWrite(out, Str("late")));
  EXPECT_EQ(folder_.Read("prefs"), "new\r\n");
  EXPECT_EQ(folder_.Names(), Names{"prefs"});
}

// Refused at once: a folder, a missing folder (a read-only file: prefs_safety).
// Moving replaces what is at the destination.
TEST_F(FolderItems, UnreplaceableFilesAreRefusedAtOnceAndMovesReplace) {
  CreateDirectoryA((dir_ + "\\folder").c_str(), nullptr);
  for (const char* name : {"folder", "no-such-folder\\x"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(FolderItemCreateTextFile(Item(name)), nullptr);
    EXPECT_NE(LastFileError(), 0u);
  }
  EXPECT_EQ(folder_.Names(), Names{"folder"});
  folder_.Write("a", "first");
  folder_.Write("b", "second");
  EXPECT_TRUE(FolderItemMoveFileTo(Item("a"), Item("b")));
  EXPECT_EQ(folder_.Read("b"), "first");
  EXPECT_FALSE(FolderItemMoveFileTo(Item("missing"), Item("b")));
  EXPECT_EQ(LastFileError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(folder_.Names(), Names({"b", "folder"}));
}

// Whether another program's window can open the clipboard, and its text (the
// system tells openers apart by their windows).
struct Outside {
  bool opened = false;
  std::string text;
};
Outside LookOutside() {
  Outside seen;
  std::thread([&seen] {
    HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if ((seen.opened = OpenClipboard(window))) {
      if (HANDLE h = GetClipboardData(CF_TEXT)) {
        seen.text = static_cast<const char*>(GlobalLock(h));
        GlobalUnlock(h);
      }
      CloseClipboard();
    }
    DestroyWindow(window);
  }).join();
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

// Through the system's code pages, the runtime's Japanese converters, and
// byte for byte between two encodings nobody knows.
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
  // The long date, the time and the short time as the system writes them.
  const SYSTEMTIME st = {2027, 1, 0, 31, 14, 5, 9, 0};
  const struct { uint32_t which; decltype(&GetDateFormatA) format; DWORD flags; } texts[] = {
      {1, GetDateFormatA, DATE_LONGDATE}, {4, GetTimeFormatA, 0}, {3, GetTimeFormatA, TIME_NOSECONDS}};
  for (const auto& t : texts) {
    char expected[64];
    t.format(LOCALE_USER_DEFAULT, t.flags, &st, nullptr, expected, sizeof expected);
    EXPECT_EQ(Take(dateStringGetter(d, t.which)), expected) << t.which;
  }
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
