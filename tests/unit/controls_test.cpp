// The common control model: the control dictionary, described properties,
// geometry and state reaching the pane, the keyboard focus, notifications.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "menu_test_support.h"
#include "objects/class_table.h"
#include "objects/small_heap.h"
#include "recorded_assertions.h"
#include "startup/project_items.h"
#include "ui/controls.h"
#include "ui/described_properties.h"
#include "ui/focus.h"
#include "ui/notifications.h"

namespace {

using menutest::Code;
using menutest::kNoIndex;
using menutest::NewControl;
using menutest::Place;
using menutest::ScratchClasses;
using menutest::Text;

using Log = std::vector<std::string>;
Log gLog;
int32_t gHeldDuringCall = 0;

std::string Str(StringRecord* s) { return std::string(StringView(s)); }
std::string NameOf(ObjectRecord* control) { return Str(reinterpret_cast<ControlObject*>(control)->name); }
void __cdecl LogDestructor(ObjectRecord* o, ClassRecord*) { gLog.push_back("delete " + NameOf(o)); }
RectControlObject* AsRect(ObjectRecord* o) { return reinterpret_cast<RectControlObject*>(o); }

void Note(const char* type, uint32_t param, const std::string& value) {
  gLog.push_back(std::string(type) + " " + std::to_string(param) + " " + value);
}
void __cdecl SetString(ObjectRecord*, uint32_t p, StringRecord* s) {
  Note("string", p, std::string("'") + Str(s) + "'");
}
void __cdecl SetInt(ObjectRecord*, uint32_t p, int32_t v) { Note("int", p, std::to_string(v)); }
void __cdecl SetByte(ObjectRecord*, uint32_t p, bool v) { Note("bool", p, v ? "true" : "false"); }
void __cdecl SetObject(ObjectRecord*, uint32_t p, ObjectRecord* o) {
  gHeldDuringCall = o ? static_cast<int32_t>(o->refCount) : -1;
  Note("object", p, o ? "set" : "nil");
}

ObjectRecord* gMoveFocusTo = nullptr;  // a LostFocus handler moves the focus here

void __cdecl OnGotFocus(ObjectRecord* self) { gLog.push_back("GotFocus " + NameOf(self)); }
void __cdecl OnLostFocus(ObjectRecord* self) {
  gLog.push_back("LostFocus " + NameOf(self));
  if (ObjectRecord* target = std::exchange(gMoveFocusTo, nullptr)) RuntimeSetFocus(target);
}

class RecordingPane : public Pane {
 public:
  using Pane::Pane;
  LRESULT Notify(NMHDR* header) override {
    gLog.push_back("notify " + std::to_string(static_cast<int>(header->code)));
    return notifyResult;
  }
  LRESULT notifyResult = 0;
  using Pane::CreateChild;
};

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (DispatchControlNotification(message, wParam, lParam, result)) return result;
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A window with controls under the class table {button, plain control}, a probe whose setters log,
// and a parent window on screen for the panes of buttons that log their focus.
class Controls : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA wc = {0, ParentProc, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr, nullptr, nullptr,
                    "ControlsTestParent"};
    RegisterClassA(&wc);
  }
  static void TearDownTestSuite() { UnregisterClassA("ControlsTestParent", GetModuleHandleA(nullptr)); }
  void SetUp() override {
    gLog.clear();
    gMoveFocusTo = nullptr;
    button = classes.Make("TestButton", "RectControl");
    button->destructor = Code(LogDestructor);
    ClassRecord* table[] = {button, classes.Make("TestPlain", "Control")};
    SetClassTable(table, 2);
    cls = classes.Make("FocusControl", "RectControl",
                       {{"GotFocus", Code(OnGotFocus)}, {"LostFocus", Code(OnLostFocus)}});
    window =
        reinterpret_cast<WindowObject*>(NewObjectOfClass(classes.Make("TestWindow", nullptr, sizeof(WindowObject))));
    window->controls = NewControlDictionary();
    ClassRecord* probeClass = classes.Make("Probe", nullptr, 24);
    const CodeAddress text = Code(SetString), number = Code(SetInt), flag = Code(SetByte), item = Code(SetObject);
    const PropertyEntry kProperties[] = {
        {nullptr, "Title", "String", nullptr, text, 1},       {nullptr, "Count", "Integer", nullptr, number, 2},
        {nullptr, "Tint", "Color", nullptr, number, 3},       {nullptr, "Flag", "Boolean", nullptr, flag, 4},
        {nullptr, "Picture", "Movie", nullptr, item, 6},      {nullptr, "Ratio", "Single", nullptr, number, 7},
        {nullptr, "Owner", "Form", nullptr, number, 9},       {nullptr, "Fixed", "Integer", nullptr, nullptr, 10},
        {nullptr, "Untyped", nullptr, nullptr, number, 11},   {nullptr, "Backdrop", "Picture", nullptr, item, 13}};
    for (const PropertyEntry& p : kProperties) AddProperty(probeClass, p);
    ClassRecord* child = classes.Make("ProbeChild", probeClass, 24);
    AddProperty(child, {nullptr, "count", "Integer", nullptr, Code(SetInt), 12});
    probe = NewObjectOfClass(child);
    parent = MakeParent();
    ASSERT_NE(parent, nullptr);
    Activate(parent);
    ASSERT_EQ(GetActiveWindow(), parent);
  }
  void TearDown() override {
    ClearActivePane();
    for (ObjectRecord* c : made) {
      CloseControlPane(AsRect(c));
      RuntimeUnlockObject(c);
    }
    ForgetWindowFocus(window);
    RuntimeUnlockObject(probe);
    DestroyControlDictionary(window->controls);
    RuntimeUnlockObject(&window->header);
    SetClassTable(nullptr, 0);
    for (HWND h : parents) DestroyWindow(h);
  }
  bool Apply(std::string_view name, std::string_view value) { return ApplyDescribedProperty(probe, name, value); }
  HWND MakeParent() {
    HWND h = CreateWindowExA(0, "ControlsTestParent", "controls test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                             100, 300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (h) parents.push_back(h);
    return h;
  }
  void Activate(HWND h) {
    SetForegroundWindow(h);
    SetActiveWindow(h);
  }
  // A focus-logging button with a recording pane, each 60 pixels right of the last.
  ObjectRecord* Control(const char* name) {
    ObjectRecord* c = NewControl(cls, name);
    made.push_back(c);
    RectControlObject* rc = AsRect(c);
    rc->control.window = &window->header;
    rc->visible = rc->enabled = 1;
    int16_t left = static_cast<int16_t>(10 + 60 * (made.size() - 1));
    rc->bounds = {10, left, 30, static_cast<int16_t>(left + 50)};
    auto* pane = new RecordingPane(rc);
    EXPECT_TRUE(pane->CreateChild(parent, "BUTTON", "pane", 0));
    rc->pane = pane;
    return c;
  }
  Pane* PaneOf(ObjectRecord* c) { return AsRect(c)->pane; }

  RecordedAssertions assertions;
  ScratchClasses classes;
  ClassRecord* button = nullptr;
  ClassRecord* cls = nullptr;
  WindowObject* window = nullptr;
  ObjectRecord* probe = nullptr;
  HWND parent = nullptr;
  std::vector<HWND> parents;
  std::vector<ObjectRecord*> made;
};

