// The controls driven through their behaviour slots as the pane drives them,
// checked by the events they raise; the BevelButton's setters, methods and
// menu.
#include <gtest/gtest.h>

#include <cstring>

#include "plugin_library/control_data.h"
#include "tests/plugin_library/fake_host.h"

namespace {

using Events = std::vector<std::string>;
using RowText = void(__cdecl*)(PlugInstance, PlugString);
using OnInstance = void(__cdecl*)(PlugInstance);
// The BevelButton's methods, in the order it declares them.
enum { kDeleteAll, kAddRow, kAddSeparator, kRemoveRow, kInsertRow, kList, kAddReceiver, kRemoveReceiver };

using PluginMouse = PluginTest;
const Events& Raised() { return fake::host().raised; }

// A press, drags and a release (the last point) from a given Value: pressed
// before the release, Value after, whether it acted. A release outside
// cancels even when no drag reported the pointer leaving.
TEST_F(PluginMouse, BevelButtonGestures) {
  const struct {
    const char* what;
    int type;  // 0 push, 1 toggle, 2 sticky
    bool enabled;
    int valueBefore;
    std::vector<POINT> path;
    int pressedBeforeUp, valueAfter;
    bool acts;
  } gestures[] = {
      {"toggle released outside", 1, true, 0, {{20, 20}, {200, 20}}, 1, 0, false},
      {"toggle dragged out", 1, true, 0, {{20, 20}, {100, 100}, {100, 100}}, 0, 0, false},
      {"toggle dragged out and back", 1, true, 0, {{20, 20}, {100, 100}, {30, 15}, {30, 15}}, 1, 1, true},
      {"toggle turned off", 1, true, 1, {{20, 20}, {20, 20}}, 1, 0, true},
      {"disabled toggle swallows the press", 1, false, 0, {{20, 20}, {20, 20}}, 0, 0, false},
      {"push leaves Value clear", 0, true, 0, {{20, 20}, {20, 20}}, 1, 0, true},
      {"sticky sets Value", 2, true, 0, {{20, 20}, {20, 20}}, 1, 1, true},
      {"sticky stays set", 2, true, 1, {{20, 20}, {20, 20}}, 1, 1, true},
  };
  fake::Control* c = fake::MakeControl("BevelButton", {10, 10, 70, 32});
  auto* d = c->data<BevelButtonData>();
  for (const auto& g : gestures) {
    SCOPED_TRACE(g.what);
    fake::ResetRecords();
    d->buttonType = g.type;
    d->value = g.valueBefore;
    c->enabled = g.enabled;
    EXPECT_EQ(fake::MouseDown(c, g.path.front().x, g.path.front().y), 1);
    for (size_t k = 1; k + 1 < g.path.size(); ++k) fake::MouseDrag(c, g.path[k].x, g.path[k].y);
    EXPECT_EQ(d->pressed, g.pressedBeforeUp);
    fake::MouseUp(c, g.path.back().x, g.path.back().y);
    EXPECT_EQ(d->pressed, 0);
    EXPECT_EQ(d->value, g.valueAfter);
    EXPECT_EQ(Raised(), g.acts ? Events{"Action"} : Events{});
  }
}

// After "Action", PerformAction of each receiver, the last added first; the
// button holds each receiver while it is listed.
TEST_F(PluginMouse, ActionReceivers) {
  fake::Control* c = fake::MakeControl("BevelButton", {0, 0, 60, 22});
  using Receiver = void(__cdecl*)(PlugInstance, void*);
  void* first = reinterpret_cast<void*>(0x1111);
  void* second = reinterpret_cast<void*>(0x2222);
  c->method<Receiver>(kAddReceiver)(c->instance(), first);
  c->method<Receiver>(kAddReceiver)(c->instance(), second);
  EXPECT_EQ(fake::host().objectRefs[first], 1);
  fake::MouseDown(c, 5, 5);
  fake::MouseUp(c, 5, 5);
  // The button is held while "Action" runs (its handler may close the
  // window), and let go after.
  EXPECT_GT(fake::host().heldAtAction, 0);
  EXPECT_EQ(fake::host().objectRefs[c->instance()], 0);
  c->method<Receiver>(kRemoveReceiver)(c->instance(), second);
  EXPECT_EQ(fake::host().objectRefs[second], 0);
  fake::MouseDown(c, 5, 5);
  fake::MouseUp(c, 5, 5);
  EXPECT_EQ(Raised(), (Events{"Action", "PerformAction:8738", "PerformAction:4369", "Action", "PerformAction:4369"}));
}

// Placard, PopupArrow and ImageWell hand the mouse to the application: each
// slot raises its own event at the point, and the press answers as its
// handler does.
TEST_F(PluginMouse, DrawnControlsForwardTheMouse) {
  for (const char* kind : {"Placard", "PopupArrow", "ImageWell"}) {
    SCOPED_TRACE(kind);
    fake::ResetRecords();
    fake::Control* c = fake::MakeControl(kind, {10, 10, 40, 30});
    EXPECT_EQ(fake::MouseDown(c, 12, 13), 1);
    fake::MouseDrag(c, 50, 60);
    fake::MouseUp(c, 51, 61);
    EXPECT_EQ(Raised(), (Events{"MouseDown@12,13", "MouseDrag@50,60", "MouseUp@51,61"}));
  }
}

// The menu of a BevelButton's rows, worked from a timer as a user at the
// keyboard would while it is up: which row it checks, then its keys.
struct MenuVisit {
  std::vector<WORD> keys;
  int checkedRow = -2;  // -1: none checked; -2: the menu never came
};
MenuVisit g_visit;
void CALLBACK WorkTheMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND menu = FindWindowA("#32768", nullptr);
  auto rows = menu ? reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0)) : nullptr;
  if (!rows || !IsWindowVisible(menu)) return;  // not up yet: the next tick
  KillTimer(nullptr, timer);
  g_visit.checkedRow = -1;
  for (int row = 0; row < GetMenuItemCount(rows); ++row)
    if (GetMenuState(rows, row, MF_BYPOSITION) & MF_CHECKED) g_visit.checkedRow = row;
  for (WORD key : g_visit.keys) PostMessageA(menu, WM_KEYDOWN, key, 0);
}

