// FolderItems hold a path and nothing else; every property asks the file
// system again, so an item stays right while other programs change files.
// Getters on a path that does not exist answer false, 0 or "", and the
// changing operations report nothing: callers test Exists first.
#include "services/folder_items.h"

#include <windows.h>

#include <shlobj.h>

#include <string>
#include <vector>

#include "objects/builtin_classes.h"
#include "objects/checked_cast.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "sdk/service_layouts.h"
#include "sdk/vellory.h"
#include "services/file_types.h"
#include "services/late_bound.h"
#include "services/paths.h"
#include "services/settings.h"

namespace {

// The object as a FolderItem; null for nil and for an object of any other class.
FolderItemObject* AsItem(ObjectRecord* o) { return As<FolderItemObject>(o); }

std::string ProgramFolder() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return FolderOf(std::string_view(path, n));
}

// Nothing for an object that is no FolderItem.
void SetPath(ObjectRecord* item, const std::string& path) {
  FolderItemObject* f = AsItem(item);
  if (!f) return;
  StringRecord* old = f->path;
  f->path = NewString(path);
  f->hasPath = 1;
  RuntimeUnlockString(old);
}

DWORD Attributes(ObjectRecord* item) { return GetFileAttributesA(PathOf(item).c_str()); }

bool Exists(ObjectRecord* item) { return Attributes(item) != INVALID_FILE_ATTRIBUTES; }

bool HasAttribute(ObjectRecord* item, DWORD attribute) {
  DWORD a = Attributes(item);
  return a != INVALID_FILE_ATTRIBUTES && (a & attribute);
}

void ChangeAttribute(ObjectRecord* item, DWORD attribute, bool on) {
  DWORD a = Attributes(item);
  if (a == INVALID_FILE_ATTRIBUTES) return;
  DWORD changed = on ? (a | attribute) : (a & ~attribute);
  if (changed != a) SetFileAttributesA(PathOf(item).c_str(), changed);
}

bool IsDriveOnly(const std::string& path) {
  return path.size() == 2 && path[1] == ':' && IsCharAlphaA(path[0]);
}

// The process-wide listing of one folder, in the system's order.
struct Listing {
  std::string folder;
  std::vector<std::string> names;
};
Listing gListing;

void BuildListing(const std::string& folder) {
  gListing.folder = folder;
  gListing.names.clear();
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::string_view name = found.cFileName;
    if (name != "." && name != "..") gListing.names.emplace_back(name);
  } while (FindNextFileA(find, &found));
  FindClose(find);
}

bool ListingIsFor(const std::string& folder) {
  return lstrcmpiA(gListing.folder.c_str(), folder.c_str()) == 0;
}

// File times of the system are kept in UTC; dates are local.
ObjectRecord* DateOfFileTime(const FILETIME& utc) {
  FILETIME local;
  FileTimeToLocalFileTime(&utc, &local);
  ObjectRecord* date = NewObjectOfClass(FindBuiltInClass("Date"));
  auto* d = reinterpret_cast<DateObject*>(date);
  d->timeLow = local.dwLowDateTime;
  d->timeHigh = local.dwHighDateTime;
  d->isSet = 1;
  return date;
}

enum class Stamp { kCreation, kModification };

ObjectRecord* FileDate(ObjectRecord* item, Stamp which) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(PathOf(item).c_str(), GetFileExInfoStandard, &data)) return nullptr;
  return DateOfFileTime(which == Stamp::kCreation ? data.ftCreationTime : data.ftLastWriteTime);
}