// More keys than buckets; 0x8E and 0x83 differ but collate alike.
TEST_F(Controls, DictionaryKeysIgnoreLetterCaseReplacementsKeepThePlaceAndDestroyingReleasesAll) {
  ObjectRecord* cursor = NewObjectOfClass(FindBuiltInClass("MouseCursor"));
  uint32_t heap = SmallBlockBytesInUse();
  int32_t live = LiveObjectCount();
  ControlDictionary* d = NewControlDictionary();
  std::vector<ObjectRecord*> made;
  for (int i = 0; i < 300; ++i) {
    std::string name = i == 1 ? "Caf\x8E" : "Control" + std::to_string(i);
    int32_t index = i % 3 ? i : INT32_MIN;
    made.push_back(NewControl(button, name, index));
    InsertControl(d, ControlKey(name, index), made.back());
    RuntimeUnlockObject(made.back());  // the dictionary keeps it alive
  }
  ASSERT_EQ(ControlCount(d), 300);
  for (int i = 0; i < 300; ++i) ASSERT_EQ(ControlAt(d, i), made[i]) << i;
  EXPECT_EQ(ControlAt(d, 300), nullptr);
  EXPECT_EQ(FindControl(d, "CAF\x83$1"), made[1]);
  EXPECT_TRUE(gLog.empty());
  DestroyControlDictionary(d);
  EXPECT_EQ(gLog.size(), 300u);
  EXPECT_EQ(LiveObjectCount(), live);
  ObjectRecord* c = NewControl(FindBuiltInClass("RectControl"), "WithHelp");
  StringRef help = Text("a help text"), off = Text("another help text");
  controlBalloonHelpSetter(c, 0, help.get());
  controlDisabledBalloonHelpSetter(c, 0, off.get());
  controlMouseCursorSetter(c, 0, cursor);
  help = off = StringRef();
  RuntimeUnlockObject(c);
  EXPECT_EQ(SmallBlockBytesInUse(), heap);
  EXPECT_EQ(cursor->refCount, 1u);
  RuntimeUnlockObject(cursor);

  gLog.clear();
  d = NewControlDictionary();
  ObjectRecord *first = NewControl(button, "first"), *other = NewControl(button, "other"),
               *second = NewControl(button, "second");
  for (auto [key, o] : {std::pair{"Field", first}, {"Other", other}, {"FIELD", second}}) {
    reinterpret_cast<ControlObject*>(o)->window = &window->header;
    InsertControl(d, key, o);
  }
  EXPECT_EQ(ControlCount(d), 2);
  EXPECT_EQ(ControlAt(d, 0), second);
  EXPECT_EQ(FindControl(d, "field"), second);
  EXPECT_EQ(first->refCount, 1u);
  // No longer the window's: it must not point at a window that may go.
  EXPECT_EQ(reinterpret_cast<ControlObject*>(first)->window, nullptr);
  EXPECT_EQ(reinterpret_cast<ControlObject*>(second)->window, &window->header);
  // A replaced control nobody holds is destroyed; the same control again keeps one reference.
  ObjectRecord* third = NewControl(button, "third");
  InsertControl(d, "field", third);
  RuntimeUnlockObject(third);
  for (const char* key : {"Field", "fIELD"}) InsertControl(d, key, first);
  EXPECT_EQ(gLog, Log{"delete third"});
  EXPECT_EQ(ControlAt(d, 0), first);
  EXPECT_EQ(first->refCount, 2u);
  EXPECT_EQ(second->refCount, 1u);
  gLog.clear();
  for (ObjectRecord* o : {first, second, other}) RuntimeUnlockObject(o);
  DestroyControlDictionary(d);
  EXPECT_EQ(gLog, (Log{"delete second", "delete first", "delete other"}));
}

