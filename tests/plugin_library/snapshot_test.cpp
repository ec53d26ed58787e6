// A sheet of all eight controls, enabled on the top row and disabled below,
// saved as zorbplug1-controls.bmp in the working folder for people to look
// at. The test itself checks that every control left marks in its cell.
#include <gtest/gtest.h>

#include <cstdio>

#include "plugin_library/control_data.h"
#include "tests/plugin_library/fake_host.h"

namespace {

constexpr int kCell = 80;

struct Sheet {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;
  void* bits = nullptr;
  int width, height;
  Sheet(int w, int h) : width(w), height(h) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    previous = SelectObject(dc, bitmap);
    RECT all{0, 0, w, h};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  ~Sheet() {
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  bool Save(const char* path) const {
    FILE* f = fopen(path, "wb");
    if (!f) return false;
    DWORD size = width * height * 4;
    BITMAPFILEHEADER file{0x4D42, DWORD(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + size), 0, 0,
                          DWORD(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER))};
    BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, size, 0, 0, 0, 0};
    bool ok = fwrite(&file, sizeof file, 1, f) == 1 && fwrite(&info, sizeof info, 1, f) == 1 &&
              fwrite(bits, size, 1, f) == 1;
    return fclose(f) == 0 && ok;
  }
};

void Prepare(fake::Control* c, const char* kind) {
  std::string k = kind;
  if (k == "BevelButton") {
    auto* d = c->data<BevelButtonData>();
    d->bevel = 2;
    d->hasMenu = 1;
  }
  if (k == "DisclosureTriangle") c->data<DisclosureTriangleData>()->value = 1;
  if (k == "ChasingArrows") c->data<ChasingArrowsData>()->frame = 3;
  if (k == "PopupArrow") c->data<PopupArrowData>()->facing = 3;
  if (k == "LittleArrows") c->data<LittleArrowsData>()->drawnPart = 1;
}

TEST(PluginSnapshot, AllEightControlsEnabledAndDisabled) {
  ASSERT_NE(fake::LoadPlugin(), nullptr);
  const struct {
    const char* kind;
    RECT bounds;
  } cells[] = {{"BevelButton", {0, 0, 64, 24}},      {"ChasingArrows", {0, 0, 16, 16}},
               {"LittleArrows", {0, 0, 13, 23}},     {"Placard", {0, 0, 64, 40}},
               {"Separator", {0, 0, 64, 4}},         {"PopupArrow", {0, 0, 10, 10}},
               {"DisclosureTriangle", {0, 0, 12, 12}}, {"ImageWell", {0, 0, 40, 40}}};
  Sheet sheet(8 * kCell, 2 * kCell);
  for (int row = 0; row < 2; ++row)
    for (int col = 0; col < 8; ++col) {
      RECT b = cells[col].bounds;
      OffsetRect(&b, 20, 20);
      fake::Control* c = fake::MakeControl(cells[col].kind, b);
      Prepare(c, cells[col].kind);
      c->enabled = row == 0;
      Surface s(b, 8);
      c->dc = s.dc();
      fake::Draw(c);
      s.CopyTo(sheet.dc, col * kCell + 4, row * kCell + 4);
      int marked = 0;
      for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) marked += s.at(b.left - 8 + x, b.top - 8 + y) != kPaper;
      EXPECT_GT(marked, 10) << cells[col].kind << (row ? " disabled" : " enabled");
      fake::DestroyControl(c);
    }
  EXPECT_TRUE(sheet.Save("zorbplug1-controls.bmp"));
}

}  // namespace
