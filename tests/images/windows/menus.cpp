// A window with the application's menu bar, driven with real key presses:
// shortcuts that must and must not choose their items, the enabling cycle
// when the menu opens (a greyed item cannot be chosen from it), handlers
// that decline so the next one runs, and the quit item ending the run.
#include "window_menus_project.h"
#include "sdk/ui_layouts.h"
#include "tests/images/app_trace.h"

namespace {

using namespace vt;

ObjectRecord* gMain = nullptr;

}  // namespace

extern "C" {

void MenusWindow_Open(ObjectRecord*) {
  vs::Ref quit = vs::Ref::Adopt(RuntimeMenuReference(Line("FileQuit").get()));
  Trace("Open: ", vs::String::Adopt(menuItemTextGetter(quit.get())), " #",
        static_cast<int32_t>(Field<uint32_t>(quit.get(), offsetof(MenuItemObject, commandId))));
}

// FileWriting is enabled by no one: it is greyed whenever the menu opens and
// its shortcut does nothing. The quit item enables itself.
void MenusApp_Enable(ObjectRecord*) {
  Trace("app EnableMenuItems");
  vs::Ref connect = vs::Ref::Adopt(RuntimeMenuReference(Line("FileConnect").get()));
  RuntimeEnableMenu(connect.get());
}

bool MenusWindow_Connect(ObjectRecord*) {
  Trace("window FileConnect");
  return false;
}

bool MenusApp_Connect(ObjectRecord*) {
  Trace("app FileConnect");
  return false;
}

bool TracedItem_Action(ObjectRecord* item) {
  Trace("Action ", Field<StringRecord*>(item, offsetof(MenuItemObject, name)));
  return true;
}

void MenusApp_Close(ObjectRecord*) { Trace("app Close"); }
void MenusWindow_Close(ObjectRecord*) { Trace("window Close"); }

void MenusEntry() { vt::RunMainWindow(vs_project_record, vs_window_Main, &gMain); }

}  // extern "C"