// "count" is the subclass's own; a property without conversion, setter or type is skipped.
TEST_F(Controls, DescribedTextsAreConvertedByTheDeclaredTypeOrSkipped) {
  const struct {
    const char *name, *value, *call;
  } rows[] = {{"Title", "Vellory Server", "string 1 'Vellory Server'"},
              {"Tint", "-42", "int 3 -42"},
              {"Count", "12abc", "int 12 12"},
              {"flag", "tRuE", "bool 4 true"},
              {"flag", "1", "bool 4 false"},
              {"Ratio", "1.5", nullptr},
              {"Owner", "1", nullptr},
              {"Fixed", "3", nullptr},
              {"Untyped", "3", nullptr},
              {"NoSuchProperty", "3", nullptr}};
  for (const auto& r : rows) {
    gLog.clear();
    EXPECT_EQ(Apply(r.name, r.value), r.call != nullptr) << r.name << " = " << r.value;
    EXPECT_EQ(gLog, r.call ? Log{r.call} : Log{}) << r.name << " = " << r.value;
  }
  EXPECT_FALSE(ApplyDescribedProperty(nullptr, "Title", "x"));
  // The converted text is released after the call.
  uint32_t heap = SmallBlockBytesInUse();
  for (int i = 0; i < 20; ++i) Apply("Title", "a text long enough to need its own block");
  EXPECT_EQ(SmallBlockBytesInUse(), heap);
}

