// What the control, menu, keyboard and drawing tests share: menu and control
// descriptions in the stored format, scratch classes, application windows,
// recording panes and a canvas to draw into.
#pragma once
#include <windows.h>

#include <climits>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "objects/builtin_classes.h"
#include "objects/classes.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "sdk/description_encoding.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"
#include "ui/control_dictionary.h"
#include "ui/menu_bar.h"
#include "ui/native_window.h"
#include "ui/pane.h"

namespace menutest {

inline std::vector<std::string> gLog;

// One menu level under construction, in the stored format.
struct Level {
  std::vector<uint8_t> bytes;
  int32_t count = 0;
  Level& Entry(const std::string& text, const std::string& name, const std::string& key = "",
               int32_t cls = 0, int32_t index = INT32_MIN, const Level* submenu = nullptr,
               int32_t kind = 0) {
    PutPackedInt(bytes, kind);
    PutPackedString(bytes, text);
    PutPackedString(bytes, name);
    PutPackedInt(bytes, index);
    PutPackedString(bytes, key);
    for (int help = 0; help < 2; ++help) PutPackedString(bytes, "");
    bytes.push_back(0);
    bytes.push_back(submenu ? 1 : 0);
    PutPackedInt(bytes, cls);
    if (submenu) Append(*submenu);
    ++count;
    return *this;
  }
  Level& Menu(const std::string& text, const Level& items, int32_t kind = 0) {
    Entry(text, "", "", 0, INT32_MIN, nullptr, kind);
    Append(items);
    return *this;
  }
  void Append(const Level& level) {
    PutPackedInt(bytes, level.count);
    bytes.insert(bytes.end(), level.bytes.begin(), level.bytes.end());
  }
  bool BuildBar() const {
    Level whole;
    whole.Append(*this);
    return BuildMenuBar(whole.bytes.data(), static_cast<uint32_t>(whole.bytes.size()));
  }
};

// Controls as a window description lists them: a class table index, then the properties by name.
using Pairs = std::vector<std::pair<std::string, std::string>>;
using Described = std::pair<int32_t, Pairs>;
inline const std::string kNoIndex = std::to_string(INT32_MIN);

inline void PutControls(std::vector<uint8_t>& bytes, const std::vector<Described>& controls) {
  for (const auto& [classIndex, properties] : controls) {
    PutPackedInt(bytes, classIndex);
    PutPackedInt(bytes, static_cast<int32_t>(properties.size()));
    for (const auto& [name, value] : properties) PutPackedString(bytes, name), PutPackedString(bytes, value);
  }
}

// A control's place and, after it, the properties of its kind.
inline Pairs Place(const std::string& name, int left, int top, int width, int height, Pairs more = {}, int tab = 0) {
  Pairs p = {{"Name", name}, {"Index", kNoIndex}, {"TabPanelIndex", std::to_string(tab)}};
  for (auto [key, value] : {std::pair{"Left", left}, {"Top", top}, {"Width", width}, {"Height", height}})
    p.emplace_back(key, std::to_string(value));
  p.insert(p.end(), more.begin(), more.end());
  return p;
}

template <typename F>
CodeAddress Code(F* f) {
  return reinterpret_cast<CodeAddress>(f);
}
using Handlers = std::initializer_list<std::pair<const char*, CodeAddress>>;

// Classes made for one test, destroyed with it.
struct ScratchClasses {
  std::vector<ClassRecord*> made;
  ClassRecord* Make(const char* name, ClassRecord* super, uint32_t size) {
    ClassRecord* c = NewClassRecord(name);
    c->superclass = super;
    c->instanceSize = size;
    made.push_back(c);
    return c;
  }
  ClassRecord* Make(const char* name, const char* builtIn, Handlers handlers = {}) {
    ClassRecord* super = FindBuiltInClass(builtIn);
    ClassRecord* c = Make(name, super, super->instanceSize);
    for (const auto& [event, code] : handlers) AddEventHandler(c, event, code, 0);
    return c;
  }
  ~ScratchClasses() {
    for (auto it = made.rbegin(); it != made.rend(); ++it) DestroyClassRecord(*it);
  }
};

inline StringRef Text(std::string_view s) { return StringRef::Adopt(NewString(s)); }

// The menu item `name`, or its element `index`; borrowed (the menu holds it).
inline MenuItemObject* Item(const char* name, int32_t index = INT32_MIN) {
  StringRef n = Text(name);
  ObjectRecord* o = index == INT32_MIN ? RuntimeMenuReference(n.get()) : RuntimeMenuArrayReference(n.get(), index);
  RuntimeUnlockObject(o);
  return reinterpret_cast<MenuItemObject*>(o);
}
inline std::string ItemName(ObjectRecord* item) {
  return std::string(StringView(reinterpret_cast<MenuItemObject*>(item)->name));
}

// A window of `cls` on screen as RuntimeCreateWindow leaves it.
inline WindowObject* OpenWindow(ClassRecord* cls, const char* title) {
  auto* w = reinterpret_cast<WindowObject*>(NewObjectOfClass(cls));
  NativeWindow* n = CreateNativeWindow(title, {100, 100, 300, 400}, 0, true, false, false);
  if (!n) return w;
  SetNativeAttribute(n, "RuntimeViewWindow", 1);
  LinkIntoWindowList(n);
  RuntimeLockObject(&w->header);
  n->window = w;
  w->native = n;
  w->controls = NewControlDictionary();
  ShowWindow(n->hwnd, SW_SHOW);
  SetForegroundWindow(n->hwnd);
  SetActiveWindow(n->hwnd);
  return w;
}

inline void Dispose(WindowObject* w) {
  if (w) {
    CloseWindowObject(w);
    RuntimeUnlockObject(&w->header);
  }
}

// A pane that records what the window's key handling and the menus ask of it.
class FakePane : public Pane {
 public:
  FakePane(RectControlObject* control, std::string name) : Pane(control), name_(std::move(name)) {}
  bool focusable = true, takesReturn = false, isDefault = false, isCancel = false;
  bool keyDownResult = false, handlesMenus = false;
  std::vector<std::string> enables;
  WindowObject* closesOnLosingFocus = nullptr;  // once, as the focus leaves

