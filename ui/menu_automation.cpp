// The menu state report; see menu_automation.h.
#include "ui/menu_automation.h"

#include "objects/builtin_classes.h"
#include "objects/strings.h"
#include "ui/menu_bar.h"
#include "ui/menu_enabling.h"

namespace {

// The text of the item whose submenu is `menu`, or "" for a top-level menu.
std::string OwnerText(HMENU menu) {
  for (RuntimeMenu* m : RuntimeMenus())
    for (const MenuSlot& slot : m->slots)
      if (slot.submenu == menu) return std::string(StringView(slot.item->text));
  return "";
}

// Whether the tests switched the hooks on for this run of the program.
bool TestHooksOn() {
  static const bool on = [] {
    char value[8] = {};
    DWORD n = GetEnvironmentVariableA(kTestHooksSwitch, value, sizeof value);
    return n == 1 && value[0] == '1';
  }();
  return on;
}

void AppendField(std::string& out, std::string_view field) {
  out.append(field);
  out.push_back('|');
}

}  // namespace

std::string MenuStateReport() {
  std::string out;
  for (RuntimeMenu* menu : RuntimeMenus()) {
    std::string owner = OwnerText(menu->handle);
    for (const MenuSlot& slot : menu->slots) {
      const MenuItemObject* item = slot.item;
      AppendField(out, owner);
      AppendField(out, StringView(item->name));
      AppendField(out, StringView(item->text));
      AppendField(out, item->enabled ? "1" : "0");
      AppendField(out, item->checked ? "1" : "0");
      AppendField(out, StringView(item->balloonHelp));
      out.append(StringView(item->disabledBalloonHelp));
      out.push_back('\n');
    }
  }
  return out;
}

bool AnswerMenuStateRequest(HWND requester, const COPYDATASTRUCT* data) {
  if (!TestHooksOn()) return false;
  if (!data || data->dwData != kMenuStateRequest || !IsWindow(requester)) return false;
  RunEnablingCycle();
  std::string report = MenuStateReport();
  COPYDATASTRUCT answer{kMenuStateReport, static_cast<DWORD>(report.size()), report.data()};
  // The requester waits in its own send, which lets this one through; a
  // requester that hangs is given up on.
  DWORD_PTR taken = 0;
  return SendMessageTimeoutA(requester, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&answer), SMTO_ABORTIFHUNG,
                             10000, &taken) != 0 && taken;
}
