// The project description as the builder reads it, and the data it
// generates from it, read back with the runtime's own readers where they are
// pure (settings) and word by word elsewhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include "sdk/le_bytes.h"
#include "startup/settings.h"
#include "tools/image_builder/picture_file.h"
#include "tools/image_builder/project.h"
#include "tools/image_builder/project_data.h"
#include "ui/description_stream.h"

namespace {

std::string WriteProject(const std::string& name, const std::string& json) {
  std::string path = testing::TempDir() + name;
  std::ofstream(path) << json;
  return path;
}

bool Read(const std::string& json, Project& p, std::string& error) {
  return ReadProject(WriteProject("project.json", json), p, error);
}

TEST(Project, FieldsFollowTheSuperclassesFields) {
  Project p;
  std::string error;
  ASSERT_TRUE(Read(R"({"entry": "Main", "classes": [
      {"name": "App", "super": "Application", "fields": [{"name": "a", "type": "int8"},
                                                         {"name": "b", "type": "int32"}]},
      {"name": "Sub", "super": "App", "fields": [{"name": "c", "type": "int16"},
                                                 {"name": "d", "type": "double"}]},
      {"name": "Plain", "fields": [{"name": "s", "type": "string"}]}]})", p, error)) << error;
  ASSERT_EQ(p.classes.size(), 4u);  // Application is added as a reference
  EXPECT_EQ(p.classes[0].fields[0].offset, 28u);  // after Application's 28 bytes
  EXPECT_EQ(p.classes[0].fields[1].offset, 32u);  // aligned
  EXPECT_EQ(p.classes[0].instanceSize, 36u);
  EXPECT_EQ(p.classes[1].fields[0].offset, 36u);
  EXPECT_EQ(p.classes[1].fields[1].offset, 40u);
  EXPECT_EQ(p.classes[1].instanceSize, 48u);
  EXPECT_EQ(p.classes[2].fields[0].offset, 24u);
  EXPECT_TRUE(p.classes[3].builtIn);
  EXPECT_EQ(p.classes[3].name, "Application");
  EXPECT_EQ(ClassIndex(p, "Application"), 3);
}

// A menu bar may use the built-in item classes without listing them; they
// are added as references like a superclass would be, and the encoded items
// carry their indexes.
TEST(Project, MenuItemClassesAreAddedAsReferences) {
  Project p;
  std::string error;
  ASSERT_TRUE(Read(R"({"entry": "Main", "classes": [{"name": "App", "super": "Application"}],
      "items": [{"type": "menubar", "menus": [{"text": "&File", "items": [
        {"text": "&Connect", "name": "FileConnect", "key": "K"},
        {"text": "E&xit", "name": "FileQuit", "key": "Q", "class": "QuitMenuItem"}]}]}]})",
                   p, error))
      << error;
  int32_t item = ClassIndex(p, "MenuItem"), quit = ClassIndex(p, "QuitMenuItem");
  ASSERT_GE(item, 0);
  ASSERT_GE(quit, 0);
  EXPECT_TRUE(p.classes[item].builtIn);
  EXPECT_TRUE(p.classes[quit].builtIn);
  EXPECT_EQ(std::count_if(p.classes.begin(), p.classes.end(),
                          [](const ProjectClass& c) { return c.name == "MenuItem"; }),
            1);
}

