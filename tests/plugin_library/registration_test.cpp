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

// A plug-in setter on a property read through the default getter gets the
// word the runtime gives both routines: data offset + definition parameter,
// the field's offset in the instance. What it stores, the getter must read.
TEST(PluginRegistration, BevelSettersStoreWhereTheDefaultGetterReads) {
  ASSERT_NE(fake::LoadPlugin(), nullptr);
  const ControlDefinition& d = *fake::Definition("BevelButton");
  fake::Control* c = fake::MakeControl("BevelButton", {0, 0, 60, 20});
  using Setter = void(__cdecl*)(PlugInstance, uint32_t, int32_t);
  for (uint32_t i = 0; i < d.propertyCount; ++i)  // none read-only
    EXPECT_TRUE(d.properties[i].getter && d.properties[i].setter) << d.properties[i].name;
  for (int property : {1, 2, 3, 5, 6, 7}) {  // the alignments, placement and offsets
    const PropertyDefinition& p = d.properties[property];
    SCOPED_TRACE(p.name);
    ASSERT_EQ(p.getter, kField);
    uint32_t word = d.dataOffset + p.parameter;
    reinterpret_cast<Setter>(p.setter)(c->instance(), word, 1000 + property);
    int32_t stored = 0;
    memcpy(&stored, c->instance() + word, sizeof stored);
    EXPECT_EQ(stored, 1000 + property);
  }
  // A word outside the control's data stores nothing.
  std::vector<uint8_t> before = c->memory;
  for (uint32_t word : {0u, d.dataOffset - 4, d.dataOffset + 106, 0xFFFFFFFEu})
    reinterpret_cast<Setter>(d.properties[1].setter)(c->instance(), word, -1);
  EXPECT_EQ(c->memory, before);
  fake::DestroyControl(c);
}

// The enumerations' names are the runtime's design-name strings 468 to 506,
// each used once, in this order of properties.
TEST(PluginRegistration, EnumerationNamesRunFrom468To506) {
  ASSERT_NE(fake::LoadPlugin(), nullptr);
  const std::pair<const char*, int> properties[] = {
      {"BevelButton", 8},  {"BevelButton", 12}, {"BevelButton", 5},        {"BevelButton", 1},
      {"BevelButton", 2},  {"BevelButton", 9},  {"DisclosureTriangle", 1}, {"PopupArrow", 0}};
  std::vector<std::string> all;
  for (auto [control, index] : properties) {
    const PropertyDefinition& p = fake::Definition(control)->properties[index];
    all.insert(all.end(), p.enumerationNames, p.enumerationNames + p.enumerationCount);
  }
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
}

TEST(PluginRegistration, LooksEachServiceUpOnceAndKeepsIt) {
  ASSERT_NE(fake::LoadPlugin(), nullptr);
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
