// Two windows placed by their Frame's default placement, a document window
// (Frame 0) and a movable modal one (Frame 1), each tracing where it believes
// it is; the scenario checks where the system put them and the modal rule.
#include "window_placement_project.h"
#include "tests/images/app_trace.h"

namespace {

using vt::Trace;

vs::String Title(ObjectRecord* window) { return vs::String::Adopt(windowTitleGetter(window, 0)); }

ObjectRecord* gMain = nullptr;
ObjectRecord* gDialog = nullptr;

}  // namespace

extern "C" {

void Plain_Open(ObjectRecord* w) {
  Trace("Open ", Title(w), " ", windowPosGetter(w, 0), " ", windowPosGetter(w, 1), " ", windowPosGetter(w, 2), " ",
        windowPosGetter(w, 3));
}

void Plain_Close(ObjectRecord* w) { Trace("Close ", Title(w)); }

bool Plain_MouseDown(ObjectRecord* w, int32_t x, int32_t y) {
  Trace("MouseDown ", Title(w), " ", x, " ", y);
  return false;
}

void PlacementEntry() {
  RuntimeInit(vs_project_record);
  RuntimeCreateWindow(vs_window_Main, &gMain);
  RuntimeCreateWindow(vs_window_Dialog, &gDialog);
  RuntimeRun();
}

}  // extern "C"
