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

bool AnswerMenuStateRequest(const COPYDATASTRUCT* data) {
  if (!TestHooksOn()) return false;
  if (!data || data->dwData != kMenuStateRequest || !data->lpData || !data->cbData) return false;
  std::string path(static_cast<const char*>(data->lpData), data->cbData);
  while (!path.empty() && path.back() == '\0') path.pop_back();
  RunEnablingCycle();
  std::string report = MenuStateReport();
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == report.size();
}
