// One window holding every built-in control kind, driven from outside: the
// rows a popup's InitialValue gives (a stray control byte kept, "" none,
// "Choose..." one), then the events of typing, tabs, popup, check box and a
// progress bar turned indeterminate and back.
#include "window_kinds_project.h"
#include "sdk/ui_layouts.h"
#include "tests/images/app_trace.h"

namespace {

using namespace vt;

ObjectRecord* gMain = nullptr;

template <size_t N>
ObjectRecord* Control(const char (&name)[N]) { return RuntimeControlFetch(gMain, Line(name).get()); }

// Control bytes shown as <code>.
String Visible(const String& s) {
  String out;
  for (int32_t i = 1; i <= s.Length(); ++i) {
    String c = String::Adopt(StringMid3(s.get(), i, 1));
    int32_t code = StringAsc(c.get());
    out = code < 32 ? Line(out, "<", code, ">") : out + c;
  }
  return out;
}

void TraceRows(const String& name) {
  ObjectRecord* popup = RuntimeControlFetch(gMain, name.get());
  int32_t count = RuntimePopupCountGetter(popup);
  String line = Line(name, " rows ", count);
  for (int32_t i = 0; i < count; ++i)
    line = Line(line, i == 0 ? Line(": ") : Line("|"), Visible(String::Adopt(RuntimePopupGetRow(popup, i))));
  lineTrace(line.get());
}

void SetMaximum(int32_t maximum) {
  progressMaximumSetter(Control("Bar"), 0, maximum);
  Trace("Bar Maximum ", progressMaximumGetter(Control("Bar")));
}

}  // namespace

extern "C" {

void Kinds_Open(ObjectRecord* w) {
  gMain = w;
  TraceRows(Line("Popup"));
  ObjectRecord* popup = Control("Popup");
  bool released = !vs::Field<StringRecord*>(popup, offsetof(PopupMenuObject, initialValue));
  Trace(released ? Line("Popup InitialValue released") : Line("Popup InitialValue kept"));
  const String popups[] = {Line("Empty"), Line("Choose"), Line("Parity")};
  for (const String& name : popups) TraceRows(name);
  RuntimePopupSelectionSetter(popup, 0, 0);
  Trace("Tabs Value ", tabPanelValueGetter(Control("Tabs")));
  Trace("Bar ", progressValueGetter(Control("Bar")), " of ", progressMaximumGetter(Control("Bar")));
  Trace("Open window");
}

void Kinds_Close(ObjectRecord*) { Trace("Close window"); }

bool Field_KeyDown(ObjectRecord*, StringRecord* key) {
  bool consume = RuntimeStringCompare(key, Line("x").get()) == 0;
  Trace("KeyDown ", key, consume ? Line(" consumed") : String());
  return consume;
}

void Field_TextChange(ObjectRecord* field) { Trace("TextChange ", String::Adopt(editTextGetter(field))); }

void Field_SelChange(ObjectRecord* field) {
  Trace("SelChange ", editSelStartGetter(field), " ", editSelLengthGetter(field));
}

void Sweep_Action(ObjectRecord*) {
  Trace("Action Sweep");
  SetMaximum(0);
}

void Stop_Action(ObjectRecord*) {
  Trace("Action Stop");
  SetMaximum(100);
}

void Check_Action(ObjectRecord* box) {
  Trace("Check Action ", checkBoxValueGetter(box) ? Line("True") : Line("False"));
}

void Popup_Change(ObjectRecord* popup) {
  Trace("Change ", RuntimePopupSelectionGetter(popup), " ", String::Adopt(popupTextGetter(popup)));
}

void Tabs_Change(ObjectRecord* panel) { Trace("Change tab ", tabPanelValueGetter(panel)); }

void KindsEntry() { vt::RunMainWindow(vs_project_record, vs_window_Main, &gMain); }

}  // extern "C"
