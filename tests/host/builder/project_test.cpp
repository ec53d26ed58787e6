// The project description as the builder reads it, the data it generates
// read back word by word, menu bar descriptions (the builder's refusals, the
// runtime's reader on streams written here by hand). The image tests read
// the rest of the project record back through the runtime.
#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <string>

#include "sdk/description_encoding.h"
#include "sdk/le_bytes.h"
#include "tools/image_builder/menu_description.h"
#include "tools/image_builder/picture_file.h"
#include "tools/image_builder/project.h"
#include "tools/image_builder/project_data.h"
#include "ui/menu_description.h"

namespace {

bool Read(const std::string& json, Project& p, std::string& error) {
  std::string path = testing::TempDir() + "project.json";
  std::ofstream(path) << json;
  return ReadProject(path, p, error);
}

Project Parsed(const std::string& json) {
  Project p;
  std::string error;
  EXPECT_TRUE(Read(json, p, error)) << error;
  return p;
}

// Built-in classes in use are added as references (the images show them
// found); a plug-in control is a RectControl (92 bytes) sized by its data.
TEST(Project, FieldsFollowTheSuperclassesFields) {
  Project p = Parsed(R"({"entry": "Main", "classes": [
      {"name": "App", "super": "Application", "fields": [{"name": "a", "type": "int8"},
                                                         {"name": "b", "type": "int32"}]},
      {"name": "Sub", "super": "App", "fields": [{"name": "c", "type": "int16"},
                                                 {"name": "d", "type": "double"}]},
      {"name": "Plain", "fields": [{"name": "s", "type": "string"}]},
      {"name": "Lamp", "plugin": true, "dataSize": 12}]})");
  ASSERT_EQ(p.classes.size(), 6u);  // with Application and RectControl
  // After Application's 28 bytes, each field aligned; a plain object's after 24.
  const struct { size_t cls; std::vector<uint32_t> offsets; uint32_t size; } expected[] = {
      {0, {28, 32}, 36}, {1, {36, 40}, 48}, {2, {24}, 28}, {3, {}, 92 + 12}};
  for (const auto& e : expected) {
    std::vector<uint32_t> offsets;
    for (const auto& f : p.classes[e.cls].fields) offsets.push_back(f.offset);
    EXPECT_EQ(offsets, e.offsets) << p.classes[e.cls].name;
    EXPECT_EQ(p.classes[e.cls].instanceSize, e.size) << p.classes[e.cls].name;
  }
  EXPECT_TRUE(p.classes[4].builtIn && p.classes[5].builtIn);
  EXPECT_EQ(ClassIndex(p, "Application"), 4);
  EXPECT_EQ(ClassIndex(p, "RectControl"), 5);
}

// Mistakes in the classes and in the windows alike.
TEST(Project, MistakesAreNamed) {
  const std::pair<const char*, const char*> cases[] = {
      {R"({"classes": []})", "no entry function"},
      {R"({"entry": "M", "classes": [{"name": "A", "super": "Nothing"}]})", "unknown superclass Nothing"},
      {R"({"entry": "M", "classes": [{"name": "A", "super": "B"}, {"name": "B", "super": "A"}]})",
       "derives from itself"},
      {R"({"entry": "M", "classes": [{"name": "A"}, {"name": "A"}]})", "listed twice"},
      {R"({"entry": "M", "classes": [{"name": "A", "fields": [{"name": "x", "type": "blob"}]}]})",
       "unknown type blob"},
      {R"({"entry": "M", "classes": [{"name": "A", "interfaces": ["Nope"]}]})", "unknown interface Nope"},
      {R"({"entry": "M", "items": [{"type": "module", "class": "Ghost"}]})", "unknown class Ghost"},
      {R"({"entry": "M", "classes": [)", "parse error"},
      {R"({"entry": "M", "windows": [{"name": "W", "class": "Object"}]})", "does not derive from Window"},
      {R"({"entry": "M", "windows": [{"name": "W", "class": "Ghost"}]})", "class Ghost does not derive"},
      {R"({"entry": "M", "windows": [{"name": "W", "class": "Window"}, {"name": "W", "class": "Window"}]})",
       "window W is listed twice"},
      {R"({"entry": "M", "windows": [{"class": "Window"}]})", "has no name"},
      {R"({"entry": "M", "windows": [{"name": "W", "class": "Window", "controls": [{"class": "Picture"}]}]})",
       "control class Picture does not derive from Control or Serial"},
  };
  for (const auto& [json, says] : cases) {
    Project p;
    std::string error;
    EXPECT_FALSE(Read(json, p, error)) << json;
    EXPECT_NE(error.find(says), std::string::npos) << error;
  }
}

uint32_t WordAt(const GeneratedData& d, uint32_t offset) { return ReadU32LE(d.bytes.data() + offset); }

std::string RelocationAt(const GeneratedData& d, uint32_t offset) {
  for (const auto& r : d.relocations)
    if (r.offset == offset) return r.symbol;
  return "";
}

