// The open and save dialogs, answered by the UI driver as a user would: a
// file chosen by name, a cancel, and a save under a name without an
// extension (the dialog adds the first extension of the offered types).
#include "window_dialogs_project.h"

namespace {

using vs::String;

VS_STRING(kTypes, "text/plain;text/html");
VS_STRING(kOpened, "opened ");
VS_STRING(kSaved, "saved ");
VS_STRING(kNil, "nil");

ObjectRecord* gMain = nullptr;

void TraceItem(StringRecord* what, ObjectRecord* item) {
  String path = item ? String::Adopt(fileNameGetter(item)) : String::Borrow(&kNil);
  String line = String::Borrow(what) + path;
  lineTrace(line.get());
  RuntimeUnlockObject(item);
}

}  // namespace

extern "C" void DialogsEntry() {
  RuntimeInit(vs_project_record);
  RuntimeCreateWindow(vs_window_Main, &gMain);
  TraceItem(&kOpened, RuntimeGetOpenFolderItem(&kTypes));
  TraceItem(&kOpened, RuntimeGetOpenFolderItem(&kTypes));
  TraceItem(&kSaved, RuntimeGetSaveFolderItem(&kTypes));
}
