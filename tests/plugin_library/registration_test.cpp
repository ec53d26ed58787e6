// Loading zorbplug1.dll as the runtime does and reading back what it
// registered, against the control catalogue the application's windows
// are described with.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/plugin_library/fake_host.h"

namespace {

struct Expected {
  const char* name;
  uint32_t dataSize, flags, propertyCount;
  std::vector<std::string> events;
  std::vector<int> slots;  // behaviour slots that must be set
};

const std::vector<std::string> kMouseEvents = {"MouseDown(X As Integer, Y As Integer) As Boolean",
                                               "MouseDrag(X As Integer, Y As Integer)",
                                               "MouseUp(X As Integer, Y As Integer)"};

const std::vector<Expected> kCatalogue = {
    {"BevelButton", 108, 24, 18, {"Action"}, {0, 1, 2, 3, 4, 5, 10, 12, 14, 15}},
    {"ChasingArrows", 4, 0, 0, {}, {2, 10, 11, 12}},
    {"LittleArrows", 12, 16, 0, {"Up", "Down"}, {2, 3, 4, 5, 10, 12}},
    {"Placard", 1, 24, 1, kMouseEvents, {2, 3, 4, 5, 10, 12}},
    {"Separator", 1, 0, 0, {}, {2, 10, 12}},
    {"PopupArrow", 8, 0, 1, kMouseEvents, {2, 3, 4, 5, 10, 12}},
    {"DisclosureTriangle", 12, 0, 2, {"Action"}, {2, 3, 10, 12}},
    {"ImageWell", 20, 8, 1, kMouseEvents, {1, 2, 3, 4, 5, 10, 12}},
};

TEST(PluginRegistration, DeclaresVersionFourThenRegistersTheEightControlsInOrder) {
  ASSERT_NE(fake::LoadPlugin(), nullptr);
  auto& h = fake::host();
  EXPECT_EQ(h.version, 4);
  ASSERT_EQ(h.registered.size(), kCatalogue.size());
  for (size_t i = 0; i < kCatalogue.size(); ++i) {
    const ControlDefinition& d = *h.registered[i];
    const Expected& e = kCatalogue[i];
    SCOPED_TRACE(e.name);
    EXPECT_STREQ(d.name, e.name);
    EXPECT_EQ(d.version, 4u);
    EXPECT_EQ(d.dataSize, e.dataSize);
    EXPECT_EQ(d.flags, e.flags);
    EXPECT_EQ(d.propertyCount, e.propertyCount);
    ASSERT_EQ(d.eventCount, e.events.size());
    for (size_t k = 0; k < e.events.size(); ++k) EXPECT_EQ(d.events[k].declaration, e.events[k]);
    for (int slot = 0; slot < kBehaviourSlots; ++slot) {
      bool wanted = std::find(e.slots.begin(), e.slots.end(), slot) != e.slots.end();
      EXPECT_EQ(d.behaviour->slot[slot] != nullptr, wanted) << "slot " << slot;
    }
  }
}

TEST(PluginRegistration, BevelButtonPropertiesMethodsAndInterface) {
  const ControlDefinition& d = *fake::Definition("BevelButton");
  struct Row {
    const char* group;
    const char* name;
    const char* type;
    uint32_t flags;
    bool defaultGetter, defaultSetter;
    uint32_t parameter, enumCount;
    const char* firstName;
  };
  const Row rows[] = {
      {"Appearance", "Caption", "String", 0, false, false, 0, 0, nullptr},
      {"Appearance", "CaptionAlign", "Integer", 0, true, false, 20, 4, "=#484"},
      {"Appearance", "CaptionPlacement", "Integer", 0, true, false, 24, 6, "=#488"},
      {"Appearance", "CaptionDelta", "Integer", 0, true, false, 76, 0, nullptr},
      {"Appearance", "Icon", "Picture", 0, true, false, 64, 0, nullptr},
      {"Appearance", "IconAlign", "Integer", 0, true, false, 16, 10, "=#474"},
      {"Appearance", "IconDX", "Integer", 0, true, false, 68, 0, nullptr},
      {"Appearance", "IconDY", "Integer", 0, true, false, 72, 0, nullptr},
      {"Appearance", "Bevel", "Integer", 1, true, true, 80, 3, "=#468"},
      {"Appearance", "HasMenu", "Integer", 1, true, true, 8, 3, "=#494"},
      {"Initial State", "Value", "Boolean", 0, true, false, 30, 0, nullptr},
      {"Initial State", "MenuValue", "Integer", 0, false, false, 28, 0, nullptr},
      {"Behavior", "ButtonType", "integer", 1, true, true, 96, 3, "=#471"},
      {"Font", "TextFont", "string", 1, true, true, 36, 0, nullptr},
      {"Font", "TextSize", "integer", 1, true, true, 40, 0, nullptr},
      {"Font", "Bold", "boolean", 1, true, true, 44, 0, nullptr},
      {"Font", "Italic", "boolean", 1, true, true, 45, 0, nullptr},
      {"Font", "Underline", "boolean", 1, true, true, 46, 0, nullptr},
  };
  void* const kDefault = reinterpret_cast<void*>(-1);
  for (size_t i = 0; i < 18; ++i) {
    const PropertyDefinition& p = d.properties[i];
    SCOPED_TRACE(rows[i].name);
    EXPECT_STREQ(p.group, rows[i].group);
    EXPECT_STREQ(p.name, rows[i].name);
    EXPECT_STREQ(p.type, rows[i].type);
    EXPECT_EQ(p.flags, rows[i].flags);
    EXPECT_EQ(p.getter == kDefault, rows[i].defaultGetter);
    EXPECT_NE(p.getter, nullptr);
    EXPECT_EQ(p.setter == kDefault, rows[i].defaultSetter);
    EXPECT_NE(p.setter, nullptr);
    EXPECT_EQ(p.parameter, rows[i].parameter);
    ASSERT_EQ(p.enumerationCount, rows[i].enumCount);
    if (rows[i].firstName) {
      EXPECT_STREQ(p.enumerationNames[0], rows[i].firstName);
    }
  }
  const char* methods[] = {"DeleteAllRows", "AddRow(text As String)", "AddSeparator",
                           "RemoveRow(row As Integer)", "InsertRow(row As Integer, text As String)",
                           "List(row As Integer) As String",
                           "addActionNotificationReceiver(receiver As actionNotificationReceiver)",
                           "removeActionNotificationReceiver(receiver As actionNotificationReceiver)"};
  ASSERT_EQ(d.methodCount, 8u);
  for (int i = 0; i < 8; ++i) EXPECT_STREQ(d.methods[i].declaration, methods[i]);
  EXPECT_NE(d.methods[5].assignment, nullptr);  // List(row) = text
  EXPECT_STREQ(d.interfaceNames, "ActionSource");
  EXPECT_EQ(d.dataOffset, 92u);
}

// A plug-in setter on a property read through the default getter gets the
// word the runtime gives both routines: data offset + definition parameter,
// the field's offset in the instance. What it stores, the getter must read.
TEST(PluginRegistration, BevelSettersStoreWhereTheDefaultGetterReads) {
  const ControlDefinition& d = *fake::Definition("BevelButton");
  fake::Control* c = fake::MakeControl("BevelButton", {0, 0, 60, 20});
  for (int property : {1, 2, 3, 5, 6, 7}) {
    const PropertyDefinition& p = d.properties[property];
    SCOPED_TRACE(p.name);
    ASSERT_EQ(p.getter, kField);
    uint32_t word = d.dataOffset + p.parameter;
    int32_t value = 1000 + property;
    reinterpret_cast<void(__cdecl*)(PlugInstance, uint32_t, int32_t)>(p.setter)(c->instance(), word, value);
    int32_t stored = 0;
    memcpy(&stored, c->instance() + word, sizeof stored);
    EXPECT_EQ(stored, value);
  }
  // A word outside the control's data stores nothing.
  std::vector<uint8_t> before = c->memory;
  auto setter = reinterpret_cast<void(__cdecl*)(PlugInstance, uint32_t, int32_t)>(d.properties[1].setter);
  for (uint32_t word : {0u, d.dataOffset - 4, d.dataOffset + 106, 0xFFFFFFFEu}) setter(c->instance(), word, -1);
  EXPECT_EQ(c->memory, before);
  fake::DestroyControl(c);
}

TEST(PluginRegistration, EnumerationNamesRunFrom468To506) {
  auto names = [](const char* control, int property) {
    const PropertyDefinition& p = fake::Definition(control)->properties[property];
    std::vector<std::string> out;
    for (uint32_t i = 0; i < p.enumerationCount; ++i) out.push_back(p.enumerationNames[i]);
    return out;
  };
  std::vector<std::string> all;
  for (int property : {8, 12, 5, 1, 2, 9})  // Bevel, ButtonType, IconAlign, CaptionAlign, Placement, HasMenu
    for (auto& n : names("BevelButton", property)) all.push_back(n);
  for (auto& n : names("DisclosureTriangle", 1)) all.push_back(n);
  for (auto& n : names("PopupArrow", 0)) all.push_back(n);
  ASSERT_EQ(all.size(), 39u);
  for (int i = 0; i < 39; ++i) EXPECT_EQ(all[i], "=#" + std::to_string(468 + i));
}

TEST(PluginRegistration, ExportsOnlyItsEntryPoint) {
  auto base = reinterpret_cast<const uint8_t*>(fake::LoadPlugin());
  ASSERT_NE(base, nullptr);
  auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  ASSERT_NE(dir.VirtualAddress, 0u);
  auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
  EXPECT_EQ(exports->NumberOfFunctions, 1u);
  ASSERT_EQ(exports->NumberOfNames, 1u);
  auto names = reinterpret_cast<const uint32_t*>(base + exports->AddressOfNames);
  EXPECT_STREQ(reinterpret_cast<const char*>(base + names[0]), "ZORBPluginMain");
  EXPECT_STREQ(reinterpret_cast<const char*>(base + exports->Name), "zorbplug1.dll");
}

TEST(PluginRegistration, LooksEachServiceUpOnceAndKeepsIt) {
  fake::LoadPlugin();
  fake::Control* c = fake::MakeControl("Separator", {0, 0, 40, 4});
  Surface s(c->bounds, 0);
  c->dc = s.dc();
  fake::ResetRecords();
  fake::Draw(c);
  size_t afterFirst = fake::host().asked.size();
  fake::Draw(c);
  EXPECT_EQ(fake::host().asked.size(), afterFirst) << "a service was looked up again";
  fake::ResetRecords();
  fake::Control* other = fake::MakeControl("DisclosureTriangle", {0, 0, 12, 12});
  other->dc = s.dc();
  fake::Draw(other);
  EXPECT_EQ(std::count(fake::host().asked.begin(), fake::host().asked.end(), "GetControlBounds"), 0);
  fake::DestroyControl(other);
  fake::DestroyControl(c);
}

}  // namespace