void SetFileDate(ObjectRecord* item, Stamp which, ObjectRecord* date) {
  DateObject* d = As<DateObject>(date);
  if (!d) return;
  dateFieldGetter(date, 0);  // a date not yet used takes the current time now
  FILETIME local = {d->timeLow, d->timeHigh}, utc;
  LocalFileTimeToFileTime(&local, &utc);
  HANDLE file = CreateFileA(PathOf(item).c_str(), FILE_WRITE_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  SetFileTime(file, which == Stamp::kCreation ? &utc : nullptr, nullptr,
              which == Stamp::kModification ? &utc : nullptr);
  CloseHandle(file);
}

ObjectRecord* WindowsDirectoryItem(UINT (WINAPI* get)(LPSTR, UINT)) {
  char path[MAX_PATH];
  UINT n = get(path, MAX_PATH);
  // A longer folder name comes back as the size it needs, not as text.
  return n && n < MAX_PATH ? NewFolderItem(std::string(path, n)) : nullptr;
}

ObjectRecord* ShellFolder(int csidl) {
  char path[MAX_PATH];
  using Get = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);
  static Get get = LateBound<Get>("shell32.dll", "SHGetSpecialFolderPathA");
  if (!get || !get(nullptr, path, csidl, FALSE)) return nullptr;
  return NewFolderItem(path);
}

}  // namespace

ObjectRecord* NewFolderItem(const std::string& path) {
  ObjectRecord* item = NewObjectOfClass(FindBuiltInClass("FolderItem"));
  SetPath(item, path);
  return item;
}

std::string PathOf(ObjectRecord* item) {
  FolderItemObject* f = AsItem(item);
  if (!f) return {};
  if (!f->hasPath) SetPath(item, ProgramFolder());
  return std::string(StringView(f->path));
}

void __cdecl FolderItemDestruct(ObjectRecord* item, ClassRecord*) {
  auto* f = reinterpret_cast<FolderItemObject*>(item);
  RuntimeUnlockString(f->path);
  f->path = nullptr;
}

extern "C" {

ObjectRecord* RuntimeGetFolderItem(StringRecord* path) {
  return NewFolderItem(JoinPath(ProgramFolder(), StringView(path), true));
}
ObjectRecord* RuntimeGetTrueFolderItem(StringRecord* path) { return RuntimeGetFolderItem(path); }
ObjectRecord* FolderItemFromPath(StringRecord* path) { return RuntimeGetFolderItem(path); }

ObjectRecord* FolderChild(ObjectRecord* folder, StringRecord* name) {
  if (!folder) RuntimeNilObject();
  if (!AsItem(folder)) return nullptr;
  return NewFolderItem(PathOf(folder) + "\\" + std::string(StringView(name)));
}
ObjectRecord* FolderTrueChild(ObjectRecord* folder, StringRecord* name) {
  return FolderChild(folder, name);
}

StringRecord* fileAbsolutePathGetter(ObjectRecord* item) { return NewString(PathOf(item)); }

StringRecord* fileNameGetter(ObjectRecord* item) { return NewString(SplitPath(PathOf(item)).name); }

void fileNameSetter(ObjectRecord* item, uint32_t, StringRecord* name) {
  std::string from = PathOf(item);
  std::string to = JoinPath(from, StringView(name), false);
  // A file that is there and could not be renamed keeps its name: the item
  // must go on naming the file, not a path where nothing is.
  if (GetFileAttributesA(from.c_str()) != INVALID_FILE_ATTRIBUTES && !MoveFileA(from.c_str(), to.c_str()))
    return;
  SetPath(item, to);
}

bool fileExistsGetter(ObjectRecord* item) { return Exists(item); }

bool fileDirectoryGetter(ObjectRecord* item) {
  std::string path = PathOf(item);
  return IsDriveOnly(path) || HasAttribute(item, FILE_ATTRIBUTE_DIRECTORY);
}

int32_t fileSizeGetter(ObjectRecord* item) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(PathOf(item).c_str(), GetFileExInfoStandard, &data)) return 0;
  return static_cast<int32_t>(data.nFileSizeLow);
}

bool fileLockedGetter(ObjectRecord* item) { return HasAttribute(item, FILE_ATTRIBUTE_READONLY); }
void fileLockedSetter(ObjectRecord* item, uint32_t, bool locked) {
  ChangeAttribute(item, FILE_ATTRIBUTE_READONLY, locked);
}

