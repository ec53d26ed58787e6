// One window with controls, driven from outside: the order of the controls'
// and the window's "Open", fetching controls by key, the three ways a
// control follows a resize by its locks, a "CancelClose" that keeps the
// window, and the closing order. Closing the only window ends the run.
#include "window_events_project.h"
#include "sdk/ui_layouts.h"

namespace {

using vs::Field;
using vs::String;

VS_STRING(kOpen, "Open ");
VS_STRING(kClose, "Close ");
VS_STRING(kWindow, "window");
VS_STRING(kCount, "controls ");
VS_STRING(kFetch, "fetch ");
VS_STRING(kNone, "none");
VS_STRING(kNoIndex, "(no index)");
VS_STRING(kSpace, " ");
VS_STRING(kResized, "Resized");
VS_STRING(kKeep, "CancelClose: keep");
VS_STRING(kAgree, "CancelClose: agree");
VS_STRING(kGrow, "Grow");
VS_STRING(kCorner, "Corner");
VS_STRING(kStill, "Still");
VS_STRING(kGrowLower, "grow");
VS_STRING(kBeta3, "Beta$3");
VS_STRING(kBeta3Upper, "BETA$3");
VS_STRING(kBeta, "Beta");
VS_STRING(kDone, "run ended");

String Number(int32_t n) { return String::Adopt(StringStr(n)); }
String Text(StringRecord* s) { return String::Borrow(s); }
void Trace(const String& s) { lineTrace(s.get()); }

String NameOf(ObjectRecord* control) {
  return Text(Field<StringRecord*>(control, offsetof(ControlObject, name)));
}

String Fetched(ObjectRecord* window, StringRecord* key) {
  ObjectRecord* c = RuntimeControlFetch(window, key);
  String name = c ? NameOf(c) : Text(&kNone);
  String sp = Text(&kSpace);
  int32_t index = c ? Field<int32_t>(c, offsetof(ControlObject, index)) : 0;
  if (c && index == INT32_MIN) name = name + sp + Text(&kNoIndex);
  if (c && index != INT32_MIN) name = name + sp + Number(index);
  return Text(&kFetch) + Text(key) + sp + name;
}

String Bounds(ObjectRecord* window, StringRecord* key) {
  ObjectRecord* c = RuntimeControlFetch(window, key);
  const ShortRect& b = Field<ShortRect>(c, offsetof(RectControlObject, bounds));
  String sp = Text(&kSpace);
  return Text(key) + sp + Number(b.left) + sp + Number(b.top) + sp + Number(b.right) + sp + Number(b.bottom);
}

ObjectRecord* gMain = nullptr;

}  // namespace

extern "C" {

void Probe_Open(ObjectRecord* c) { Trace(Text(&kOpen) + NameOf(c)); }
void Probe_Close(ObjectRecord* c) { Trace(Text(&kClose) + NameOf(c)); }

void Events_Open(ObjectRecord* w) {
  Trace(Text(&kOpen) + Text(&kWindow));
  Trace(Text(&kCount) + Number(windowControlCountGetter(w, 0)));
  Trace(Fetched(w, &kGrowLower));
  Trace(Fetched(w, &kBeta3));
  Trace(Fetched(w, &kBeta3Upper));
  Trace(Fetched(w, &kBeta));
}

void Events_Resized(ObjectRecord* w) {
  String sp = Text(&kSpace);
  Trace(Text(&kResized) + sp + Number(windowPosGetter(w, 2)) + sp + Number(windowPosGetter(w, 3)));
  Trace(Bounds(w, &kGrow));
  Trace(Bounds(w, &kCorner));
  Trace(Bounds(w, &kStill));
}

bool Events_CancelClose(ObjectRecord* w) {
  int32_t& refusals = Field<int32_t>(w, vs_project::EventWindow::kRefusals);
  if (refusals++ == 0) {
    Trace(Text(&kKeep));
    return true;
  }
  Trace(Text(&kAgree));
  return false;
}

void Events_Close(ObjectRecord*) { Trace(Text(&kClose) + Text(&kWindow)); }

void EventsEntry() {
  RuntimeInit(vs_project_record);
  RuntimeCreateWindow(vs_window_Main, &gMain);
  RuntimeRun();
  Trace(Text(&kDone));
}

}  // extern "C"