// A module item's slot is a word of the image: what it holds before start-up
// is no object to release.
TEST_F(Controls, ProjectItemsReachSettersHeldOnlyDuringTheCallAndModuleSlotsReleaseNoEarlierWord) {
  uint32_t item[2] = {kMovieItem, 42};
  uint32_t list[1] = {reinterpret_cast<uint32_t>(item)};
  CreateProjectItems(list, 1, MemorySpan{reinterpret_cast<uintptr_t>(item), sizeof item});
  ObjectRecord* movie = RuntimeProjectObject(1);  // the project's reference and ours
  ASSERT_NE(movie, nullptr);
  EXPECT_TRUE(Apply("Picture", "1"));
  EXPECT_EQ(gHeldDuringCall, 3);  // the conversion's reference during the call...
  EXPECT_TRUE(Apply("Picture", "5"));  // no such item
  // A movie where a picture belongs never reaches the picture's setter.
  EXPECT_FALSE(Apply("Backdrop", "1"));
  EXPECT_EQ(movie->refCount, 2u);  // ...is gone afterwards
  EXPECT_EQ(gLog, (Log{"object 6 set", "object 6 nil"}));
  CreateProjectItems(list, 0, MemorySpan{reinterpret_cast<uintptr_t>(item), sizeof item});
  RuntimeUnlockObject(movie);
  RuntimeUnlockObject(movie);

  ClassRecord* other = classes.Make("Other", nullptr, 24);
  ClassRecord* table[] = {classes.Make("Module", nullptr, 24), other, FindBuiltInClass("Date"),
                          classes.Make("Form", "Window"), classes.Make("Ticker", "Timer")};
  SetClassTable(table, 5);
  uint32_t block[8] = {kModuleItem, 0, 0, kModuleItem, 1, 0, 0x4B, 0};
  block[2] = block[5] = reinterpret_cast<uint32_t>(&block[6]);
  uint32_t modules[2] = {reinterpret_cast<uint32_t>(&block[0]), reinterpret_cast<uint32_t>(&block[3])};
  MemorySpan data{reinterpret_cast<uintptr_t>(block), sizeof block};
  uint32_t live = static_cast<uint32_t>(LiveObjectCount());
  CreateProjectItems(modules, 2, data);
  auto* second = reinterpret_cast<ObjectRecord*>(block[6]);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->cls, other);
  EXPECT_EQ(second->refCount, 2u);  // the project's and the slot's
  ObjectRecord* first = RuntimeProjectObject(1);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->refCount, 2u);  // the project's and ours: the slot let go (so first is not second)
  RuntimeUnlockObject(first);
  CreateProjectItems(modules, 0, data);  // forgets the project's references
  RuntimeUnlockObject(first);
  RuntimeUnlockObject(second);
  RuntimeUnlockObject(second);
  EXPECT_EQ(static_cast<uint32_t>(LiveObjectCount()), live);

  // A second module of the first one's class, of the runtime's, a window's,
  // a control's or none is damage: it makes nothing and fills no slot.
  block[5] = reinterpret_cast<uint32_t>(&block[7]);
  for (uint32_t index : {0u, 2u, 3u, 4u, 5u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(index);
    assertions.seen.clear();
    block[4] = index;
    block[7] = 0;
    CreateProjectItems(modules, 2, data);
    EXPECT_EQ(assertions.seen, Log{"a module item names a class that is no module's own"});
    EXPECT_EQ(block[7], 0u);
    CreateProjectItems(modules, 0, data);
    for (int reference = 0; reference < 2; ++reference)  // the project's and the slot's
      RuntimeUnlockObject(reinterpret_cast<ObjectRecord*>(block[6]));
  }
  EXPECT_EQ(static_cast<uint32_t>(LiveObjectCount()), live);
}

class StatePane : public Pane {
 public:
  using Pane::Pane;
  void SetState(int state) override {
    gLog.push_back("state " + std::to_string(state) + " visible=" + std::to_string(control_->visible) +
                   " enabled=" + std::to_string(control_->enabled));
  }
  void SetBounds(const ShortRect& b, bool redraw) override {
    gLog.push_back("bounds " + std::to_string(b.top) + "," + std::to_string(b.left) + "," + std::to_string(b.bottom) +
                   "," + std::to_string(b.right) + (redraw ? " redraw" : ""));
  }
  void Invalidate() override { gLog.push_back("invalidate"); }
};

