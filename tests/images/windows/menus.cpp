// A window with the application's menu bar, driven with real key presses:
// shortcuts that must and must not choose their items, the enabling cycle
// when the menu opens (a greyed item cannot be chosen from it), handlers
// that decline so the next one runs, and the quit item ending the run.
#include "window_menus_project.h"
#include "sdk/ui_layouts.h"

namespace {

using vs::Field;
using vs::String;

VS_STRING(kConnect, "FileConnect");
VS_STRING(kQuit, "FileQuit");
VS_STRING(kOpened, "Open: ");
VS_STRING(kId, " #");
VS_STRING(kEnable, "app EnableMenuItems");
VS_STRING(kAppConnect, "app FileConnect");
VS_STRING(kWindowConnect, "window FileConnect");
VS_STRING(kAction, "Action ");
VS_STRING(kAppClose, "app Close");
VS_STRING(kWindowClose, "window Close");
VS_STRING(kDone, "run ended");

String Text(StringRecord* s) { return String::Borrow(s); }
void Trace(const String& s) { lineTrace(s.get()); }
String Number(int32_t n) { return String::Adopt(StringStr(n)); }

void Enable(StringRecord* name) {
  ObjectRecord* item = RuntimeMenuReference(name);
  RuntimeEnableMenu(item);
  RuntimeUnlockObject(item);
}

ObjectRecord* gMain = nullptr;

}  // namespace

extern "C" {

void MenusWindow_Open(ObjectRecord*) {
  vs::Ref quit = vs::Ref::Adopt(RuntimeMenuReference(&kQuit));
  String text = String::Adopt(menuItemTextGetter(quit.get()));
  Trace(Text(&kOpened) + text + Text(&kId) +
        Number(static_cast<int32_t>(Field<uint32_t>(quit.get(), offsetof(MenuItemObject, commandId)))));
}

// FileWriting is enabled by no one: it is greyed whenever the menu opens and
// its shortcut does nothing. The quit item enables itself.
void MenusApp_Enable(ObjectRecord*) {
  Trace(Text(&kEnable));
  Enable(&kConnect);
}

bool MenusWindow_Connect(ObjectRecord*) {
  Trace(Text(&kWindowConnect));
  return false;
}

bool MenusApp_Connect(ObjectRecord*) {
  Trace(Text(&kAppConnect));
  return false;
}

bool TracedItem_Action(ObjectRecord* item) {
  Trace(Text(&kAction) + Text(Field<StringRecord*>(item, offsetof(MenuItemObject, name))));
  return true;
}

void MenusApp_Close(ObjectRecord*) { Trace(Text(&kAppClose)); }
void MenusWindow_Close(ObjectRecord*) { Trace(Text(&kWindowClose)); }

void MenusEntry() {
  RuntimeInit(vs_project_record);
  RuntimeCreateWindow(vs_window_Main, &gMain);
  RuntimeRun();
  Trace(Text(&kDone));
}

}  // extern "C"
