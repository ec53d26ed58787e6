// Menu command dispatch; see menu_dispatch.h. Handlers answer true when they
// took the choice; false passes it on, to the next handler of the same name
// first, so that several handlers can each decide for themselves. The item
// is held for the whole dispatch: a handler may close it.
#include "ui/menu_dispatch.h"

#include "objects/builtin_classes.h"
#include "objects/classes.h"
#include "objects/events.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "ui/application.h"
#include "ui/event_loop.h"
#include "ui/focus.h"
#include "ui/front_window.h"
#include "ui/menu_bar.h"
#include "ui/menu_description.h"
#include "ui/menu_items.h"
#include "ui/menu_shortcuts.h"
#include "ui/pane.h"

namespace {

using PlainHandler = bool(__cdecl*)(ObjectRecord* self);
using ElementHandler = bool(__cdecl*)(ObjectRecord* self, int32_t index);

bool CallHandler(CodeAddress code, ObjectRecord* self, const MenuItemObject* item) {
  if (item->index == kNotAnArrayElement) return reinterpret_cast<PlainHandler>(code)(self);
  return reinterpret_cast<ElementHandler>(code)(self, item->index);
}

// The menu handlers of `self`'s class for the item, in list order, until one
// answers true.
bool OfferToHandlers(ObjectRecord* self, const MenuItemObject* item) {
  if (!self) return false;
  std::string_view name = StringView(item->name);
  for (MenuHandlerRecord* h = self->cls->menuHandlers; h; h = h->next) {
    if (!SameTextIgnoringCase(StringView(h->itemName), name)) continue;
    if (CallHandler(h->code, self, item)) return true;
  }
  return false;
}

bool OfferToPane(const MenuItemObject* item) {
  Pane* pane = ActivePaneOfFrontWindow();
  return pane && pane->HandleMenuItem(StringCText(item->name));
}

bool OfferToFrontWindow(const MenuItemObject* item) {
  WindowObject* w = FrontApplicationWindow();
  if (!w) return false;
  RuntimeLockObject(&w->header);
  bool handled = OfferToHandlers(&w->header, item);
  RuntimeUnlockObject(&w->header);
  return handled;
}

bool OfferToApplication(const MenuItemObject* item) {
  ObjectRecord* app = getAppObject();
  bool handled = OfferToHandlers(app, item);
  RuntimeUnlockObject(app);
  return handled;
}

bool IsQuitItem(const MenuItemObject* item) {
  ClassRecord* quit = FindBuiltInClass("QuitMenuItem");
  return quit && ClassIsa(item->header.cls, quit);
}

// The quit item quits as ApplicationQuit does, but ends the pump instead of
// unwinding: there is no application code to unwind from a menu choice.
bool RaiseAction(MenuItemObject* item) {
  if (RaiseEvent<bool>(&item->header, gMenuItemEvents[kMenuItemAction])) return true;
  if (!IsQuitItem(item)) return false;
  if (RunQuitSequence()) RequestQuit();
  return true;
}

bool Dispatch(MenuItemObject* item) {
  if (OfferToPane(item)) return true;
  if (OfferToFrontWindow(item)) return true;
  if (OfferToApplication(item)) return true;
  return RaiseAction(item);
}

}  // namespace

bool DispatchMenuCommand(uint32_t id) {
  MenuItemObject* item = MenuItemWithCommand(id);
  if (!item) return false;
  RuntimeLockObject(&item->header);
  bool handled = Dispatch(item);
  RuntimeUnlockObject(&item->header);
  return handled;
}
