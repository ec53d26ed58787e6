// The project description as the builder reads it, and the data it
// generates from it, read back word by word. Window and menu descriptions,
// settings and the rest of the project record are read back by the runtime
// in the image tests.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "sdk/le_bytes.h"
#include "tools/image_builder/picture_file.h"
#include "tools/image_builder/project.h"
#include "tools/image_builder/project_data.h"

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

GeneratedData Generated(const Project& p) {
  GeneratedData d;
  std::string error;
  EXPECT_TRUE(GenerateProjectData(p, d, error)) << error;
  return d;
}

TEST(Project, FieldsFollowTheSuperclassesFields) {
  Project p = Parsed(R"({"entry": "Main", "classes": [
      {"name": "App", "super": "Application", "fields": [{"name": "a", "type": "int8"},
                                                         {"name": "b", "type": "int32"}]},
      {"name": "Sub", "super": "App", "fields": [{"name": "c", "type": "int16"},
                                                 {"name": "d", "type": "double"}]},
      {"name": "Plain", "fields": [{"name": "s", "type": "string"}]}]})");
  ASSERT_EQ(p.classes.size(), 4u);  // Application is added as a reference
  // After Application's 28 bytes, each field aligned; a plain object's after 24.
  const struct {
    size_t cls;
    std::vector<uint32_t> offsets;
    uint32_t size;
  } expected[] = {{0, {28, 32}, 36}, {1, {36, 40}, 48}, {2, {24}, 28}};
  for (const auto& e : expected) {
    std::vector<uint32_t> offsets;
    for (const auto& f : p.classes[e.cls].fields) offsets.push_back(f.offset);
    EXPECT_EQ(offsets, e.offsets) << p.classes[e.cls].name;
    EXPECT_EQ(p.classes[e.cls].instanceSize, e.size) << p.classes[e.cls].name;
  }
  EXPECT_TRUE(p.classes[3].builtIn);
  EXPECT_EQ(ClassIndex(p, "Application"), 3);
}

// Built-in classes in use are added as references (the images show them
// found); a plug-in control is a RectControl sized by its data.
TEST(Project, APluginControlIsSizedByItsData) {
  Project p = Parsed(R"({"entry": "Main", "classes": [{"name": "Lamp", "plugin": true, "dataSize": 12}]})");
  ASSERT_EQ(ClassIndex(p, "Lamp"), 0);
  EXPECT_EQ(p.classes[0].instanceSize, 92u + 12u);
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

// The record lists the descriptors: the project's own class, then the
// classes it refers to, by name. What the runtime makes of them and of the
// items the image tests show (and the plug-in list the plug-in window test);
// here, a class name longer than 255 bytes: its string's length byte says
// 255, the record's length word the whole length.
TEST(ProjectData, DescriptorsNameTheirClassesWhateverTheLength) {
  const std::string app(300, 'A');
  GeneratedData d = Generated(Parsed(R"({"entry": "Main", "classes": [
      {"name": ")" + app + R"(", "super": "Application", "constructor": "App_New"}]})"));
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

}  // namespace
