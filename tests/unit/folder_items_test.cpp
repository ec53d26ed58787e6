// FolderItems and text streams on the real file system under Wine, each
// answer compared with what plain Win32 calls say about the same path
// (splitting lines and joining paths: files_test on the host).
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <string>
#include <utility>
#include <vector>

#include "objects/builtin_classes.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "sdk/service_layouts.h"
#include "sdk/vellory.h"
#include "services/file_replace.h"
#include "services/folder_items.h"
#include "unit/temp_folder.h"

namespace {

using Names = std::vector<std::string>;

class FolderItems : public testing::Test {
 protected:
  void SetUp() override { RegisterBuiltInClasses(); }
  void TearDown() override {
    for (ObjectRecord* o : objects_) RuntimeUnlockObject(o);
  }
  ObjectRecord* Keep(ObjectRecord* o) {
    objects_.push_back(o);
    return o;
  }
  StringRecord* Str(std::string_view s) {
    strings_.push_back(StringRef::Adopt(NewString(s)));
    return strings_.back().get();
  }
  static std::string Take(StringRecord* s) { return std::string(StringRef::Adopt(s).View()); }
  std::string Path(ObjectRecord* item) { return Take(fileAbsolutePathGetter(item)); }
  ObjectRecord* Item(const std::string& name) { return Keep(NewFolderItem(dir_ + "\\" + name)); }