// Mistakes in the classes and in the windows alike.
TEST(Project, MistakesAreNamed) {
  struct Case {
    const char* json;
    const char* says;
  } cases[] = {
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
      {R"({"entry": "M", "windows": [{"name": "W", "class": "Window",
           "controls": [{"class": "Window"}]}]})", "control class Window"},
      {R"({"entry": "M", "windows": [{"name": "W", "class": "Window"},
                                     {"name": "W", "class": "Window"}]})", "window W is listed twice"},
      {R"({"entry": "M", "windows": [{"class": "Window"}]})", "has no name"},
      {R"({"entry": "M", "windows": [{"name": "W", "class": "Window",
           "controls": [{"class": "Picture"}]}]})", "control class Picture does not derive from Control or Serial"},
  };
  for (const Case& c : cases) {
    Project p;
    std::string error;
    EXPECT_FALSE(Read(c.json, p, error)) << c.json;
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
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

TEST(ProjectData, TheProjectRecordListsDescriptorsAndItems) {
  Project p;
  std::string error;
  ASSERT_TRUE(Read(R"({"entry": "Main", "classes": [
      {"name": "App", "super": "Application", "constructor": "App_New",
       "handlers": [{"event": "Open", "code": "App_Open", "key": 3}],
       "vtable": ["App_V0", "App_V1"]}],
      "items": [{"type": "module", "class": "App"},
                {"type": "settings", "optionFlag": 1, "languageCode": 13, "title": "T",
                 "fileTypes": [["text/plain", "????", "TEXT", ".txt"]], "messages": ["a", "b"]}]})",
                   p, error));
  GeneratedData d;
  ASSERT_TRUE(GenerateProjectData(p, d, error)) << error;
  uint32_t record = d.symbols.at(kProjectRecordSymbol);
  ASSERT_EQ(WordAt(d, record), 2u);
  std::string app = RelocationAt(d, record + 4), application = RelocationAt(d, record + 8);
  ASSERT_EQ(WordAt(d, record + 12), 2u);
  std::string module = RelocationAt(d, record + 16), settings = RelocationAt(d, record + 20);

  uint32_t a = d.symbols.at(app);
  EXPECT_EQ(WordAt(d, a), 0u);                                  // kind 0
  EXPECT_EQ(WordAt(d, a + 4), 28u);                             // instance size
  EXPECT_EQ(StringAt(d, RelocationAt(d, a + 8)), "App");
  EXPECT_EQ(WordAt(d, a + 12), 1u);                             // superclass index
  EXPECT_EQ(WordAt(d, a + 16), 1u);                             // has initializers
  EXPECT_EQ(RelocationAt(d, a + 20), "App_New");
  EXPECT_EQ(RelocationAt(d, a + 24), "");                       // no destructor
  EXPECT_EQ(WordAt(d, a + 28), 0u);                             // not an interface
  EXPECT_EQ(WordAt(d, a + 32), 0u);                             // no interfaces
  EXPECT_EQ(WordAt(d, a + 36), 0u);                             // no methods
  EXPECT_EQ(WordAt(d, a + 40), 1u);                             // one handler
  EXPECT_EQ(StringAt(d, RelocationAt(d, a + 44)), "Open");
  EXPECT_EQ(RelocationAt(d, a + 48), "App_Open");
  EXPECT_EQ(WordAt(d, a + 52), 3u);
  EXPECT_EQ(WordAt(d, a + 56), 0u);                             // no menu handlers
  EXPECT_EQ(WordAt(d, a + 60), 2u);                             // vtable
  EXPECT_EQ(RelocationAt(d, a + 68), "App_V1");

  uint32_t ref = d.symbols.at(application);
  EXPECT_EQ(WordAt(d, ref), 1u);
  EXPECT_EQ(StringAt(d, RelocationAt(d, ref + 4)), "Application");

  uint32_t m = d.symbols.at(module);
  EXPECT_EQ(WordAt(d, m), 5u);
  EXPECT_EQ(WordAt(d, m + 4), 0u);
  EXPECT_EQ(RelocationAt(d, m + 8), ModuleSlotSymbol("App"));

  uint32_t s = d.symbols.at(settings);
  EXPECT_EQ(WordAt(d, s), 4u);
  uint32_t length = WordAt(d, s + 8);
  AppSettings read;
  ASSERT_TRUE(ParseSettings(d.bytes.data() + s + 12, length, read));
  EXPECT_EQ(read.optionFlag, 1);
  EXPECT_EQ(read.languageCode, 13u);
  EXPECT_EQ(read.title, "T");
  ASSERT_EQ(read.fileTypes.size(), 1u);
  EXPECT_EQ(read.fileTypes[0].extensions, ".txt");
  EXPECT_EQ(read.messages, (std::vector<std::string>{"a", "b"}));
}