  bool CanTakeFocus() override { return focusable; }
  void GainFocus() override { gLog.push_back("focus " + name_); }
  void LoseFocus() override {
    if (closesOnLosingFocus) RuntimeCloseWindow(&std::exchange(closesOnLosingFocus, nullptr)->header);
  }
  bool KeyDown(const MSG& m) override {
    gLog.push_back("KeyDown " + name_ + " " + std::to_string(m.wParam));
    return keyDownResult;
  }
  bool TakesReturn() const override { return takesReturn; }
  bool IsDefaultButton() const override { return isDefault; }
  bool IsCancelButton() const override { return isCancel; }
  void Push() override { gLog.push_back("push " + name_); }
  void EnableMenuItems(void (*enable)(const char*)) override {
    for (const std::string& e : enables) enable(e.c_str());
  }
  bool HandleMenuItem(const char* itemName) override {
    gLog.push_back("pane " + name_ + " " + itemName);
    return handlesMenus;
  }

 private:
  std::string name_;
};

// A control of `cls` named `name`; the caller holds the one reference.
inline ObjectRecord* NewControl(ClassRecord* cls, std::string_view name, int32_t index = INT32_MIN) {
  ObjectRecord* o = NewObjectOfClass(cls);
  stringSetter(o, offsetof(ControlObject, name), Text(name).get());
  reinterpret_cast<ControlObject*>(o)->index = index;
  return o;
}

// A RectControl in `w` with a fake pane, enabled and visible.
inline FakePane* AddFakeControl(WindowObject* w, const char* name) {
  ObjectRecord* c = NewControl(FindBuiltInClass("RectControl"), name);
  auto* rc = reinterpret_cast<RectControlObject*>(c);
  rc->control.window = &w->header;
  rc->visible = rc->enabled = 1;
  auto* pane = new FakePane(rc, name);
  rc->pane = pane;
  InsertControl(w->controls, name, c);
  RuntimeUnlockObject(c);
  return pane;
}

constexpr uint32_t kWhite = 0xFFFFFF;
using PixelSet = std::set<std::pair<int, int>>;

// A white 32-bit top-down bitmap in a memory DC; a pixel reads as 0x00RRGGBB.
struct Canvas {
  const int width, height;
  HDC dc = CreateCompatibleDC(nullptr);
  uint32_t* bits = nullptr;
  HBITMAP bitmap;
  HGDIOBJ old;
  Canvas(int w, int h) : width(w), height(h) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    old = SelectObject(dc, bitmap);
    RECT all = {0, 0, w, h};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  uint32_t At(int x, int y) const {
    GdiFlush();
    return bits[y * width + x] & 0xFFFFFF;
  }
  std::vector<uint32_t> Pixels() const {
    std::vector<uint32_t> all;
    for (int i = 0; i < width * height; ++i) all.push_back(At(i % width, i / width));
    return all;
  }
  PixelSet InkSet() const {
    GdiFlush();  // once, not per pixel as At does
    PixelSet ink;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if ((bits[y * width + x] & 0xFFFFFF) != kWhite) ink.insert({x, y});
    return ink;
  }
  std::set<int> InkRows() const {
    std::set<int> rows;
    for (auto [x, y] : InkSet()) rows.insert(y);
    return rows;
  }
};

}  // namespace menutest
