// A stand-in for the runtime as zorbplug1.dll sees it: a lookup routine
// that serves fake services, records every control registered, and gives
// controls memory DCs to draw into.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "plugin_library/plugin_abi.h"

// A 32-bit memory surface whose logical coordinates are window coordinates:
// the control's bounds plus a margin all round, filled with kPaper.
constexpr COLORREF kPaper = RGB(0x10, 0x80, 0x40);
class Surface {
 public:
  Surface(RECT bounds, int margin)
      : width_(bounds.right - bounds.left + 2 * margin),
        height_(bounds.bottom - bounds.top + 2 * margin),
        originX_(bounds.left - margin),
        originY_(bounds.top - margin) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    dc_ = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    previous_ = SelectObject(dc_, bitmap_);
    RECT all{0, 0, width_, height_};
    HBRUSH paper = CreateSolidBrush(kPaper);
    FillRect(dc_, &all, paper);
    DeleteObject(paper);
    SetWindowOrgEx(dc_, originX_, originY_, nullptr);
  }
  ~Surface() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  HDC dc() const { return dc_; }
  COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }
  int Marked() const {
    int marked = 0;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) marked += at(originX_ + x, originY_ + y) != kPaper;
    return marked;
  }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  int width_, height_, originX_, originY_;
};

namespace fake {

// A runtime string: reference count and NUL-terminated bytes.
struct String {
  int refs;
  std::string text;
};

// One control instance: its bytes (plug-in data at +92), bounds, state, surface.
struct Control {
  std::vector<uint8_t> memory;
  RECT bounds{};
  bool enabled = true;
  std::unique_ptr<Surface> surface;
  HWND hwnd = nullptr;
  const ControlDefinition* definition = nullptr;
  PlugInstance instance() { return memory.data(); }
  template <typename T>
  T* data() { return reinterpret_cast<T*>(memory.data() + 92); }
  // Method `i` of the definition, or its assignment routine, as F.
  template <typename F>
  F method(int i, bool assignment = false) {
    const MethodDefinition& m = definition->methods[i];
    return reinterpret_cast<F>(assignment ? m.assignment : m.routine);
  }
  // Behaviour slot `slot` called with the instance and `args`.
  template <typename R = void, typename... A>
  R Call(int slot, A... args) {
    return reinterpret_cast<R(__cdecl*)(PlugInstance, A...)>(definition->behaviour->slot[slot])(instance(), args...);
  }
};

struct Host {
  std::vector<ControlDefinition*> registered;
  std::vector<std::string> raised;  // "Action", "MouseDown@3,4", "PerformAction:4369" ...
  std::map<void*, int> objectRefs;
  COLORREF specialBackground = RGB(0xCC, 0xEE, 0xFF);
  int heldAtAction = -1;  // the instance's references while its last "Action" ran
};

Host& host();
void ResetRecords();

// Loads zorbplug1.dll (once) and calls its entry with the fake lookup.
HMODULE LoadPlugin();
const ControlDefinition* Definition(const char* name);

// A constructed control on its own surface (margin 3); DestroyAll destroys all made.
Control* MakeControl(const char* kind, RECT bounds);
void DestroyAll();

String* NewString(const char* text);
std::string Text(PlugString s);

// The slots the pane calls, the control being its own graphics object.
inline void Draw(Control* c) { c->Call(kSlotDraw, static_cast<void*>(c->instance())); }
inline int MouseDown(Control* c, int x, int y) { return c->Call<int>(kSlotMouseDown, x, y, 0) & 0xFF; }
inline void MouseDrag(Control* c, int x, int y) { c->Call(kSlotMouseDrag, x, y); }
inline void MouseUp(Control* c, int x, int y) { c->Call(kSlotMouseUp, x, y); }

}  // namespace fake

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(fake::LoadPlugin(), nullptr);
    fake::ResetRecords();
  }
  void TearDown() override { fake::DestroyAll(); }
};