  TempFolder folder_;
  const std::string dir_ = folder_.Path();
  std::vector<ObjectRecord*> objects_;
  std::vector<StringRef> strings_;
};

TEST_F(FolderItems, PathsJoinTheProgramsFolderOrStandAsTheyAre) {
  char program[MAX_PATH];
  std::string exe(program, GetModuleFileNameA(nullptr, program, MAX_PATH));
  std::string folder = exe.substr(0, exe.rfind('\\'));
  EXPECT_EQ(Path(Keep(RuntimeGetFolderItem(Str("Prefs.txt")))), folder + "\\Prefs.txt");
  EXPECT_EQ(Path(Keep(NewObjectOfClass(FindBuiltInClass("FolderItem")))), folder);
  // (The preferences folder's children are the application's preference
  // file, read and written end to end by tests/app/prefs_*.sh.)
  ObjectRecord* file = Item("never-made.txt");
  EXPECT_FALSE(fileExistsGetter(file));
  EXPECT_EQ(fileSizeGetter(file), 0);
  EXPECT_FALSE(fileLockedGetter(file));
  ObjectRecord* drive = Keep(NewFolderItem("Q:"));
  EXPECT_TRUE(fileDirectoryGetter(drive));  // by its shape alone
  EXPECT_FALSE(fileExistsGetter(drive));
}

TEST_F(FolderItems, WrittenLinesReadBackWithEveryLineEnd) {
  ObjectRecord* item = Item("lines.txt");
  ObjectRecord* out = Keep(FolderItemCreateTextFile(item));
  ASSERT_NE(out, nullptr);
  TextOutputStreamWriteLine(out, Str("a"));
  stringSetter(out, offsetof(TextOutputStreamObject, delimiter), Str("\r"));
  TextOutputStreamWriteLine(out, Str("b"));
  stringSetter(out, offsetof(TextOutputStreamObject, delimiter), Str("\n"));
  TextOutputStreamWriteLine(out, Str("c"));
  TextOutputStreamWrite(out, Str("d"));
  TextOutputStreamClose(out);
  TextOutputStreamWrite(out, Str("after close"));
  EXPECT_EQ(folder_.Read("lines.txt"), "a\r\nb\rc\nd");
  EXPECT_EQ(fileSizeGetter(item), 8);
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

// More than one buffer's worth, through the stream's own reads of the file
// (line ends are split as files_test checks on the host).
TEST_F(FolderItems, ALongFileReadsWhole) {
  std::string text;
  for (int i = 0; i < 500; ++i) text += "line " + std::to_string(i) + (i % 2 ? "\r\n" : "\n");
  folder_.Write("long.txt", text);
  ObjectRecord* in = Keep(FolderItemOpenTextFile(Item("long.txt")));
  ASSERT_NE(in, nullptr);
  EXPECT_EQ(Take(TextInputStreamReadLine(in)), "line 0");
  EXPECT_EQ(Take(TextInputStreamReadAll(in)), text.substr(7));
  EXPECT_TRUE(TextInputStreamEOF(in));
  TextInputStreamClose(in);
  EXPECT_FALSE(TextInputStreamEOF(in));  // a closed stream
  EXPECT_EQ(Take(TextInputStreamReadAll(in)), "");
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


  ObjectRecord* date = Keep(NewObjectOfClass(FindBuiltInClass("Date")));
  const int32_t fields[] = {2020, 2, 29, 12, 34, 56};
  for (uint32_t f = 0; f < 6; ++f) dateFieldSetter(date, f, fields[f]);
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

TEST_F(FolderItems, VolumesAreTheDrivesFromC) {
  int32_t volumes = getVolumeCount();
  ASSERT_GE(volumes, 1);
  DWORD drives = GetLogicalDrives();
  char expected = 0;
  for (int bit = 2; bit < 26 && !expected; ++bit)
    if (drives >> bit & 1) expected = static_cast<char>('A' + bit);
  EXPECT_EQ(Path(Keep(getVolume(0))), std::string(1, expected) + ":");
  EXPECT_EQ(getVolume(volumes), nullptr);
}

// The runtime asks the shell for these only when the application does; the
// answers must be the shell's own.
TEST_F(FolderItems, SystemFoldersAreTheShellsOwn) {
  const struct { ObjectRecord* (*get)(); int csidl; } kFolders[] = {
      {getDesktopFolder, CSIDL_DESKTOPDIRECTORY}, {getFontsFolder, CSIDL_FONTS},
      {getAppleMenuFolder, CSIDL_PROGRAMS}, {getStartupItemsFolder, CSIDL_STARTUP}};
  for (const auto& f : kFolders) {
    char expected[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, expected, f.csidl, FALSE)) << f.csidl;
    EXPECT_EQ(Path(Keep(f.get())), expected) << f.csidl;
  }
}

// Saving over a file through a created text stream: the old file stays whole
// until the new one is complete. Each step of the replace is made to fail
// once as the system would fail it (a full disk, a write fault, a file held
// by another program), and then to stop dead as a killed process would.
FileStep gFaultStep;
DWORD gFaultCode;
struct Killed {};
DWORD FailOnce(FileStep step) { return step == gFaultStep ? std::exchange(gFaultCode, 0) : 0; }
DWORD DieAtStep(FileStep step) {
  if (step == gFaultStep) throw Killed{};
  return 0;
}

const struct StepCase { const char* name; FileStep step; DWORD code; } kSteps[] = {
    {"create", FileStep::kCreate, ERROR_ACCESS_DENIED}, {"write", FileStep::kWrite, ERROR_DISK_FULL},
    {"flush", FileStep::kFlush, ERROR_WRITE_FAULT},     {"close", FileStep::kClose, ERROR_DISK_FULL},
    {"replace", FileStep::kReplace, ERROR_SHARING_VIOLATION},
};

TEST_F(FolderItems, AFailedReplaceKeepsTheOldFileAndSaysWhy) {
  for (const StepCase& c : kSteps) {
    SCOPED_TRACE(c.name);
    folder_.Write("prefs", "old\r\n");
    gFaultStep = c.step;
    gFaultCode = c.code;
    SetFileFaultHook(FailOnce);
    ObjectRecord* out = FolderItemCreateTextFile(Item("prefs"));
    bool wrote = out && TextOutputStreamWriteLine(out, Str("new"));
    bool more = out && TextOutputStreamWrite(out, Str("more"));  // none after a failed write
    bool closed = out && TextOutputStreamClose(out);
    SetFileFaultHook(nullptr);
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
  }
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

TEST_F(FolderItems, AReplaceStoppedAtAnyStepLeavesTheOldFile) {
  for (const StepCase& c : kSteps) {
    SCOPED_TRACE(c.name);
    folder_.Write("prefs", "old\r\n");
    gFaultStep = c.step;
    SetFileFaultHook(DieAtStep);
    ObjectRecord* out = nullptr;
    try {
      out = FolderItemCreateTextFile(Item("prefs"));
      TextOutputStreamWriteLine(out, Str("new"));
      TextOutputStreamClose(out);
    } catch (const Killed&) {
    }
    SetFileFaultHook(nullptr);
    EXPECT_EQ(folder_.Read("prefs"), "old\r\n");
    // What a dead process leaves is at most a new file of its own name.
    EXPECT_LE(folder_.Names().size(), 2u);
    if (out) {
      gFaultStep = FileStep::kFlush;  // tidy up the half-done replace
      gFaultCode = ERROR_WRITE_FAULT;
      SetFileFaultHook(FailOnce);
      TextOutputStreamClose(out);
      SetFileFaultHook(nullptr);
      RuntimeUnlockObject(out);
    }
    EXPECT_EQ(folder_.Read("prefs"), "old\r\n");
  }
}

TEST_F(FolderItems, FilesThatCannotBeReplacedAreRefusedAtOnce) {
  // (A read-only file is refused and kept byte for byte end to end by
  // tests/app/prefs_safety.sh.)
  CreateDirectoryA((dir_ + "\\folder").c_str(), nullptr);
  for (const char* name : {"folder", "no-such-folder\\x"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(FolderItemCreateTextFile(Item(name)), nullptr);
    EXPECT_NE(LastFileError(), 0u);
  }
  EXPECT_EQ(folder_.Names(), Names{"folder"});
}

TEST_F(FolderItems, MovingAFileReplacesWhatIsAtTheDestination) {
  folder_.Write("a", "first");
  folder_.Write("b", "second");
  EXPECT_TRUE(FolderItemMoveFileTo(Item("a"), Item("b")));
  EXPECT_EQ(folder_.Read("b"), "first");
  EXPECT_FALSE(FolderItemMoveFileTo(Item("missing"), Item("b")));
  EXPECT_EQ(LastFileError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(folder_.Names(), Names{"b"});
}

}  // namespace