bool fileVisibleGetter(ObjectRecord* item) { return !HasAttribute(item, FILE_ATTRIBUTE_HIDDEN); }
void fileVisibleSetter(ObjectRecord* item, uint32_t, bool visible) {
  ChangeAttribute(item, FILE_ATTRIBUTE_HIDDEN, !visible);
}

ObjectRecord* folderParentGetter(ObjectRecord* item) {
  std::string path = PathOf(item);
  std::string parent = ParentPath(path);
  if (parent == path) return nullptr;
  return NewFolderItem(parent);
}

int32_t fileCountGetter(ObjectRecord* folder) {
  BuildListing(PathOf(folder));
  return static_cast<int32_t>(gListing.names.size());
}

ObjectRecord* FolderItemItem(ObjectRecord* folder, int32_t index) {
  std::string path = PathOf(folder);
  if (!ListingIsFor(path)) BuildListing(path);
  if (index < 1 || static_cast<size_t>(index) > gListing.names.size()) return nullptr;
  return NewFolderItem(path + "\\" + gListing.names[static_cast<size_t>(index) - 1]);
}
ObjectRecord* FolderItemTrueItem(ObjectRecord* folder, int32_t index) {
  return FolderItemItem(folder, index);
}

ObjectRecord* folderGetCreation(ObjectRecord* item) { return FileDate(item, Stamp::kCreation); }
ObjectRecord* folderGetModified(ObjectRecord* item) { return FileDate(item, Stamp::kModification); }
void folderSetCreation(ObjectRecord* item, uint32_t, ObjectRecord* date) {
  SetFileDate(item, Stamp::kCreation, date);
}
void folderSetModified(ObjectRecord* item, uint32_t, ObjectRecord* date) {
  SetFileDate(item, Stamp::kModification, date);
}

void FolderItemDelete(ObjectRecord* item) {
  std::string path = PathOf(item);
  // An empty folder goes too: that is what a user means by deleting it.
  if (HasAttribute(item, FILE_ATTRIBUTE_DIRECTORY))
    RemoveDirectoryA(path.c_str());
  else
    DeleteFileA(path.c_str());
}
void FolderItemCreateAsFolder(ObjectRecord* item) {
  CreateDirectoryA(PathOf(item).c_str(), nullptr);
}

// The application's file type whose extensions include the item's.
StringRecord* fileTypeGetter(ObjectRecord* item) {
  return NewString(FileTypeOfName(CurrentSettings().fileTypes, SplitPath(PathOf(item)).name));
}

// Mac-only properties: nothing on this platform.
StringRecord* fileMacTypeGetter(ObjectRecord*) { return nullptr; }
void fileMacTypeSetter(ObjectRecord*, uint32_t, StringRecord*) {}
StringRecord* fileMacCreatorGetter(ObjectRecord*) { return nullptr; }
void fileMacCreatorSetter(ObjectRecord*, uint32_t, StringRecord*) {}
int32_t fileRFSizeGetter(ObjectRecord*) { return 0; }
bool fileAliasGetter(ObjectRecord*) { return false; }
ObjectRecord* folderFindFolder(ObjectRecord*, int32_t) { return nullptr; }

ObjectRecord* getPreferencesFolder() { return WindowsDirectoryItem(GetWindowsDirectoryA); }
ObjectRecord* getSystemFolder() { return WindowsDirectoryItem(GetSystemDirectoryA); }
ObjectRecord* getExtensionsFolder() { return WindowsDirectoryItem(GetSystemDirectoryA); }

ObjectRecord* getTemporaryItemsFolder() {
  char path[MAX_PATH];
  DWORD n = GetTempPathA(MAX_PATH, path);
  if (!n || n >= MAX_PATH) return nullptr;
  std::string folder(path, n);
  if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return NewFolderItem(folder);
}

