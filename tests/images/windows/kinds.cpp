// One window holding every built-in control kind, driven from outside: the
// rows a popup's InitialValue gives (a stray control byte kept, "" none,
// "Choose..." one), typed characters reaching an edit field's "KeyDown"
// (one of them consumed), a tab change that shows the second tab's controls,
// a popup changed by the keyboard, a check box clicked, and a progress bar
// turned indeterminate and back by two push buttons.
#include "window_kinds_project.h"
#include "sdk/ui_layouts.h"

namespace {

using vs::Field;
using vs::String;

VS_STRING(kOpen, "Open window");
VS_STRING(kClose, "Close window");
VS_STRING(kDone, "run ended");
VS_STRING(kPopup, "Popup");
VS_STRING(kEmpty, "Empty");
VS_STRING(kChoose, "Choose");
VS_STRING(kParity, "Parity");
VS_STRING(kTabs, "Tabs");
VS_STRING(kBar, "Bar");
VS_STRING(kRows, " rows ");
VS_STRING(kColon, ":");
VS_STRING(kPipe, "|");
VS_STRING(kSpace, " ");
VS_STRING(kLt, "<");
VS_STRING(kGt, ">");
VS_STRING(kReleased, "Popup InitialValue released");
VS_STRING(kKept, "Popup InitialValue kept");
VS_STRING(kTabsValue, "Tabs Value ");
VS_STRING(kOf, " of ");
VS_STRING(kKeyDown, "KeyDown ");
VS_STRING(kConsumed, " consumed");
VS_STRING(kX, "x");
VS_STRING(kTextChange, "TextChange ");
VS_STRING(kSelChange, "SelChange ");
VS_STRING(kChangeTab, "Change tab ");
VS_STRING(kChange, "Change ");
VS_STRING(kCheckAction, "Check Action ");
VS_STRING(kTrue, "True");
VS_STRING(kFalse, "False");
VS_STRING(kSweep, "Action Sweep");
VS_STRING(kStop, "Action Stop");
VS_STRING(kMaximum, "Bar Maximum ");

ObjectRecord* gMain = nullptr;

String Number(int32_t n) { return String::Adopt(StringStr(n)); }
String Text(StringRecord* s) { return String::Borrow(s); }
void Trace(const String& s) { lineTrace(s.get()); }

ObjectRecord* Control(StringRecord* name) { return RuntimeControlFetch(gMain, name); }

// Control bytes shown as <code>.
String Visible(const String& s) {
  String out;
  int32_t n = s.Length();
  for (int32_t i = 1; i <= n; ++i) {
    String c = String::Adopt(StringMid3(s.get(), i, 1));
    int32_t code = StringAsc(c.get());
    if (code < 32)
      out = out + Text(&kLt) + Number(code) + Text(&kGt);
    else
      out = out + c;
  }
  return out;
}

void TraceRows(StringRecord* name) {
  ObjectRecord* popup = Control(name);
  int32_t count = RuntimePopupCountGetter(popup);
  String line = Text(name) + Text(&kRows) + Number(count);
  for (int32_t i = 0; i < count; ++i) {
    String row = String::Adopt(RuntimePopupGetRow(popup, i));
    line = line + (i == 0 ? Text(&kColon) + Text(&kSpace) : Text(&kPipe)) + Visible(row);
  }
  Trace(line);
}

String Truth(bool b) { return Text(b ? &kTrue : &kFalse); }

}  // namespace

extern "C" {

void Kinds_Open(ObjectRecord* w) {
  gMain = w;
  TraceRows(&kPopup);
  ObjectRecord* popup = Control(&kPopup);
  bool released = !Field<StringRecord*>(popup, offsetof(PopupMenuObject, initialValue));
  Trace(Text(released ? &kReleased : &kKept));
  TraceRows(&kEmpty);
  TraceRows(&kChoose);
  TraceRows(&kParity);
  RuntimePopupSelectionSetter(popup, 0, 0);
  Trace(Text(&kTabsValue) + Number(tabPanelValueGetter(Control(&kTabs))));
  ObjectRecord* bar = Control(&kBar);
  Trace(Text(&kBar) + Text(&kSpace) + Number(progressValueGetter(bar)) + Text(&kOf) +
        Number(progressMaximumGetter(bar)));
  Trace(Text(&kOpen));
}

void Kinds_Close(ObjectRecord*) { Trace(Text(&kClose)); }

bool Field_KeyDown(ObjectRecord*, StringRecord* key) {
  bool consume = RuntimeStringCompare(key, &kX) == 0;
  Trace(Text(&kKeyDown) + Text(key) + (consume ? Text(&kConsumed) : String()));
  return consume;
}

void Field_TextChange(ObjectRecord* field) {
  Trace(Text(&kTextChange) + String::Adopt(editTextGetter(field)));
}

void Field_SelChange(ObjectRecord* field) {
  Trace(Text(&kSelChange) + Number(editSelStartGetter(field)) + Text(&kSpace) +
        Number(editSelLengthGetter(field)));
}

void Sweep_Action(ObjectRecord*) {
  Trace(Text(&kSweep));
  progressMaximumSetter(Control(&kBar), 0, 0);
  Trace(Text(&kMaximum) + Number(progressMaximumGetter(Control(&kBar))));
}

void Stop_Action(ObjectRecord*) {
  Trace(Text(&kStop));
  progressMaximumSetter(Control(&kBar), 0, 100);
  Trace(Text(&kMaximum) + Number(progressMaximumGetter(Control(&kBar))));
}

void Check_Action(ObjectRecord* box) {
  Trace(Text(&kCheckAction) + Truth(checkBoxValueGetter(box)));
}

void Popup_Change(ObjectRecord* popup) {
  Trace(Text(&kChange) + Number(RuntimePopupSelectionGetter(popup)) + Text(&kSpace) +
        String::Adopt(popupTextGetter(popup)));
}

void Tabs_Change(ObjectRecord* panel) {
  Trace(Text(&kChangeTab) + Number(tabPanelValueGetter(panel)));
}

void KindsEntry() {
  RuntimeInit(vs_project_record);
  RuntimeCreateWindow(vs_window_Main, &gMain);
  RuntimeRun();
  Trace(Text(&kDone));
}

}  // extern "C"