// Fetching by key and the locks are the window tests' (events).
TEST_F(Controls, DescriptionsAreReadToTheirEndsAndGeometryAndStateReachThePaneOnlyOnChange) {
  const std::vector<menutest::Described> controls = {
      {0, Place("Twin", 10, 20, 30, 40,
                {{"Visible", "False"},
                 {"BalloonHelp", "help"},
                 {"DisabledBalloonHelp", ""},
                 {"MouseCursor", "0"}},
                2)},
      {1, {{"Name", "Ticker"}, {"Index", kNoIndex}, {"Left", "5"}, {"Visible", "True"}}},
      {99, {{"Name", "Lost"}, {"Index", kNoIndex}}}};
  std::vector<uint8_t> bytes;
  menutest::PutControls(bytes, controls);
  DescriptionStream stream(bytes.data(), static_cast<uint32_t>(bytes.size()));
  auto next = [&] { return ApplyControlDescription(stream, window); };
  ObjectRecord* c = next();
  ASSERT_NE(c, nullptr);
  RectControlObject* rc = AsRect(c);
  EXPECT_EQ(rc->control.window, &window->header);
  // Tab, visibility, enabling (not described: on) and bounds.
  EXPECT_EQ((std::vector<int>{rc->tabPanelIndex, rc->visible, rc->enabled, rc->bounds.left, rc->bounds.top,
                              rc->bounds.right, rc->bounds.bottom}),
            (std::vector<int>{2, 0, 1, 10, 20, 40, 60}));
  EXPECT_EQ(Str(rc->balloonHelp), "help");
  EXPECT_EQ(rc->disabledBalloonHelp, nullptr);
  EXPECT_EQ(c->refCount, 1u);  // the dictionary's
  ObjectRecord* ticker = next();
  ASSERT_NE(ticker, nullptr);
  EXPECT_FALSE(IsRectControl(ticker));
  EXPECT_EQ(next(), nullptr);
  EXPECT_EQ(assertions.seen.size(), 1u);  // the class index was reported
  EXPECT_TRUE(stream.AtEnd());
  ASSERT_EQ(ControlCount(window->controls), 2);
  EXPECT_EQ(ControlAt(window->controls, 1), ticker);

  // A lock on the right acts on resizes, not on a width. Visibility reaches the
  // pane before it is stored, enabling after.
  gLog.clear();
  ObjectRecord* control = NewControl(FindBuiltInClass("RectControl"), "Probe");
  rc = AsRect(control);
  rc->visible = rc->enabled = rc->lockRight = 1;
  rc->bounds = {20, 10, 60, 40};
  rc->pane = new StatePane(rc);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(ctlPosGetter(control, i), 10 * (i + 1)) << i;
  for (int i = 0; i < 4; ++i) ctlPosSetter(control, i, 10 * (i + 1));  // unchanged: not in the log below
  const int32_t kMoves[] = {15, 5, 100, 1};  // a new left moves: the width stays
  for (int i = 0; i < 4; ++i) ctlPosSetter(control, i, kMoves[i]);
  ControlVisibleSetter(control, 0, false);
  EXPECT_FALSE(controlVisibleGetter(control));
  ControlVisibleSetter(control, 0, true);
  controlEnabledSetter(control, 0, false);
  EXPECT_FALSE(controlEnabledGetter(control));
  controlEnabledSetter(control, 0, true);
  RuntimeControlRefresh(control);
  EXPECT_TRUE(ApplyDescribedProperty(control, "Left", "12"));
  EXPECT_TRUE(ApplyDescribedProperty(control, "visible", "False"));
  EXPECT_EQ(gLog, (Log{"bounds 20,15,60,45 redraw", "bounds 5,15,45,45 redraw",
                       "bounds 5,15,45,115 redraw", "bounds 5,15,6,115 redraw",
                       "state 8 visible=1 enabled=1", "state 7 visible=0 enabled=1",
                       "state 6 visible=1 enabled=0", "state 5 visible=1 enabled=1", "invalidate",
                       "bounds 5,12,6,112 redraw", "state 8 visible=1 enabled=1"}));

  delete std::exchange(rc->pane, nullptr);
  RuntimeUnlockObject(control);
}

TEST_F(Controls, FocusChangesRaiseLostFocusBeforeGotFocusAndWaitForTheWindowsActivation) {
  ObjectRecord *a = Control("A"), *b = Control("B"), *c = Control("C");
  HWND other = MakeParent();
  Activate(other);
  ASSERT_EQ(GetActiveWindow(), other);
  RuntimeSetFocus(a);
  EXPECT_EQ(ActivePane(), nullptr);
  EXPECT_TRUE(gLog.empty());
  Activate(parent);
  RestoreWindowFocus(window);
  EXPECT_EQ(ActivePane(), PaneOf(a));
  EXPECT_EQ(gLog, Log{"GotFocus A"});
  TakeFocusChanged();
  RuntimeSetFocus(b);
  EXPECT_TRUE(TakeFocusChanged());
  RuntimeSetFocus(b);  // already active: nothing
  EXPECT_EQ(ActivePane(), PaneOf(b));
  EXPECT_EQ(GetFocus(), PaneOf(b)->Handle());
  gMoveFocusTo = c;
  RuntimeSetFocus(a);
  EXPECT_EQ(ActivePane(), PaneOf(c));
  EXPECT_EQ(GetFocus(), PaneOf(c)->Handle());
  SetActiveWindowFocus(window, parent);
  EXPECT_EQ(ActivePane(), nullptr);
  EXPECT_EQ(FocusedWindow(), window);
  EXPECT_EQ(GetFocus(), parent);
  RuntimeSetFocus(a);
  EXPECT_EQ(FocusedWindow(), nullptr);
  EXPECT_EQ(gLog,
            (Log{"GotFocus A", "LostFocus A", "GotFocus B", "LostFocus B", "GotFocus C", "LostFocus C", "GotFocus A"}));
}