ObjectRecord* getTemporaryFolderItem() {
  char folder[MAX_PATH], file[MAX_PATH];
  DWORD n = GetTempPathA(MAX_PATH, folder);
  if (!n || n >= MAX_PATH || !GetTempFileNameA(folder, "vs", 0, file)) return nullptr;
  return NewFolderItem(file);
}

ObjectRecord* getDesktopFolder() { return ShellFolder(CSIDL_DESKTOPDIRECTORY); }
ObjectRecord* getTrashFolder() { return ShellFolder(CSIDL_BITBUCKET); }
ObjectRecord* getFontsFolder() { return ShellFolder(CSIDL_FONTS); }
ObjectRecord* getStartupItemsFolder() { return ShellFolder(CSIDL_STARTUP); }
ObjectRecord* getShutdownItemsFolder() { return nullptr; }
ObjectRecord* getControlPanelsFolder() { return ShellFolder(CSIDL_CONTROLS); }
ObjectRecord* getAppleMenuFolder() { return ShellFolder(CSIDL_PROGRAMS); }

int32_t getVolumeCount() {
  DWORD drives = GetLogicalDrives();
  int32_t count = 0;
  for (int bit = 0; bit < 26; ++bit) count += (drives >> bit) & 1;
  return count;
}

// Drives C: to Z: come first, then A: and B:.
ObjectRecord* getVolume(int32_t index) {
  DWORD drives = GetLogicalDrives();
  int32_t seen = 0;
  for (int step = 0; step < 26; ++step) {
    int bit = (step + 2) % 26;
    if (!((drives >> bit) & 1)) continue;
    if (seen++ == index) return NewFolderItem(std::string(1, static_cast<char>('A' + bit)) + ":");
  }
  return nullptr;
}

}  // extern "C"

const PropertyEntry kFolderItemProperties[] = {
    {"Behavior", "AbsolutePath", "String", CodeOf(fileAbsolutePathGetter), nullptr, 0},
    {"Behavior", "Name", "String", CodeOf(fileNameGetter), CodeOf(fileNameSetter), 0},
    {"Behavior", "Exists", "Boolean", CodeOf(fileExistsGetter), nullptr, 0},
    {"Behavior", "Directory", "Boolean", CodeOf(fileDirectoryGetter), nullptr, 0},
    {"Behavior", "Length", "Integer", CodeOf(fileSizeGetter), nullptr, 0},
    {"Behavior", "Locked", "Boolean", CodeOf(fileLockedGetter), CodeOf(fileLockedSetter), 0},
    {"Behavior", "Visible", "Boolean", CodeOf(fileVisibleGetter), CodeOf(fileVisibleSetter), 0},
    {"Behavior", "Parent", "FolderItem", CodeOf(folderParentGetter), nullptr, 0},
    {"Behavior", "Count", "Integer", CodeOf(fileCountGetter), nullptr, 0},
    {"Behavior", "CreationDate", "Date", CodeOf(folderGetCreation), CodeOf(folderSetCreation), 0},
    {"Behavior", "ModificationDate", "Date", CodeOf(folderGetModified), CodeOf(folderSetModified), 0},
    {"Behavior", "Type", "String", CodeOf(fileTypeGetter), nullptr, 0},
    {"Behavior", "MacType", "String", CodeOf(fileMacTypeGetter), CodeOf(fileMacTypeSetter), 0},
    {"Behavior", "MacCreator", "String", CodeOf(fileMacCreatorGetter), CodeOf(fileMacCreatorSetter), 0},
    {"Behavior", "ResourceForkLength", "Integer", CodeOf(fileRFSizeGetter), nullptr, 0},
    {"Behavior", "Alias", "Boolean", CodeOf(fileAliasGetter), nullptr, 0},
};
const uint32_t kFolderItemPropertyCount =
    sizeof(kFolderItemProperties) / sizeof(kFolderItemProperties[0]);
