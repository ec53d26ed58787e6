// The service objects through their entry points, each answer compared with
// the system's: FolderItems and text streams on the real file system, the
// clipboard as another thread sees it, code pages, dates set field by field.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
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
  StringRecord* Str(std::string_view s) { return strings_.emplace_back(StringRef::Adopt(NewString(s))).get(); }
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

TEST_F(ServiceObjects, FolderItemsNameListRenameDateDeleteWriteAndReadFiles) {
  char program[MAX_PATH];
  std::string exe(program, GetModuleFileNameA(nullptr, program, MAX_PATH));
  std::string folder = exe.substr(0, exe.rfind('\\'));
  EXPECT_EQ(Path(Keep(RuntimeGetFolderItem(Str("Prefs.txt")))), folder + "\\Prefs.txt");
  EXPECT_EQ(Path(New("FolderItem")), folder);
  ObjectRecord* missing = Item("never-made.txt");
  EXPECT_EQ((std::vector<int32_t>{fileExistsGetter(missing), fileSizeGetter(missing), fileLockedGetter(missing)}),
            (std::vector<int32_t>{0, 0, 0}));

  for (const char* name : {"b.txt", "a.txt", "c.dat"}) folder_.Write(name, "x");
  Names system = folder_.Names(false);
  ObjectRecord* dir = Keep(NewFolderItem(dir_));
  ASSERT_EQ(fileCountGetter(dir), 3);
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(Take(fileNameGetter(Keep(FolderItemItem(dir, i)))), system[i - 1]);
  for (int i : {0, 4}) EXPECT_EQ(FolderItemItem(dir, i), nullptr) << i;

  ObjectRecord* item = Item("a.txt");
  fileNameSetter(item, 0, Str("new.txt"));
  EXPECT_EQ(Path(item), dir_ + "\\new.txt");
  EXPECT_EQ(folder_.Names(), (Names{"b.txt", "c.dat", "new.txt"}));
  ObjectRecord* date = DateOf({2020, 2, 29, 12, 34, 56});
  folderSetModified(item, 0, date);
  ObjectRecord* modified = Keep(folderGetModified(item));
  ASSERT_NE(modified, nullptr);
  EXPECT_DOUBLE_EQ(dateTotalSecondsGetter(modified), dateTotalSecondsGetter(date));
  FolderItemDelete(item);
  EXPECT_FALSE(fileExistsGetter(item));
  EXPECT_EQ(folderGetModified(item), nullptr);

  // More than a buffer's worth with every line end, read back whole (a read
  // failing part-way is LineReader's and app_held_files').
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
  EXPECT_FALSE(TextInputStreamReadFailed(in));  // only at its end
  EXPECT_FALSE(TextInputStreamReadFailed(nullptr));
  TextInputStreamClose(in);
}

// Saving over a file: each step fails once as the system would fail it, then
// stops dead as a killed process would; the old file stays whole.
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

TEST_F(ServiceObjects, AFailedOrStoppedReplaceKeepsTheOldFileAndSaysWhyAndUnreplaceableFilesAreRefused) {
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
  // A folder or a missing folder is refused at once (a read-only file: prefs_safety); a move replaces.
  CreateDirectoryA((dir_ + "\\folder").c_str(), nullptr);
  for (const char* name : {"folder", "no-such-folder\\x"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(FolderItemCreateTextFile(Item(name)), nullptr);
    EXPECT_NE(LastFileError(), 0u);
  }
  EXPECT_EQ(folder_.Names(), (Names{"folder", "prefs"}));
  folder_.Write("a", "first");
  folder_.Write("b", "second");
  EXPECT_TRUE(FolderItemMoveFileTo(Item("a"), Item("b")));
  EXPECT_EQ(folder_.Read("b"), "first");
  EXPECT_FALSE(FolderItemMoveFileTo(Item("missing"), Item("b")));
  EXPECT_EQ(LastFileError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(folder_.Names(), (Names{"b", "folder", "prefs"}));
}

// The clipboard's text as another program's window sees it, or nothing when
// that window cannot open it (the system tells openers apart by their windows).
std::optional<std::string> LookOutside() {
  std::optional<std::string> seen;
  std::thread([&seen] {
    HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (OpenClipboard(window)) {
      HANDLE h = GetClipboardData(CF_TEXT);
      seen = h ? static_cast<const char*>(GlobalLock(h)) : "";
      if (h) GlobalUnlock(h);
      CloseClipboard();
    }
    DestroyWindow(window);
  }).join();
  return seen;
}

TEST_F(ServiceObjects, AClipboardIsHeldFromItsFirstUseUntilItIsClosed) {
  ObjectRecord* c = New("Clipboard");
  EXPECT_TRUE(LookOutside());  // not opened by creating the object
  clipboardSetText(c, Str("first"));
  EXPECT_FALSE(LookOutside());
  clipboardSetText(c, Str("second"));
  EXPECT_EQ(Take(clipboardTextGetter(c)), "second");
  clipboardClose(c);
  clipboardClose(c);  // closing twice is harmless
  EXPECT_EQ(LookOutside(), "second");
  // Released while it holds the system clipboard, it lets go.
  ObjectRecord* held = NewObjectOfClass(FindBuiltInClass("Clipboard"));
  Take(clipboardTextGetter(held));
  EXPECT_FALSE(LookOutside());
  RuntimeUnlockObject(held);
  EXPECT_TRUE(LookOutside());
}

// Through the system's code pages, the runtime's Japanese converters, and byte for byte.
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
}

// A day that the month set before it does not have yet must not roll the date on.
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