// Keys must not reach a field the user cannot see or is not looking at.
TEST_F(Controls, HiddenDisabledOrLeftPanesGiveUpTheFocusAndRefuseIt) {
  using Change = void (*)(WindowObject*, ObjectRecord*);
  const std::pair<const char*, Change> kChanges[] = {
      {"hidden", [](WindowObject*, ObjectRecord* c) { ControlVisibleSetter(c, 0, false); }},
      {"disabled", [](WindowObject*, ObjectRecord* c) { controlEnabledSetter(c, 0, false); }},
      {"left", [](WindowObject* w, ObjectRecord*) { ReleaseFocusOfWindow(w); }}};
  Log expected;
  for (const auto& [name, change] : kChanges) {
    SCOPED_TRACE(name);
    ObjectRecord* c = Control(name);
    RuntimeSetFocus(c);
    ASSERT_EQ(ActivePane(), PaneOf(c));
    change(window, c);
    EXPECT_EQ(ActivePane(), nullptr);
    expected.insert(expected.end(), {std::string("GotFocus ") + name, std::string("LostFocus ") + name});
  }
  for (int i : {0, 1}) EXPECT_NE(GetFocus(), PaneOf(made[i])->Handle()) << i;
  RestoreWindowFocus(window);
  ObjectRecord* paneless = NewControl(cls, "Paneless");
  for (ObjectRecord* refusing : {made[0], made[1], paneless, static_cast<ObjectRecord*>(nullptr)})
    RuntimeSetFocus(refusing);
  RuntimeUnlockObject(paneless);
  EXPECT_EQ(ActivePane(), PaneOf(made[2]));
  controlEnabledSetter(made[1], 0, true);
  RuntimeSetFocus(made[1]);
  EXPECT_EQ(ActivePane(), PaneOf(made[1]));
  expected.insert(expected.end(), {"GotFocus left", "LostFocus left", "GotFocus disabled"});
  EXPECT_EQ(gLog, expected);
}

// Clicks, edits and tab changes are the kinds' tests. A notification's
// non-zero answer refuses a tab change. No pane takes scroll or owner-draw
// notifications.
TEST_F(Controls, ChildWindowsSitAtTheControlBoundsTakeTheirNotificationsAndClose) {
  ObjectRecord* a = Control("A");
  HWND h = PaneOf(a)->Handle();
  ASSERT_NE(h, nullptr);
  ctlPosSetter(a, 0, 40);
  RECT r;
  GetWindowRect(h, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{40, 10, 90, 30}));
  controlEnabledSetter(a, 0, false);
  EXPECT_FALSE(IsWindowEnabled(h));
  EXPECT_EQ(PaneFromHandle(parent), nullptr);
  controlEnabledSetter(a, 0, true);

  auto* pane = static_cast<RecordingPane*>(PaneOf(a));
  LRESULT result = -1;
  NMHDR header = {h, 0, static_cast<UINT>(TCN_SELCHANGING)};
  pane->notifyResult = 1;
  EXPECT_TRUE(DispatchControlNotification(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header), result));
  EXPECT_EQ(result, 1);

  RuntimeSetFocus(a);
  CloseControlPane(AsRect(a));
  EXPECT_EQ(AsRect(a)->pane, nullptr);
  EXPECT_EQ(ActivePane(), nullptr);
  EXPECT_EQ(FocusedPaneOf(window), nullptr);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(PaneFromHandle(h), nullptr);
  const std::string notify = "notify " + std::to_string(static_cast<int>(TCN_SELCHANGING));
  EXPECT_EQ(gLog, (Log{notify, "GotFocus A"}));
}

}  // namespace
