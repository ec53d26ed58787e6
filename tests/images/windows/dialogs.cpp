// The open and save dialogs, answered by the UI driver as a user would: a
// file chosen by name, a cancel, and a save under a name without an
// extension (the dialog adds the first extension of the offered types).
#include "window_dialogs_project.h"
#include "tests/images/app_trace.h"

namespace {

using vt::Line;

ObjectRecord* gMain = nullptr;

void TraceItem(const vs::String& what, ObjectRecord* item) {
  vt::Trace(what, item ? vs::String::Adopt(fileNameGetter(item)) : Line("nil"));
  RuntimeUnlockObject(item);
}

}  // namespace

extern "C" void DialogsEntry() {
  RuntimeInit(vs_project_record);
  RuntimeCreateWindow(vs_window_Main, &gMain);
  TraceItem(Line("opened "), RuntimeGetOpenFolderItem(Line("text/plain;text/html").get()));
  TraceItem(Line("opened "), RuntimeGetOpenFolderItem(Line("text/plain;text/html").get()));
  TraceItem(Line("saved "), RuntimeGetSaveFolderItem(Line("text/plain;text/html").get()));
}
