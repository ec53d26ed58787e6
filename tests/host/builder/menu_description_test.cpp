// Menu bar descriptions: the builder's refusals, and the runtime's reader on
// streams written here by hand. What the runtime makes of the builder's menus
// the menus image test and the application's end-to-end tests show.
#include "tools/image_builder/menu_description.h"

#include <gtest/gtest.h>

#include <climits>

#include "sdk/description_encoding.h"
#include "ui/menu_description.h"

namespace {

int32_t Classes(const std::string& name) {
  if (name == "MenuItem") return 4;
  if (name == "QuitMenuItem") return 5;
  return -1;
}

TEST(MenuDescription, AnUnknownItemClassIsNamed) {
  auto menus = nlohmann::json::parse(R"([{"text": "&File", "items": [{"text": "x", "class": "Nope"}]}])");
  std::vector<uint8_t> out;
  std::string error;
  EXPECT_FALSE(EncodeMenuBar(menus, Classes, out, error));
  EXPECT_NE(error.find("unknown class Nope"), std::string::npos);
}

std::vector<uint8_t> OneItemLevel(int32_t storedIndex, uint8_t hasSubmenu) {
  std::vector<uint8_t> s;
  PutPackedInt(s, 1);  // one top-level entry
  for (int level = 0; level < 2; ++level) {
    PutPackedInt(s, 0);
    PutPackedString(s, level ? "Item" : "Menu");
    PutPackedString(s, "Name");
    PutPackedInt(s, level ? storedIndex : INT32_MIN);
    for (int i = 0; i < 3; ++i) PutPackedString(s, "");
    s.push_back(0);
    s.push_back(level ? hasSubmenu : 0);
    PutPackedInt(s, 4);
    if (level == 0) PutPackedInt(s, 1);  // the menu's level: one item
  }
  return s;
}

TEST(MenuDescriptionReader, OldNoIndexValuesReadAsNone) {
  const std::pair<uint32_t, int32_t> cases[] = {
      {0x80000010u, kNotAnArrayElement}, {0x80100000u, kNotAnArrayElement}, {0x80000000u, kNotAnArrayElement},
      {7, 7}};
  for (auto [stored, index] : cases) {
    std::vector<uint8_t> s = OneItemLevel(static_cast<int32_t>(stored), 0);
    std::vector<MenuEntryDescription> read;
    ASSERT_TRUE(ReadMenuBarDescription(s.data(), static_cast<uint32_t>(s.size()), read));
    EXPECT_EQ(read[0].items[0].index, index) << std::hex << stored;
  }
}

TEST(MenuDescriptionReader, DamagedStreamsAreRefused) {
  std::vector<uint8_t> whole = OneItemLevel(INT32_MIN, 0);
  std::vector<MenuEntryDescription> read;
  for (size_t cut = 0; cut < whole.size(); ++cut)
    EXPECT_FALSE(ReadMenuBarDescription(whole.data(), static_cast<uint32_t>(cut), read)) << cut;
  EXPECT_TRUE(read.empty());
  // The item claims a submenu that is not there.
  std::vector<uint8_t> missing = OneItemLevel(INT32_MIN, 1);
  EXPECT_FALSE(ReadMenuBarDescription(missing.data(), static_cast<uint32_t>(missing.size()), read));
  // A huge count with nothing behind it ends at the stream's end.
  std::vector<uint8_t> huge;
  PutPackedInt(huge, 0x7FFFFFFF);
  EXPECT_FALSE(ReadMenuBarDescription(huge.data(), static_cast<uint32_t>(huge.size()), read));
}

TEST(MenuDescriptionReader, NestingIsLimited) {
  nlohmann::json level = nlohmann::json::array({{{"text", "leaf"}, {"name", "Leaf"}}});
  for (int depth = 0; depth < 40; ++depth)
    level = nlohmann::json::array({{{"text", "sub"}, {"name", "Sub"}, {"items", level}}});
  nlohmann::json menus = nlohmann::json::array({{{"text", "&Deep"}, {"items", level}}});
  std::vector<uint8_t> out;
  std::string error;
  ASSERT_TRUE(EncodeMenuBar(menus, Classes, out, error)) << error;
  std::vector<MenuEntryDescription> read;
  EXPECT_FALSE(ReadMenuBarDescription(out.data() + 4, static_cast<uint32_t>(out.size() - 4), read));
}

}  // namespace
