// A stand-in for the runtime as zorbplug1.dll sees it: a lookup routine
// that serves fake services, records every control registered, and gives
// controls memory DCs to draw into.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "plugin_library/plugin_abi.h"

namespace fake {

// A runtime string: reference count and NUL-terminated bytes.
struct String {
  int refs;
  std::string text;
};

// One control instance: its bytes (plug-in data at +92), where it sits in
// its window, its state, and the DC its graphics object draws into.
struct Control {
  std::vector<uint8_t> memory;
  RECT bounds{};
  bool enabled = true;
  bool visible = true;
  HDC dc = nullptr;
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
};

struct Host {
  std::vector<ControlDefinition*> registered;
  std::vector<std::string> raised;  // "Action", "Up", "PerformAction" ...
  std::map<void*, int> objectRefs;
  COLORREF specialBackground = RGB(0xCC, 0xEE, 0xFF);
  int mouseDownAnswer = 1;
  int heldAtAction = -1;  // the instance's references while its last "Action" ran
};

Host& host();
void ResetRecords();

// Loads zorbplug1.dll (once) and calls its entry with the fake lookup.
HMODULE LoadPlugin();
const ControlDefinition* Definition(const char* name);

// A control of that kind in `bounds`, constructed through slot 0.
Control* MakeControl(const char* kind, RECT bounds);
void DestroyControl(Control* control);
Control* ControlOf(PlugInstance instance);

String* NewString(const char* text);
std::string Text(PlugString s);

// Calls behaviour slot `slot` of the control's definition.
void* Slot(Control* c, int slot);
void Draw(Control* c);  // slot 2 with the control's own graphics object
int MouseDown(Control* c, int x, int y);
void MouseDrag(Control* c, int x, int y);
void MouseUp(Control* c, int x, int y);

}  // namespace fake

// A 32-bit memory surface whose logical coordinates are window coordinates:
// the control's bounds plus a margin all round, filled with kPaper.
constexpr COLORREF kPaper = RGB(0x10, 0x80, 0x40);
class Surface {
 public:
  Surface(RECT bounds, int margin);
  ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  HDC dc() const { return dc_; }
  COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }
  // The pixels of the whole surface that are not paper.
  int Marked() const;

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  int width_, height_, originX_, originY_;
};
