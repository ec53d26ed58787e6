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

ObjectRecord* AskForFile(StringRecord* fileTypes, DialogKind kind) {
  DialogFilter filter = BuildDialogFilter(CurrentSettings().fileTypes, StringView(fileTypes));
  char file[256] = "";
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = NewWindowOwner();
  ofn.lpstrFilter = filter.filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
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

}  // extern "C"
