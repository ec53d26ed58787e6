// Window descriptions from a damaged image make no window: a description
// must lie in the data block with all its bytes, and name a window class,
// before any object is made from it. Each refusal is reported as damage.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "described_window.h"
#include "objects/assertion.h"
#include "objects/builtin_classes.h"
#include "objects/class_table.h"
#include "objects/classes.h"
#include "objects/objects.h"
#include "sdk/description_encoding.h"
#include "ui/runtime_ui.h"

namespace {

std::vector<std::string> gDamage;

TEST(WindowDescriptions, DamagedOnesAreRefusedBeforeAnythingIsMade) {
  RegisterBuiltInClasses();
  RegisterRuntimeWindowClasses();
  ClassRecord* table[] = {FindBuiltInClass("Window"), FindBuiltInClass("Timer")};
  SetClassTable(table, 2);
  AssertionRecorder previous = SetAssertionRecorder([](const char* what) { gDamage.push_back(what); });
  int32_t live = LiveObjectCount();
  auto stream = [](int32_t classIndex) {
    std::vector<uint8_t> s;
    for (int32_t v : {0, classIndex, 0, 0}) PutPackedInt(s, v);
    return s;
  };

  // Named by class: a control class, and an index past the table.
  for (int32_t classIndex : {1, 7}) {
    gDamage.clear();
    EXPECT_EQ(CreateDescribedWindow(stream(classIndex)), nullptr) << classIndex;
    EXPECT_FALSE(gDamage.empty()) << classIndex;
  }
  // By content: a control promised and missing, a byte left over.
  std::vector<uint8_t> cut, longer = stream(0);
  for (int32_t v : {0, 0, 1}) PutPackedInt(cut, v);
  longer.push_back(0);
  for (const auto& damaged : {cut, longer}) {
    gDamage.clear();
    EXPECT_EQ(CreateDescribedWindow(damaged), nullptr);
    EXPECT_EQ(gDamage, (std::vector<std::string>{"a window description is damaged"}));
  }
  // By place: the byte count reaches past the block, or wraps, and the
  // description lies outside the block altogether.
  std::vector<uint8_t> block(4);
  std::vector<uint8_t> s = stream(0);
  block.insert(block.end(), s.begin(), s.end());
  uint8_t* savedBase = gDataBase;
  uint32_t savedLength = gDataLength;
  gDataBase = block.data();
  gDataLength = static_cast<uint32_t>(block.size());
  for (uint32_t length : {static_cast<uint32_t>(s.size() + 1), 0xFFFFFFFCu}) {
    gDamage.clear();
    WriteU32LE(block.data(), length);
    EXPECT_EQ(RuntimeCreateWindow(block.data(), nullptr), nullptr) << length;
    EXPECT_EQ(gDamage, (std::vector<std::string>{"a window description runs past the data block"}));
  }
  gDamage.clear();
  uint8_t elsewhere[8] = {};
  EXPECT_EQ(RuntimeCreateWindow(elsewhere, nullptr), nullptr);
  EXPECT_EQ(gDamage, (std::vector<std::string>{"a window description lies outside the data block"}));
  gDataBase = savedBase;
  gDataLength = savedLength;

  EXPECT_EQ(LiveObjectCount(), live);
  SetAssertionRecorder(previous);
  SetClassTable(nullptr, 0);
}

}  // namespace
