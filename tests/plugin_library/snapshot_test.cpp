// A sheet of all eight controls, enabled on the top row and disabled below,
// saved as zorbplug1-controls.bmp in the working folder for people to look
// at. The test itself checks that every control left marks in its cell.
#include <gtest/gtest.h>

#include "plugin_library/control_data.h"
#include "tests/plugin_library/fake_host.h"

namespace {

constexpr int kCell = 80;

TEST(PluginSnapshot, AllEightControlsEnabledAndDisabled) {
  ASSERT_NE(fake::LoadPlugin(), nullptr);
  const struct {
    const char* kind;
    RECT bounds;
    void (*prepare)(fake::Control*);
  } cells[] = {
      {"BevelButton", {20, 20, 84, 44},
       [](fake::Control* c) { c->data<BevelButtonData>()->bevel = 2, c->data<BevelButtonData>()->hasMenu = 1; }},
      {"ChasingArrows", {20, 20, 36, 36}, [](fake::Control* c) { c->data<ChasingArrowsData>()->frame = 3; }},
      {"LittleArrows", {20, 20, 33, 43}, [](fake::Control* c) { c->data<LittleArrowsData>()->drawnPart = 1; }},
      {"Placard", {20, 20, 84, 60}, nullptr},
      {"Separator", {20, 20, 84, 24}, nullptr},
      {"PopupArrow", {20, 20, 30, 30}, [](fake::Control* c) { c->data<PopupArrowData>()->facing = 3; }},
      {"DisclosureTriangle", {20, 20, 32, 32},
       [](fake::Control* c) { c->data<DisclosureTriangleData>()->value = 1; }},
      {"ImageWell", {20, 20, 60, 60}, nullptr},
  };
  Surface sheet({0, 0, 8 * kCell, 2 * kCell}, 0);
  RECT all{0, 0, 8 * kCell, 2 * kCell};
  FillRect(sheet.dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  for (int row = 0; row < 2; ++row)
    for (int col = 0; col < 8; ++col) {
      fake::Control* c = fake::MakeControl(cells[col].kind, cells[col].bounds);
      if (cells[col].prepare) cells[col].prepare(c);
      c->enabled = row == 0;
      Surface s(c->bounds, 8);
      c->dc = s.dc();
      fake::Draw(c);
      s.CopyTo(sheet.dc(), col * kCell + 4, row * kCell + 4);
      EXPECT_GT(s.Marked(), 10) << cells[col].kind << (row ? " disabled" : " enabled");
      fake::DestroyControl(c);
    }
  EXPECT_TRUE(sheet.SaveBmp("zorbplug1-controls.bmp"));
}

}  // namespace