// The text of the StringRecord that `symbol` names in the generated data.
std::string StringAt(const GeneratedData& d, const std::string& symbol) {
  uint32_t record = d.symbols.at(symbol);
  uint32_t length = WordAt(d, record + 12);
  uint32_t bytes = d.symbols.at(RelocationAt(d, record + 4));
  EXPECT_EQ(d.bytes[bytes], length < 256 ? length : 255);
  EXPECT_EQ(d.bytes[bytes + 1 + length], 0);
  return std::string(reinterpret_cast<const char*>(&d.bytes[bytes + 1]), length);
}

// The record lists the project's own class, then the classes it refers to,
// by name. A class name longer than 255 bytes: its string's length byte
// says 255, the record's length word the whole length.
TEST(ProjectData, DescriptorsNameTheirClassesWhateverTheLength) {
  const std::string app(300, 'A');
  GeneratedData d;
  std::string error;
  ASSERT_TRUE(GenerateProjectData(Parsed(R"({"entry": "Main", "classes": [
      {"name": ")" + app + R"(", "super": "Application", "constructor": "App_New"}]})"), d, error)) << error;
  uint32_t record = d.symbols.at(kProjectRecordSymbol);
  ASSERT_EQ(WordAt(d, record), 2u);
  uint32_t a = d.symbols.at(RelocationAt(d, record + 4));
  EXPECT_EQ(WordAt(d, a), 0u);
  EXPECT_EQ(StringAt(d, RelocationAt(d, a + 8)), app);
  EXPECT_EQ(RelocationAt(d, a + 20), "App_New");
  uint32_t ref = d.symbols.at(RelocationAt(d, record + 8));
  EXPECT_EQ(WordAt(d, ref), 1u);  // a reference, by name
  EXPECT_EQ(StringAt(d, RelocationAt(d, ref + 4)), "Application");
}

TEST(PictureFile, PpmPixelsBecomeFiveBitsPerChannel) {
  auto decode = [](const std::string& ppm, Picture16& picture) {
    std::string error;
    return DecodePpm(std::vector<uint8_t>(ppm.begin(), ppm.end()), picture, error);
  };
  std::string ppm = "P6\n# comment\n2 1\n255\n" + std::string("\xFF\xFF\xFF\x08\x10\xF8", 6);
  Picture16 picture;
  ASSERT_TRUE(decode(ppm, picture));
  EXPECT_EQ(picture.width, 2u);
  EXPECT_EQ(picture.pixels[0], 0x7FFF);
  EXPECT_EQ(picture.pixels[1], (1 << 10) | (2 << 5) | 31);
  EXPECT_FALSE(decode(ppm.substr(0, ppm.size() - 1), picture));
  EXPECT_FALSE(decode("P3\n1 1\n255\n1 2 3\n", picture));
}

// --- menu bar descriptions ---------------------------------------------------

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

// Old "no index" values read as none; damaged streams are refused.
TEST(MenuDescriptionReader, OldNoIndexValuesAndDamage) {
  std::vector<MenuEntryDescription> read;
  const std::pair<uint32_t, int32_t> oldNone[] = {
      {0x80000010u, kNotAnArrayElement}, {0x80100000u, kNotAnArrayElement}, {0x80000000u, kNotAnArrayElement}, {7, 7}};
  for (auto [stored, index] : oldNone) {
    std::vector<uint8_t> s = OneItemLevel(static_cast<int32_t>(stored), 0);
    ASSERT_TRUE(ReadMenuBarDescription(s.data(), static_cast<uint32_t>(s.size()), read));
    EXPECT_EQ(read[0].items[0].index, index) << std::hex << stored;
  }
  read.clear();
  std::vector<uint8_t> whole = OneItemLevel(INT32_MIN, 0);
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

// The builder refuses an unknown item class; it writes menus nested to any
// depth, which the runtime's reader refuses past its limit.
TEST(MenuDescription, UnknownClassesAndDeepNestingAreRefused) {
  auto Classes = [](const std::string& name) { return name == "MenuItem" ? 4 : -1; };
  std::vector<uint8_t> out;
  std::string error;
  auto unknown = nlohmann::json::parse(R"([{"text": "&File", "items": [{"text": "x", "class": "Nope"}]}])");
  EXPECT_FALSE(EncodeMenuBar(unknown, Classes, out, error));
  EXPECT_NE(error.find("unknown class Nope"), std::string::npos);
  nlohmann::json level = nlohmann::json::array({{{"text", "leaf"}, {"name", "Leaf"}}});
  for (int depth = 0; depth < 40; ++depth)
    level = nlohmann::json::array({{{"text", "sub"}, {"name", "Sub"}, {"items", level}}});
  nlohmann::json menus = nlohmann::json::array({{{"text", "&Deep"}, {"items", level}}});
  ASSERT_TRUE(EncodeMenuBar(menus, Classes, out, error)) << error;
  std::vector<MenuEntryDescription> read;
  EXPECT_FALSE(ReadMenuBarDescription(out.data() + 4, static_cast<uint32_t>(out.size() - 4), read));
}

}  // namespace