// The MenuValue row is checked; Escape leaves MenuValue and raises nothing;
// a row chosen becomes MenuValue and raises "Action". The button is drawn
// pressed only while the menu is up.
TEST_F(PluginMouse, BevelMenuChecksTheValueRowAndActsOnlyOnAChoice) {
  HWND owner = CreateWindowA("STATIC", "menu owner", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                             nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  fake::Control* c = fake::MakeControl("BevelButton", {10, 10, 70, 32});
  c->hwnd = owner;
  auto* d = c->data<BevelButtonData>();
  d->hasMenu = 1;
  for (const char* row : {"first", "second", "third"}) {
    fake::String* text = fake::NewString(row);
    c->method<RowText>(kAddRow)(c->instance(), text);
  }
  const struct {
    const char* what;
    int16_t valueBefore;
    std::vector<WORD> keys;
    int16_t valueAfter;
    Events raised;
  } visits[] = {
      {"dismissed", 1, {VK_ESCAPE}, 1, {}},
      {"third row chosen", 1, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, 2, {"Action"}},
      {"first row chosen", 2, {VK_DOWN, VK_RETURN}, 0, {"Action"}},
  };
  for (const auto& v : visits) {
    SCOPED_TRACE(v.what);
    fake::ResetRecords();
    d->menuValue = v.valueBefore;
    g_visit = {v.keys};
    SetTimer(nullptr, 0, 20, WorkTheMenu);
    EXPECT_EQ(fake::MouseDown(c, 20, 20), 0);
    EXPECT_EQ(g_visit.checkedRow, v.valueBefore);
    EXPECT_EQ(d->menuValue, v.valueAfter);
    EXPECT_EQ(d->pressed, 0);
    EXPECT_EQ(Raised(), v.raised);
  }
  DestroyWindow(owner);
}

// Hits are half open: the right and bottom edges are outside.
TEST_F(PluginMouse, DisclosureTriangleFlipsOnlyOnAPressInside) {
  fake::Control* c = fake::MakeControl("DisclosureTriangle", {3, 4, 15, 16});
  const struct {
    int x, y, answer, value;
  } presses[] = {{3, 4, 1, 1}, {14, 15, 1, 0}, {15, 10, 0, 0}, {10, 16, 0, 0}, {2, 10, 0, 0}, {10, 3, 0, 0}};
  for (const auto& p : presses) {
    EXPECT_EQ(fake::MouseDown(c, p.x, p.y), p.answer) << p.x << "," << p.y;
    EXPECT_EQ(c->data<DisclosureTriangleData>()->value, p.value) << p.x << "," << p.y;
  }
  EXPECT_EQ(Raised(), (Events{"Action", "Action"}));
}

// The lower half starts at the box's row 12; its right and bottom edges are outside.
TEST_F(PluginMouse, LittleArrowsRaiseAtThePressAndRepeatAfterTheDelay) {
  fake::Control* c = fake::MakeControl("LittleArrows", {10, 20, 23, 43});
  auto* d = c->data<LittleArrowsData>();
  EXPECT_EQ(fake::MouseDown(c, 23, 25), 0);
  EXPECT_EQ(fake::MouseDown(c, 10, 32), 1);
  EXPECT_EQ(d->pressedPart, 2);
  fake::MouseDrag(c, 16, 35);  // too soon to repeat
  EXPECT_EQ(Raised(), Events{"Down"});
  fake::MouseDrag(c, 16, 31);  // onto the other half: released look
  EXPECT_EQ(d->drawnPart, 0);
  Sleep(300);
  fake::MouseDrag(c, 16, 43);  // off the box: no repeat
  EXPECT_EQ(Raised(), Events{"Down"});
  fake::MouseDrag(c, 16, 35);
  fake::MouseDrag(c, 16, 36);
  EXPECT_EQ(Raised(), (Events{"Down", "Down", "Down"}));
  fake::MouseUp(c, 16, 36);
  EXPECT_EQ(d->pressedPart, 0);
  EXPECT_EQ(d->drawnPart, 0);
  c->enabled = false;
  EXPECT_EQ(fake::MouseDown(c, 16, 25), 0);
}

// A plug-in setter gets the word the default getter gets (data offset +
// parameter): what it stores, the getter must read.
TEST_F(PluginMouse, BevelSettersStoreWhereTheDefaultGetterReads) {
  const ControlDefinition& d = *fake::Definition("BevelButton");
  fake::Control* c = fake::MakeControl("BevelButton", {0, 0, 60, 20});
  using Setter = void(__cdecl*)(PlugInstance, uint32_t, int32_t);
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
}

// Rows, with the strings' reference counts as the shadow check that each
// node holds exactly one reference.
TEST_F(PluginMouse, MenuRowsInsertPastTheEndAndKeepOneReferenceEach) {
  fake::Control* c = fake::MakeControl("BevelButton", {0, 0, 60, 22});
  PlugInstance i = c->instance();
  using AtRow = void(__cdecl*)(PlugInstance, int, PlugString);
  auto list = c->method<PlugString(__cdecl*)(PlugInstance, int)>(kList);
  fake::String* a = fake::NewString("a");
  fake::String* b = fake::NewString("b");
  fake::String* z = fake::NewString("z");
  c->method<RowText>(kAddRow)(i, a);
  c->method<OnInstance>(kAddSeparator)(i);
  c->method<AtRow>(kInsertRow)(i, 7, b);  // past the end: appended
  c->method<AtRow>(kInsertRow)(i, 0, z);
  EXPECT_EQ(a->refs, 2);
  auto rows = [&] {
    std::string all;
    for (int row = -1; row <= 4; ++row) {
      PlugString s = list(i, row);
      all += fake::Text(s) + "|";
      if (s) static_cast<fake::String*>(s)->refs--;
    }
    return all;
  };
  EXPECT_EQ(rows(), "|z|a||b||");  // row -1, the rows (the separator empty), row 4
  c->method<AtRow>(kList, true)(i, 3, a);  // List(3) = a
  EXPECT_EQ(b->refs, 1);
  EXPECT_EQ(a->refs, 3);
  c->method<void(__cdecl*)(PlugInstance, int)>(kRemoveRow)(i, 9);
  c->method<void(__cdecl*)(PlugInstance, int)>(kRemoveRow)(i, 0);
  EXPECT_EQ(z->refs, 1);
  EXPECT_EQ(rows(), "|a||a|||");
  c->method<OnInstance>(kDeleteAll)(i);
  EXPECT_EQ(a->refs, 1);
  EXPECT_EQ(rows(), "||||||");
}

}  // namespace
