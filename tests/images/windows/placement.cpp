// Two windows placed by their Frame's default placement: a document window
// (Frame 0) and a movable modal one (Frame 1). Each reports where it believes
// it is when it opens; the test reads where the system put it through the UI
// driver, clicks into the document window while the modal one is up (the
// click must not arrive) and after it is gone (it must).
#include "window_placement_project.h"
#include "sdk/ui_layouts.h"

namespace {

using vs::String;

VS_STRING(kOpen, "Open ");
VS_STRING(kClose, "Close ");
VS_STRING(kMouseDown, "MouseDown ");
VS_STRING(kSpace, " ");
VS_STRING(kMacProcId, "MacProcId ");

String Number(int32_t n) { return String::Adopt(StringStr(n)); }
String Text(StringRecord* s) { return String::Borrow(s); }

void TraceTitled(StringRecord* prefix, ObjectRecord* window, const String& rest) {
  String title = String::Adopt(windowTitleGetter(window, 0));
  String line = Text(prefix) + title + rest;
  lineTrace(line.get());
}

ObjectRecord* gMain = nullptr;
ObjectRecord* gDialog = nullptr;

}  // namespace

extern "C" {

void Plain_Open(ObjectRecord* w) {
  String sp = Text(&kSpace);
  String place = sp + Number(windowPosGetter(w, 0)) + sp + Number(windowPosGetter(w, 1)) + sp +
                 Number(windowPosGetter(w, 2)) + sp + Number(windowPosGetter(w, 3));
  TraceTitled(&kOpen, w, place);
}

void Plain_Close(ObjectRecord* w) { TraceTitled(&kClose, w, String()); }

bool Plain_MouseDown(ObjectRecord* w, int32_t x, int32_t y) {
  String sp = Text(&kSpace);
  TraceTitled(&kMouseDown, w, sp + Number(x) + sp + Number(y));
  return false;
}

void PlacementEntry() {
  RuntimeInit(vs_project_record);
  RuntimeCreateWindow(vs_window_Main, &gMain);
  RuntimeCreateWindow(vs_window_Dialog, &gDialog);
  // "MacProcID" in the description sets the property declared "MacProcId".
  String line = Text(&kMacProcId) + Number(vs::Field<int32_t>(gMain, offsetof(WindowObject, macProcId)));
  lineTrace(line.get());
  RuntimeRun();
}

}  // extern "C"
