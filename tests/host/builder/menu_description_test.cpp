// Menu bar descriptions as the builder writes them, read back with the
// runtime's description-stream reader in the order the menu builder reads.
#include "tools/image_builder/menu_description.h"

#include <gtest/gtest.h>

#include <climits>

#include "sdk/le_bytes.h"
#include "ui/description_stream.h"

namespace {

int32_t Classes(const std::string& name) {
  if (name == "MenuItem") return 4;
  if (name == "QuitMenuItem") return 5;
  return -1;
}

struct Entry {
  int32_t kind;
  std::string text, name;
  int32_t index;
  std::string key;
  uint8_t submenu;
  int32_t cls;
};

Entry ReadEntry(DescriptionStream& s) {
  Entry e;
  e.kind = s.PackedInt();
  e.text = s.PackedString();
  e.name = s.PackedString();
  e.index = s.PackedInt();
  e.key = s.PackedString();
  s.PackedString();  // help
  s.PackedString();  // disabled help
  s.Byte();          // flag
  e.submenu = s.Byte();
  e.cls = s.PackedInt();
  return e;
}

TEST(MenuDescription, LevelsFollowTopEntriesAndSubmenusOnly) {
  auto menus = nlohmann::json::parse(R"([
    {"kind": 1, "text": "App", "items": [{"text": "About", "name": "HelpAbout"}]},
    {"text": "&File", "name": "FileMenu", "items": [
      {"text": "&Connect", "name": "FileConnect", "key": "K"},
      {"text": "&Send", "name": "FileSend", "items": [
        {"text": "Text &File...", "name": "FileSendText", "key": "T"}]},
      {"text": "-"},
      {"text": "E&xit", "name": "FileQuit", "key": "Q", "class": "QuitMenuItem"}]},
    {"kind": 2}])");
  std::vector<uint8_t> out;
  std::string error;
  ASSERT_TRUE(EncodeMenuBar(menus, Classes, out, error)) << error;
  ASSERT_EQ(ReadU32LE(out.data()), out.size() - 4);
  DescriptionStream s(out.data() + 4, static_cast<uint32_t>(out.size() - 4));
  EXPECT_EQ(s.PackedInt(), 3);
  Entry app = ReadEntry(s);
  EXPECT_EQ(app.kind, 1);
  EXPECT_EQ(s.PackedInt(), 1);  // its level
  EXPECT_EQ(ReadEntry(s).name, "HelpAbout");
  Entry file = ReadEntry(s);
  EXPECT_EQ(file.text, "&File");
  EXPECT_EQ(file.submenu, 0);  // top-level entries always have their level
  EXPECT_EQ(s.PackedInt(), 4);
  Entry connect = ReadEntry(s);
  EXPECT_EQ(connect.key, "K");
  EXPECT_EQ(connect.index, INT32_MIN);
  EXPECT_EQ(connect.cls, 4);
  Entry send = ReadEntry(s);
  EXPECT_EQ(send.submenu, 1);
  EXPECT_EQ(s.PackedInt(), 1);
  EXPECT_EQ(ReadEntry(s).name, "FileSendText");
  EXPECT_EQ(ReadEntry(s).text, "-");
  Entry quit = ReadEntry(s);
  EXPECT_EQ(quit.cls, 5);
  EXPECT_EQ(ReadEntry(s).kind, 2);
  EXPECT_EQ(s.PackedInt(), 0);  // the empty slot's empty level
  EXPECT_TRUE(s.AtEnd());
  EXPECT_FALSE(s.Overrun());
}

TEST(MenuDescription, AnUnknownItemClassIsNamed) {
  auto menus = nlohmann::json::parse(R"([{"text": "&File", "items": [{"text": "x", "class": "Nope"}]}])");
  std::vector<uint8_t> out;
  std::string error;
  EXPECT_FALSE(EncodeMenuBar(menus, Classes, out, error));
  EXPECT_NE(error.find("unknown class Nope"), std::string::npos);
}

}  // namespace