TEST(ProjectData, TheHeaderCarriesIndexesOffsetsAndSlots) {
  Project p;
  std::string error;
  ASSERT_TRUE(Read(R"({"entry": "Main", "classes": [
      {"name": "Globals", "fields": [{"name": "port", "type": "object"}]}],
      "items": [{"type": "module", "class": "Globals"}]})", p, error));
  std::string h = GenerateProjectHeader(p, "p.json");
  EXPECT_NE(h.find("inline constexpr int32_t kClassGlobals = 0;"), std::string::npos) << h;
  EXPECT_NE(h.find("inline constexpr uint32_t kPort = 24;"), std::string::npos) << h;
  EXPECT_NE(h.find("inline constexpr uint32_t kInstanceSize = 28;"), std::string::npos) << h;
  EXPECT_NE(h.find("extern ObjectRecord* vs_module_Globals;"), std::string::npos) << h;
  EXPECT_NE(h.find("return nullptr;"), std::string::npos) << h;  // no plug-ins
}

TEST(ProjectData, PluginsAreEmbeddedAsALinkedList) {
  std::string dll = testing::TempDir() + "plug.dll";
  std::ofstream(dll, std::ios::binary) << "MZlibrary";
  Project p;
  std::string error;
  ASSERT_TRUE(Read(R"({"entry": "M", "plugins": [")" + dll + R"(", ")" + dll + R"("]})", p, error));
  GeneratedData d;
  ASSERT_TRUE(GenerateProjectData(p, d, error)) << error;
  uint32_t first = d.symbols.at(kPluginListSymbol);
  std::string second = RelocationAt(d, first);
  ASSERT_FALSE(second.empty());
  EXPECT_EQ(WordAt(d, first + 4), 5u + 8u + 9u);  // S = 5 + name + library
  EXPECT_EQ(d.bytes[first + 12], 8);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&d.bytes[first + 13]), 8), "plug.dll");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&d.bytes[first + 21]), 9), "MZlibrary");
  EXPECT_EQ(RelocationAt(d, d.symbols.at(second)), "");  // the last node
  EXPECT_NE(GenerateProjectHeader(p, "p").find("return vs_plugin_list;"), std::string::npos);
}

const char kWindowProject[] = R"({"entry": "M", "classes": [
    {"name": "MainWindow", "super": "Window"},
    {"name": "Knob", "super": "RectControl",
     "handlers": [{"event": "Open", "code": "Knob_Open"}]}],
  "windows": [{"name": "Main", "class": "MainWindow",
               "properties": [["Frame", "1"], ["Title", "Hello"], ["Width", "-300"]],
               "controls": [{"class": "Knob", "properties": [["Name", "K"], ["Index", "-2147483648"]]},
                            {"class": "Timer", "properties": [["Name", "T"]]}]}]})";

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs ReadPairs(DescriptionStream& s, int32_t count) {
  Pairs out;
  for (int32_t i = 0; i < count; ++i) {
    std::string name(s.PackedString());
    out.emplace_back(name, std::string(s.PackedString()));
  }
  return out;
}

