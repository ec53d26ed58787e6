// Shortcut texts: what a menu item shows for its command key, and what a key
// press composes. A shortcut works only when the two agree, so most cases
// here build both sides and compare, as the pump does.
#include "ui/menu_shortcuts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr uint32_t kVkF10 = 0x79, kVkF24 = 0x87, kVkOem2 = 0xBF, kVkReturn = 0x0D;

TEST(MenuShortcuts, CommandKeysInTheWindowsNotation) {
  struct Case {
    const char* key;
    const char* shortcut;
  } cases[] = {
      {"K", "Ctrl+K"},           {"Shift-T", "Ctrl+Shft+T"}, {"/", "Ctrl+/"},
      {"shift-v", "Ctrl+Shft+v"}, {"F10", "F10"},            {"Shift-F3", "Shft+F3"},
      {"Alt-Shift-X", "Ctrl+Shft+Alt+X"}, {"Option-K", "Ctrl+K"}, {"Control-Del", "Ctrl+Del"},
      {"Shift--", "Ctrl+Shft+-"}, {"-", "Ctrl+-"},            {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ShortcutOfCommandKey(c.key), c.shortcut) << c.key;
}

TEST(MenuShortcuts, KeyNames) {
  std::vector<std::string> block;
  for (uint32_t vk = 0x20; vk <= 0x2F; ++vk) block.push_back(KeyName(vk, 0));
  EXPECT_EQ(block, (std::vector<std::string>{"Space", "PgUp", "PgDn", "End", "Home", "Left", "Up",
                                             "Right", "Down", "Select", "Print", "Execute",
                                             "Snapshot", "Ins", "Del", "Help"}));
  EXPECT_EQ(KeyName(0x1B, 0), "Esc");
  EXPECT_EQ(KeyName(0x08, 0), "Bsp");
  EXPECT_EQ(KeyName(0x09, 0), "Tab");
  EXPECT_EQ(KeyName(0x0C, 0), "Clr");
  EXPECT_EQ(KeyName(kVkReturn, 0), "Enter");
  EXPECT_EQ(KeyName(0x70, 0), "F1");
  EXPECT_EQ(KeyName(kVkF10, 0), "F10");
  EXPECT_EQ(KeyName(kVkF24, 0), "F24");
  EXPECT_EQ(KeyName('Q', 'q'), "Q");
  EXPECT_EQ(KeyName('7', '7'), "7");
  EXPECT_EQ(KeyName(kVkOem2, '/'), "/");
}

struct Press {
  KeyModifiers held;
  uint32_t vk;
  char character;
};

bool Matches(const char* commandKey, const Press& p) {
  return SameTextIgnoringCase(ShortcutOfCommandKey(commandKey), KeyText(p.held, p.vk, p.character));
}

TEST(MenuShortcuts, KeyPressesMatchTheirCommandKeysOnly) {
  const KeyModifiers none, ctrl{true, false, false}, shift{false, true, false},
      ctrlShift{true, true, false}, ctrlAlt{true, false, true};
  EXPECT_TRUE(Matches("Q", {ctrl, 'Q', 'q'}));
  EXPECT_FALSE(Matches("Q", {none, 'Q', 'q'}));
  EXPECT_FALSE(Matches("Q", {ctrlShift, 'Q', 'q'}));
  EXPECT_TRUE(Matches("Shift-T", {ctrlShift, 'T', 't'}));
  EXPECT_FALSE(Matches("Shift-T", {shift, 'T', 't'}));
  EXPECT_FALSE(Matches("Shift-T", {ctrl, 'T', 't'}));
  EXPECT_TRUE(Matches("shift-v", {ctrlShift, 'V', 'v'}));
  EXPECT_TRUE(Matches("/", {ctrl, kVkOem2, '/'}));
  EXPECT_TRUE(Matches("F10", {none, kVkF10, 0}));
  EXPECT_FALSE(Matches("F1", {none, kVkF10, 0}));
  EXPECT_TRUE(Matches("Alt-X", {ctrlAlt, 'X', 'x'}));
  EXPECT_EQ(KeyText(ctrlShift, kVkReturn, 0), "Ctrl+Shft+Enter");
}

}  // namespace
