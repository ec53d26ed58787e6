// Window descriptions from a damaged image make no window: a description
// must lie in the data block with all its bytes, name a window class and
// only control classes for its controls, before any object is made from it.
// Each refusal is reported as damage.
#include <gtest/gtest.h>

#include "described_window.h"
#include "objects/assertion.h"
#include "objects/builtin_classes.h"
#include "objects/class_table.h"
#include "objects/objects.h"
#include "sdk/description_encoding.h"
#include "ui/runtime_ui.h"

namespace {

using Damage = std::vector<std::string>;
Damage gDamage;

TEST(WindowDescriptions, DamagedOnesAreRefusedBeforeAnythingIsMade) {
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
  auto withControl = [](int32_t classIndex) {  // a window, one control of the class
    std::vector<uint8_t> s;
    for (int32_t v : {0, 0, 1, classIndex, 0, 0}) PutPackedInt(s, v);
    return s;
  };
  std::vector<uint8_t> cut, longer = stream(0);  // a control promised and missing, a byte left over
  for (int32_t v : {0, 0, 1}) PutPackedInt(cut, v);
  longer.push_back(0);
  const uint32_t past = static_cast<uint32_t>(stream(0).size() + 1), wraps = 0xFFFFFFFCu;
  const std::string noWindow = "a window description names a class that is no window",
                    damaged = "a window description is damaged",
                    runsPast = "a window description runs past the data block",
                    noControl = "a window description names a control whose class is no control";
  const struct {
    std::vector<uint8_t> stream;
    std::optional<uint32_t> length;
    Damage damage;
  } rows[] = {
      {stream(1), {}, {noWindow}},  // a control class
      {stream(7), {}, {"class index out of range", noWindow}},
      {cut, {}, {damaged}},
      {longer, {}, {damaged}},
      {stream(0), past, {runsPast}},
      {stream(0), wraps, {runsPast}},
      {withControl(0), {}, {noControl}},  // a window among the controls
      {withControl(2), {}, {noControl}},
      {withControl(-1), {}, {noControl}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::PrintToString(r.stream) + " " + std::to_string(r.length.value_or(0)));
    gDamage.clear();
    EXPECT_EQ(CreateDescribedWindow(r.stream, nullptr, r.length), nullptr);
    EXPECT_EQ(gDamage, r.damage);
  }
  gDamage.clear();
  uint8_t elsewhere[8] = {};
  EXPECT_EQ(RuntimeCreateWindow(elsewhere, nullptr), nullptr);
  EXPECT_EQ(gDamage, Damage{"a window description lies outside the data block"});

  EXPECT_EQ(LiveObjectCount(), live);
  SetAssertionRecorder(previous);
  SetClassTable(nullptr, 0);
}

}  // namespace