TEST(WindowDescription, ReadsBackAsTheRuntimeReadsIt) {
  Project p;
  std::string error;
  ASSERT_TRUE(Read(kWindowProject, p, error)) << error;
  std::vector<uint8_t> bytes = EncodeWindowDescription(p, p.windows.at(0));
  ASSERT_GE(bytes.size(), 4u);
  ASSERT_EQ(ReadU32LE(bytes.data()), bytes.size() - 4);
  DescriptionStream s(bytes.data() + 4, static_cast<uint32_t>(bytes.size() - 4));
  int32_t count = s.PackedInt();
  ASSERT_EQ(count, 4);  // "Name" is put first
  EXPECT_EQ(s.PackedInt(), ClassIndex(p, "MainWindow"));
  EXPECT_EQ(ReadPairs(s, count),
            (Pairs{{"Name", "Main"}, {"Frame", "1"}, {"Title", "Hello"}, {"Width", "-300"}}));
  ASSERT_EQ(s.PackedInt(), 2);
  EXPECT_EQ(s.PackedInt(), ClassIndex(p, "Knob"));
  int32_t knobCount = s.PackedInt();
  EXPECT_EQ(ReadPairs(s, knobCount), (Pairs{{"Name", "K"}, {"Index", "-2147483648"}}));
  int32_t timer = s.PackedInt();
  EXPECT_EQ(p.classes.at(static_cast<size_t>(timer)).name, "Timer");  // added as a reference
  EXPECT_TRUE(p.classes.at(static_cast<size_t>(timer)).builtIn);
  EXPECT_EQ(ReadPairs(s, s.PackedInt()), (Pairs{{"Name", "T"}}));
  EXPECT_EQ(s.PackedInt(), 0);  // no bindings
  EXPECT_TRUE(s.AtEnd());
  EXPECT_FALSE(s.Overrun());
}

TEST(WindowDescription, IsInTheDataUnderItsSymbolAndDeclaredInTheHeader) {
  Project p;
  std::string error;
  ASSERT_TRUE(Read(kWindowProject, p, error)) << error;
  GeneratedData d;
  ASSERT_TRUE(GenerateProjectData(p, d, error)) << error;
  uint32_t at = d.symbols.at("vs_window_Main");
  std::vector<uint8_t> expected = EncodeWindowDescription(p, p.windows[0]);
  ASSERT_LE(at + expected.size(), d.bytes.size());
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), d.bytes.begin() + at));
  std::string h = GenerateProjectHeader(p, "p");
  EXPECT_NE(h.find("extern const uint8_t vs_window_Main[];"), std::string::npos) << h;
}

// A built-in control kind names its ancestors only through the layout table.
TEST(WindowDescription, BuiltInControlKindsAreControlsWithoutTheirAncestorsListed) {
  Project p;
  std::string error;
  ASSERT_TRUE(Read(R"({"entry": "M", "windows": [{"name": "W", "class": "Window", "controls": [
      {"class": "StaticText"}, {"class": "EditField"}, {"class": "PopupMenu"}, {"class": "TabPanel"},
      {"class": "Line"}]}], "classes": [{"name": "Line", "super": "Serial"},
      {"name": "Lamp", "plugin": true, "dataSize": 12}]})",
                   p, error))
      << error;
  // A serial line is placed like a control; a plug-in control is a
  // RectControl sized by its data.
  ASSERT_GE(ClassIndex(p, "Lamp"), 0);
  EXPECT_EQ(p.classes[static_cast<size_t>(ClassIndex(p, "Lamp"))].instanceSize, 92u + 12u);
}

TEST(PictureFile, PpmPixelsBecomeFiveBitsPerChannel) {
  std::string ppm = "P6\n# comment\n2 1\n255\n";
  ppm += std::string("\xFF\xFF\xFF\x08\x10\xF8", 6);
  Picture16 picture;
  std::string error;
  ASSERT_TRUE(DecodePpm(std::vector<uint8_t>(ppm.begin(), ppm.end()), picture, error)) << error;
  EXPECT_EQ(picture.width, 2u);
  EXPECT_EQ(picture.pixels[0], 0x7FFF);
  EXPECT_EQ(picture.pixels[1], (1 << 10) | (2 << 5) | 31);
  std::string cut = ppm.substr(0, ppm.size() - 1);
  EXPECT_FALSE(DecodePpm(std::vector<uint8_t>(cut.begin(), cut.end()), picture, error));
  std::string p3 = "P3\n1 1\n255\n1 2 3\n";
  EXPECT_FALSE(DecodePpm(std::vector<uint8_t>(p3.begin(), p3.end()), picture, error));
}

}  // namespace
