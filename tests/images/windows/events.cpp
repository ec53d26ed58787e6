// One window with controls, driven from outside: the order of the controls'
// and the window's "Open", fetching controls by key, the three ways a
// control follows a resize by its locks, and the closing order. Closing the
// only window ends the run. (A "CancelClose" that keeps the window: the
// application's, app/prefs_safety.sh.)
#include "window_events_project.h"
#include "sdk/ui_layouts.h"
#include "tests/images/app_trace.h"

namespace {

using namespace vt;

String NameOf(ObjectRecord* control) {
  return String::Borrow(Field<StringRecord*>(control, offsetof(ControlObject, name)));
}

void TraceFetched(ObjectRecord* window, const String& key) {
  ObjectRecord* c = RuntimeControlFetch(window, key.get());
  int32_t index = c ? Field<int32_t>(c, offsetof(ControlObject, index)) : 0;
  if (!c) Trace("fetch ", key, " none");
  else if (index == INT32_MIN) Trace("fetch ", key, " ", NameOf(c), " (no index)");
  else Trace("fetch ", key, " ", NameOf(c), " ", index);
}

void TraceBounds(ObjectRecord* window, const String& key) {
  ObjectRecord* c = RuntimeControlFetch(window, key.get());
  const ShortRect& b = Field<ShortRect>(c, offsetof(RectControlObject, bounds));
  Trace(key, " ", b.left, " ", b.top, " ", b.right, " ", b.bottom);
}

ObjectRecord* gMain = nullptr;

}  // namespace

extern "C" {

void Probe_Open(ObjectRecord* c) { Trace("Open ", NameOf(c)); }
void Probe_Close(ObjectRecord* c) { Trace("Close ", NameOf(c)); }

void Events_Open(ObjectRecord* w) {
  Trace("Open window");
  Trace("controls ", windowControlCountGetter(w, 0));
  const String keys[] = {Line("grow"), Line("Beta$3"), Line("BETA$3"), Line("Beta")};
  for (const String& key : keys) TraceFetched(w, key);
}

void Events_Resized(ObjectRecord* w) {
  Trace("Resized ", windowPosGetter(w, 2), " ", windowPosGetter(w, 3));
  const String keys[] = {Line("Grow"), Line("Corner"), Line("Still")};
  for (const String& key : keys) TraceBounds(w, key);
}

void Events_Close(ObjectRecord*) { Trace("Close window"); }

void EventsEntry() { vt::RunMainWindow(vs_project_record, vs_window_Main, &gMain); }

}  // extern "C"
