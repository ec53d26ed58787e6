// Shortcut texts: what a menu item shows for its command key, and what a key
// press composes. A shortcut works only when the two agree.
#include "ui/menu_shortcuts.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

constexpr uint32_t kVkF10 = 0x79, kVkF24 = 0x87, kVkOem2 = 0xBF, kVkReturn = 0x0D;

TEST(MenuShortcuts, CommandKeysInTheWindowsNotation) {
  const std::pair<const char*, const char*> rows[] = {
      {"K", "Ctrl+K"},
      {"Shift-T", "Ctrl+Shft+T"},
      {"shift-v", "Ctrl+Shft+v"},
      {"Shift-F3", "Shft+F3"},
      {"Alt-Shift-X", "Ctrl+Shft+Alt+X"},
      {"Option-K", "Ctrl+K"},
      {"Control-Del", "Ctrl+Del"},
      {"Shift--", "Ctrl+Shft+-"},
      {"", ""},
  };
  for (const auto& [key, shortcut] : rows) EXPECT_EQ(ShortcutOfCommandKey(key), shortcut) << key;
}

TEST(MenuShortcuts, KeyNames) {
  const std::tuple<uint32_t, char, const char*> rows[] = {
      {0x20, 0, "Space"}, {0x21, 0, "PgUp"}, {0x2E, 0, "Del"},        {0x2F, 0, "Help"},  {0x1B, 0, "Esc"},
      {0x08, 0, "Bsp"},   {0x09, 0, "Tab"},  {kVkReturn, 0, "Enter"}, {0x70, 0, "F1"},    {kVkF10, 0, "F10"},
      {kVkF24, 0, "F24"}, {'Q', 'q', "Q"},   {'7', '7', "7"},         {kVkOem2, '/', "/"}};
  for (const auto& [vk, character, name] : rows) EXPECT_EQ(KeyName(vk, character), name) << vk;
}

// Ctrl+Q, Ctrl+Shift+T and Shift+T alone pressed for real are the window tests' (menus).
TEST(MenuShortcuts, KeyPressesMatchTheirCommandKeysOnly) {
  const KeyModifiers none, ctrl{true, false, false}, ctrlShift{true, true, false}, ctrlAlt{true, false, true};
  const std::tuple<const char*, KeyModifiers, uint32_t, char, bool> rows[] = {
      {"Q", none, 'Q', 'q', false},
      {"shift-v", ctrlShift, 'V', 'v', true},
      {"/", ctrl, kVkOem2, '/', true},
      {"F10", none, kVkF10, 0, true},
      {"Alt-X", ctrlAlt, 'X', 'x', true},
  };
  for (const auto& [commandKey, held, vk, character, matches] : rows)
    EXPECT_EQ(SameTextIgnoringCase(ShortcutOfCommandKey(commandKey), KeyText(held, vk, character)), matches)
        << commandKey << " against " << KeyText(held, vk, character);
  EXPECT_EQ(KeyText(ctrlShift, kVkReturn, 0), "Ctrl+Shft+Enter");
}

}  // namespace
