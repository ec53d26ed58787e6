// What the builder reads and writes: the project, the data it generates, menu
// bars (the runtime's reader on streams written by hand), the program it extends.
#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <string>
#include <tuple>

#include "sdk/description_encoding.h"
#include "sdk/le_bytes.h"
#include "tools/image_builder/menu_description.h"
#include "tools/image_builder/pe_resources.h"
#include "tools/image_builder/picture_file.h"
#include "tools/image_builder/project.h"
#include "tools/image_builder/project_data.h"
#include "ui/menu_description.h"

namespace {

// The project read from `json`; its error, empty when it was read.
std::string Read(const std::string& json, Project& p) {
  std::string path = testing::TempDir() + "project.json", error;
  std::ofstream(path) << json;
  bool read = ReadProject(path, p, error);
  EXPECT_EQ(read, error.empty()) << error;
  return error;
}

Project Parsed(const std::string& json) {
  Project p;
  EXPECT_EQ(Read(json, p), "");
  return p;
}

// Built-in classes in use are added; a plug-in control is a RectControl (92 bytes) sized by its data.
TEST(Project, FieldsFollowTheSuperclassesFieldsAndMistakesAreNamed) {
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
  EXPECT_EQ(ClassIndex(p, "Application"), 4);
  EXPECT_EQ(ClassIndex(p, "RectControl"), 5);
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
      {R"({"entry": "M", "windows": [{"name": "W", "class": "Window"}, {"name": "W", "class": "Window"}]})",
       "window W is listed twice"},
      {R"({"entry": "M", "windows": [{"class": "Window"}]})", "has no name"},
      {R"({"entry": "M", "windows": [{"name": "W", "class": "Window", "controls": [{"class": "Picture"}]}]})",
       "control class Picture does not derive from Control or Serial"},
  };
  for (const auto& [json, says] : cases) {
    Project mistaken;
    EXPECT_NE(Read(json, mistaken).find(says), std::string::npos) << json;
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

// A class name over 255 bytes: its length byte says 255, the record's length word the
// whole length. The rest of the descriptors is read by every image test's runtime.
TEST(ProjectData, AClassNameOver255BytesKeepsItsWholeLength) {
  const std::string app(300, 'A');
  GeneratedData d;
  std::string error;
  ASSERT_TRUE(GenerateProjectData(Parsed(R"({"entry": "Main", "classes": [
      {"name": ")" + app + R"(", "super": "Application"}]})"), d, error)) << error;
  uint32_t a = d.symbols.at(RelocationAt(d, d.symbols.at(kProjectRecordSymbol) + 4));
  EXPECT_EQ(StringAt(d, RelocationAt(d, a + 8)), app);
}

TEST(PictureFile, PpmPixelsBecomeFiveBitsPerChannel) {
  Picture16 picture;
  std::string error;
  auto decode = [&](const std::string& ppm) { return DecodePpm({ppm.begin(), ppm.end()}, picture, error); };
  std::string ppm = "P6\n# comment\n2 1\n255\n" + std::string("\xFF\xFF\xFF\x08\x10\xF8", 6);
  ASSERT_TRUE(decode(ppm));
  EXPECT_EQ(picture.width, 2u);
  EXPECT_EQ(picture.pixels, (std::vector<uint16_t>{0x7FFF, (1 << 10) | (2 << 5) | 31}));
  EXPECT_FALSE(decode(ppm.substr(0, ppm.size() - 1)));
  EXPECT_FALSE(decode("P3\n1 1\n255\n1 2 3\n"));
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

// Old "no index" values read as none; damaged streams are refused, and so are
// menus the builder nests deeper than the runtime's reader's limit.
TEST(MenuDescriptionReader, OldNoIndexValuesDamageAndDeepNesting) {
  std::vector<MenuEntryDescription> read;
  auto reads = [&](const std::vector<uint8_t>& s) {
    return ReadMenuBarDescription(s.data(), static_cast<uint32_t>(s.size()), read);
  };
  const std::pair<uint32_t, int32_t> oldNone[] = {
      {0x80000010u, kNotAnArrayElement}, {0x80100000u, kNotAnArrayElement}, {7, 7}};
  for (auto [stored, index] : oldNone) {
    ASSERT_TRUE(reads(OneItemLevel(static_cast<int32_t>(stored), 0)));
    EXPECT_EQ(read[0].items[0].index, index) << std::hex << stored;
  }
  std::vector<uint8_t> whole = OneItemLevel(INT32_MIN, 0);
  for (size_t cut = 0; cut < whole.size(); ++cut)
    EXPECT_FALSE(ReadMenuBarDescription(whole.data(), static_cast<uint32_t>(cut), read)) << cut;
  EXPECT_FALSE(reads(OneItemLevel(INT32_MIN, 1)));  // the item claims a submenu that is not there
  std::vector<uint8_t> huge;                        // a huge count with nothing behind it
  PutPackedInt(huge, 0x7FFFFFFF);
  EXPECT_FALSE(reads(huge));
  nlohmann::json level = nlohmann::json::array({{{"text", "leaf"}, {"name", "Leaf"}}});
  for (int depth = 0; depth < 40; ++depth)
    level = nlohmann::json::array({{{"text", "sub"}, {"name", "Sub"}, {"items", level}}});
  std::vector<uint8_t> deep;
  std::string error;
  auto classes = [](const std::string& name) { return name == "MenuItem" ? 4 : -1; };
  level = nlohmann::json::array({{{"text", "&Deep"}, {"items", level}}});
  ASSERT_TRUE(EncodeMenuBar(level, classes, deep, error)) << error;
  EXPECT_FALSE(reads(std::vector<uint8_t>(deep.begin() + 4, deep.end())));
}

// The builder's PE reader on a program written by hand: one resource section whose last
// bytes, the PICKLE locator's, end the file, so a bound one byte off either way shows.
constexpr uint32_t kPe = 0x40, kOptional = kPe + 24, kOptionalSize = 224;
constexpr uint32_t kSectionTable = kOptional + kOptionalSize, kRaw = 0x200, kRva = 0x1000;
// Inside the resource section: three one-entry directories, the type's
// name, the leaf, then the locator's bytes.
constexpr uint32_t kTypes = 0x18, kIds = 0x30, kName = 0x48, kLeaf = 0x58, kData = 0x68;
constexpr uint32_t kDataSize = 12, kSectionSize = kData + kDataSize;

void Directory(std::vector<uint8_t>& f, uint32_t at, bool named, uint32_t key, uint32_t value) {
  WriteU16LE(&f[kRaw + at + (named ? 12 : 14)], 1);
  WriteU32LE(&f[kRaw + at + 16], key);
  WriteU32LE(&f[kRaw + at + 20], value);
}

std::vector<uint8_t> HandMadeProgram(const char* typeName) {
  std::vector<uint8_t> f(kRaw + kSectionSize);
  f[0] = 'M', f[1] = 'Z';
  WriteU32LE(&f[0x3C], kPe);
  WriteU32LE(&f[kPe], 0x00004550);
  WriteU16LE(&f[kPe + 6], 1);  // sections
  WriteU16LE(&f[kPe + 20], kOptionalSize);
  WriteU16LE(&f[kOptional], 0x10B);
  WriteU32LE(&f[kOptional + 92], 16);            // data directories
  WriteU32LE(&f[kOptional + 96 + 8 * 2], kRva);  // the resource directory's address
  const uint32_t section[] = {kSectionSize, kRva, kSectionSize, kRaw};  // virtual size and address, raw size and place
  for (uint32_t i = 0; i < 4; ++i) WriteU32LE(&f[kSectionTable + 8 + 4 * i], section[i]);
  Directory(f, 0, true, 0x80000000u | kName, 0x80000000u | kTypes);
  Directory(f, kTypes, false, 101, 0x80000000u | kIds);
  Directory(f, kIds, false, 1033, kLeaf);
  std::string name(typeName);
  WriteU16LE(&f[kRaw + kName], static_cast<uint16_t>(name.size()));
  for (size_t i = 0; i < name.size(); ++i) WriteU16LE(&f[kRaw + kName + 2 + 2 * i], name[i]);
  WriteU32LE(&f[kRaw + kLeaf], kRva + kData);
  WriteU32LE(&f[kRaw + kLeaf + 4], kDataSize);
  return f;
}

TEST(PeFacts, TheLocatorMayEndTheFileAndNotOneBytePast) {
  // The resource type's name, the bytes cut off the end, the error.
  const std::tuple<const char*, size_t, const char*> kCases[] = {
      {"PICKLE", 0, ""},
      {"PICKLE", 1, "an address in the resources lies outside every section"},
      {"PICKLES", 0, "the program has no PICKLE resource 101 in language 1033"},
  };
  for (const auto& [typeName, cut, says] : kCases) {
    std::vector<uint8_t> file = HandMadeProgram(typeName);
    file.resize(file.size() - cut);
    PeFacts facts;
    std::string error;
    bool read = ReadPeFacts(file, facts, error);
    EXPECT_EQ(error, says) << typeName << " cut " << cut;
    if (!read) continue;
    EXPECT_EQ(facts.locatorOffset, kRaw + kData);
    EXPECT_EQ(facts.locatorSize, kDataSize);
    EXPECT_EQ(facts.endOfSections, file.size());
  }
}

}  // namespace
