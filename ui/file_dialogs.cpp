// The system's open and save dialogs for compiled code. The filter comes from
// the application's own file-type list, so the dialog offers exactly the
// kinds of file the application declared, plus all files. The dialogs are
// owned like a new window would be, so that they stay above the window the
// user is working in and keep it from taking input meanwhile. They run a loop
// of the system's own, from which the pump's time-driven work goes on.
#include <windows.h>

#include <commdlg.h>

#include <string>

#include "objects/strings.h"
#include "sdk/vellory.h"
#include "services/file_types.h"
#include "services/folder_items.h"
#include "services/late_bound.h"
#include "services/settings.h"
#include "ui/event_loop.h"
#include "ui/native_window.h"

namespace {

enum class DialogKind { kOpen, kSave };

// What a dialog starts with besides the file types: a file name (the save
// dialog's suggestion) and the folder it opens in. Empty: none.
struct DialogStart {
  std::string name;
  std::string folder;
};

ObjectRecord* AskForFile(StringRecord* fileTypes, DialogKind kind, const DialogStart& start = {}) {
  DialogFilter filter = BuildDialogFilter(CurrentSettings().fileTypes, StringView(fileTypes));
  char file[256] = "";
  if (start.name.size() < sizeof file) start.name.copy(file, sizeof file - 1);
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = NewWindowOwner();
  ofn.lpstrFilter = filter.filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  if (!start.folder.empty()) ofn.lpstrInitialDir = start.folder.c_str();
  ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
  using Ask = BOOL(WINAPI*)(OPENFILENAMEA*);
  static Ask open = LateBound<Ask>("comdlg32.dll", "GetOpenFileNameA");
  static Ask save = LateBound<Ask>("comdlg32.dll", "GetSaveFileNameA");
  Ask ask = save;
  if (kind == DialogKind::kOpen) {
    ofn.Flags |= OFN_FILEMUSTEXIST;
    ask = open;
  } else {
    ofn.Flags |= OFN_OVERWRITEPROMPT;
    if (!filter.defaultExtension.empty()) ofn.lpstrDefExt = filter.defaultExtension.c_str();
  }
  if (!ask) return nullptr;
  ForeignModalLoop loop;
  return ask(&ofn) ? NewFolderItem(file) : nullptr;
}

}  // namespace

extern "C" {

ObjectRecord* RuntimeGetOpenFolderItem(StringRecord* fileTypes) {
  return AskForFile(fileTypes, DialogKind::kOpen);
}

ObjectRecord* RuntimeGetSaveFolderItem(StringRecord* fileTypes) {
  return AskForFile(fileTypes, DialogKind::kSave);
}

ObjectRecord* RuntimeGetSaveFolderItemNamed(StringRecord* fileTypes, StringRecord* name, ObjectRecord* folder) {
  DialogStart start{std::string(StringView(name)), folder ? PathOf(folder) : std::string()};
  return AskForFile(fileTypes, DialogKind::kSave, start);
}

}  // extern "C"
