// The common control model: the window's control dictionary, described
// property texts converted by declared type, controls built from their
// description bytes, geometry and state reaching the pane only on change,
// the keyboard focus with its recorded "LostFocus"/"GotFocus" sequences, and
// child notifications routed to panes through real Win32 windows.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objects/assertion.h"
#include "objects/builtin_classes.h"
#include "objects/class_table.h"
#include "objects/classes.h"
#include "objects/objects.h"
#include "objects/small_heap.h"
#include "objects/strings.h"
#include "sdk/description_encoding.h"
#include "sdk/service_layouts.h"
#include "sdk/ui_layouts.h"
#include "startup/project_items.h"
#include "ui/control_dictionary.h"
#include "ui/controls.h"
#include "ui/described_properties.h"
#include "ui/focus.h"
#include "ui/notifications.h"
#include "ui/pane.h"

namespace {

std::vector<std::string> gLog;

std::string NameOf(ObjectRecord* control) {
  return std::string(StringView(reinterpret_cast<ControlObject*>(control)->name));
}

void __cdecl LogDestructor(ObjectRecord* o, ClassRecord*) { gLog.push_back("delete " + NameOf(o)); }

struct ScratchClasses {
  std::vector<ClassRecord*> made;
  ClassRecord* Make(const char* name, ClassRecord* super, uint32_t size) {
    ClassRecord* c = NewClassRecord(name);
    c->superclass = super;
    c->instanceSize = size;
    made.push_back(c);
    return c;
  }
  ~ScratchClasses() {
    for (auto it = made.rbegin(); it != made.rend(); ++it) DestroyClassRecord(*it);
  }
};

// The common destructors are in place on the built-in records before any
// control is made here, whether or not the registry has wired them yet.
ClassRecord* BuiltIn(const char* name) {
  RegisterBuiltInClasses();
  ClassRecord* control = FindBuiltInClass("Control");
  ClassRecord* rect = FindBuiltInClass("RectControl");
  if (!control->destructor) control->destructor = reinterpret_cast<CodeAddress>(ControlDestruct);
  if (!rect->destructor) rect->destructor = reinterpret_cast<CodeAddress>(RectControlDestruct);
  return FindBuiltInClass(name);
}

StringRef Text(std::string_view s) { return StringRef::Adopt(NewString(s)); }

// A control of `cls` named `name` (test code holds the one reference).
ObjectRecord* NewControl(ClassRecord* cls, std::string_view name, int32_t index = INT32_MIN) {
  ObjectRecord* o = NewObjectOfClass(cls);
  StringRef n = Text(name);
  stringSetter(o, offsetof(ControlObject, name), n.get());
  reinterpret_cast<ControlObject*>(o)->index = index;
  return o;
}

RectControlObject* AsRect(ObjectRecord* o) { return reinterpret_cast<RectControlObject*>(o); }

// --- the dictionary ------------------------------------------------------------

class ControlDictionaryTest : public testing::Test {
 protected:
  void SetUp() override {
    gLog.clear();
    control = classes.Make("DictControl", BuiltIn("Control"), sizeof(ControlObject));
    control->destructor = reinterpret_cast<CodeAddress>(LogDestructor);
  }
  ScratchClasses classes;
  ClassRecord* control = nullptr;
};

TEST_F(ControlDictionaryTest, KeysAreTheNameOrNameDollarIndex) {
  EXPECT_EQ(ControlKey("Button", INT32_MIN), "Button");
  EXPECT_EQ(ControlKey("Button", 2), "Button$2");
  EXPECT_EQ(ControlKey("Button", 0), "Button$0");
  EXPECT_EQ(ControlKey("Button", -1), "Button$-1");
}

TEST_F(ControlDictionaryTest, LookupsIgnoreLetterCaseThroughTheCollationTable) {
  ControlDictionary* d = NewControlDictionary();
  ObjectRecord* input = NewControl(control, "InputView");
  ObjectRecord* accented = NewControl(control, "Caf\x8E");
  InsertControl(d, "InputView", input);
  InsertControl(d, "Caf\x8E", accented);
  EXPECT_EQ(FindControl(d, "inputview"), input);
  EXPECT_EQ(FindControl(d, "INPUTVIEW"), input);
  EXPECT_EQ(FindControl(d, "CAF\x83"), accented);  // 0x8E and 0x83 collate alike
  EXPECT_EQ(FindControl(d, "InputView2"), nullptr);
  EXPECT_EQ(FindControl(d, ""), nullptr);
  EXPECT_EQ(FindControl(nullptr, "InputView"), nullptr);
  RuntimeUnlockObject(input);
  RuntimeUnlockObject(accented);
  DestroyControlDictionary(d);
}

TEST_F(ControlDictionaryTest, IterationFollowsInsertionOrder) {
  ControlDictionary* d = NewControlDictionary();
  const char* names[] = {"Zeta", "Alpha", "Mid", "Button$1", "Button"};
  std::vector<ObjectRecord*> made;
  for (const char* n : names) {
    made.push_back(NewControl(control, n));
    InsertControl(d, n, made.back());
  }
  ASSERT_EQ(ControlCount(d), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(ControlAt(d, i), made[i]) << i;
  EXPECT_EQ(ControlAt(d, 5), nullptr);
  EXPECT_EQ(ControlAt(d, -1), nullptr);
  for (ObjectRecord* o : made) RuntimeUnlockObject(o);
  EXPECT_TRUE(gLog.empty());  // the dictionary keeps them alive
  DestroyControlDictionary(d);
  EXPECT_EQ(gLog, (std::vector<std::string>{"delete Zeta", "delete Alpha", "delete Mid",
                                            "delete Button$1", "delete Button"}));
}

TEST_F(ControlDictionaryTest, ReplacementKeepsThePositionAndReleasesTheOldControl) {
  ControlDictionary* d = NewControlDictionary();
  ObjectRecord* window = NewObjectOfClass(BuiltIn("Object"));
  ObjectRecord* first = NewControl(control, "first");
  ObjectRecord* other = NewControl(control, "other");
  ObjectRecord* second = NewControl(control, "second");
  for (ObjectRecord* o : {first, other, second})
    reinterpret_cast<ControlObject*>(o)->window = window;
  InsertControl(d, "Field", first);
  InsertControl(d, "Other", other);
  EXPECT_EQ(first->refCount, 2u);  // the test still holds the first control
  InsertControl(d, "FIELD", second);
  EXPECT_EQ(ControlCount(d), 2);
  EXPECT_EQ(ControlAt(d, 0), second);
  EXPECT_EQ(ControlAt(d, 1), other);
  EXPECT_EQ(FindControl(d, "field"), second);
  EXPECT_EQ(first->refCount, 1u);
  // No longer the window's: it must not point at a window that may go.
  EXPECT_EQ(reinterpret_cast<ControlObject*>(first)->window, nullptr);
  EXPECT_EQ(reinterpret_cast<ControlObject*>(second)->window, window);

  // A replaced control that nobody else holds is destroyed.
  ObjectRecord* third = NewControl(control, "third");
  InsertControl(d, "field", third);
  RuntimeUnlockObject(third);  // only the dictionary holds it now
  gLog.clear();
  InsertControl(d, "Field", first);
  EXPECT_EQ(gLog, (std::vector<std::string>{"delete third"}));
  EXPECT_EQ(ControlAt(d, 0), first);
  EXPECT_EQ(second->refCount, 1u);

  RuntimeUnlockObject(first);
  RuntimeUnlockObject(second);
  RuntimeUnlockObject(other);
  DestroyControlDictionary(d);
  RuntimeUnlockObject(window);
}

TEST_F(ControlDictionaryTest, ReinsertingTheSameControlKeepsOneReference) {
  ControlDictionary* d = NewControlDictionary();
  ObjectRecord* c = NewControl(control, "Same");
  InsertControl(d, "Same", c);
  InsertControl(d, "same", c);
  EXPECT_EQ(c->refCount, 2u);
  EXPECT_EQ(ControlCount(d), 1);
  RuntimeUnlockObject(c);
  gLog.clear();
  DestroyControlDictionary(d);
  EXPECT_EQ(gLog, (std::vector<std::string>{"delete Same"}));
}

TEST_F(ControlDictionaryTest, DestroyingReleasesEveryReferenceAndAllMemory) {
  uint32_t heap = SmallBlockBytesInUse();
  int32_t live = LiveObjectCount();
  ControlDictionary* d = NewControlDictionary();
  for (int i = 0; i < 300; ++i) {  // more keys than buckets
    std::string name = "Control" + std::to_string(i);
    ObjectRecord* c = NewControl(control, name, i % 3 ? i : INT32_MIN);
    InsertControl(d, ControlKey(name, i % 3 ? i : INT32_MIN), c);
    RuntimeUnlockObject(c);
  }
  EXPECT_EQ(ControlCount(d), 300);
  ASSERT_NE(FindControl(d, "control297"), nullptr);
  EXPECT_EQ(NameOf(FindControl(d, "control297")), "Control297");
  ASSERT_NE(FindControl(d, "CONTROL298$298"), nullptr);
  EXPECT_EQ(NameOf(FindControl(d, "CONTROL298$298")), "Control298");
  EXPECT_EQ(FindControl(d, "Control298"), nullptr);
  EXPECT_EQ(LiveObjectCount(), live + 300);
  DestroyControlDictionary(d);
  EXPECT_EQ(LiveObjectCount(), live);
  EXPECT_EQ(SmallBlockBytesInUse(), heap);
  DestroyControlDictionary(nullptr);
}

TEST_F(ControlDictionaryTest, DestroyedControlsReleaseTheirCommonFields) {
  ClassRecord* rect = classes.Make("FieldsControl", BuiltIn("RectControl"),
                                   sizeof(RectControlObject));
  uint32_t heap = SmallBlockBytesInUse();
  ObjectRecord* c = NewControl(rect, "WithHelp");
  ObjectRecord* cursor = NewObjectOfClass(BuiltIn("MouseCursor"));
  StringRef help = Text("a help text"), off = Text("another help text");
  controlBalloonHelpSetter(c, 0, help.get());
  controlDisabledBalloonHelpSetter(c, 0, off.get());
  controlMouseCursorSetter(c, 0, cursor);
  RuntimeUnlockObject(cursor);
  help = StringRef();
  off = StringRef();
  RuntimeUnlockObject(c);
  EXPECT_EQ(SmallBlockBytesInUse(), heap);
}

// --- described property texts ------------------------------------------------------

std::vector<std::string> gCalls;
int32_t gHeldDuringCall = 0;

void __cdecl SetString(ObjectRecord*, uint32_t param, StringRecord* s) {
  gCalls.push_back("string " + std::to_string(param) + " '" + std::string(StringView(s)) + "'");
}
void __cdecl SetInt(ObjectRecord*, uint32_t param, int32_t v) {
  gCalls.push_back("int " + std::to_string(param) + " " + std::to_string(v));
}
void __cdecl SetByte(ObjectRecord*, uint32_t param, bool v) {
  gCalls.push_back("bool " + std::to_string(param) + " " + (v ? "true" : "false"));
}
void __cdecl SetObject(ObjectRecord*, uint32_t param, ObjectRecord* o) {
  gHeldDuringCall = o ? static_cast<int32_t>(o->refCount) : -1;
  gCalls.push_back("object " + std::to_string(param) + (o ? " set" : " nil"));
}
void __cdecl SetChildInt(ObjectRecord*, uint32_t param, int32_t v) {
  gCalls.push_back("child int " + std::to_string(param) + " " + std::to_string(v));
}

template <typename F>
CodeAddress Code(F* f) {
  return reinterpret_cast<CodeAddress>(f);
}

class ControlDescribedProperty : public testing::Test {
 protected:
  void SetUp() override {
    gCalls.clear();
    probe = classes.Make("Probe", nullptr, 24);
    AddProperty(probe, {nullptr, "Title", "String", nullptr, Code(SetString), 1});
    AddProperty(probe, {nullptr, "Count", "Integer", nullptr, Code(SetInt), 2});
    AddProperty(probe, {nullptr, "Tint", "Color", nullptr, Code(SetInt), 3});
    AddProperty(probe, {nullptr, "Flag", "Boolean", nullptr, Code(SetByte), 4});
    AddProperty(probe, {nullptr, "MacProcId", "Integer", nullptr, Code(SetInt), 5});
    AddProperty(probe, {nullptr, "Picture", "Movie", nullptr, Code(SetObject), 6});
    AddProperty(probe, {nullptr, "Ratio", "Single", nullptr, Code(SetInt), 7});
    AddProperty(probe, {nullptr, "Amount", "Double", nullptr, Code(SetInt), 8});
    AddProperty(probe, {nullptr, "Owner", "Form", nullptr, Code(SetInt), 9});
    AddProperty(probe, {nullptr, "Fixed", "Integer", nullptr, nullptr, 10});
    AddProperty(probe, {nullptr, "Untyped", nullptr, nullptr, Code(SetInt), 11});
    AddProperty(probe, {nullptr, "Backdrop", "Picture", nullptr, Code(SetObject), 13});
    child = classes.Make("ProbeChild", probe, 24);
    AddProperty(child, {nullptr, "count", "Integer", nullptr, Code(SetChildInt), 12});
    object = NewObjectOfClass(child);
  }
  void TearDown() override { RuntimeUnlockObject(object); }
  bool Apply(std::string_view name, std::string_view value) {
    return ApplyDescribedProperty(object, name, value);
  }

  ScratchClasses classes;
  ClassRecord* probe = nullptr;
  ClassRecord* child = nullptr;
  ObjectRecord* object = nullptr;
};

TEST_F(ControlDescribedProperty, TextsAreConvertedByTheDeclaredType) {
  EXPECT_TRUE(Apply("Title", "Vellory Server"));
  EXPECT_TRUE(Apply("Title", ""));
  EXPECT_TRUE(Apply("Tint", "16777215"));
  EXPECT_TRUE(Apply("Count", "12abc"));   // nearest class: the child's "count"
  EXPECT_TRUE(Apply("Tint", "-42"));
  EXPECT_TRUE(Apply("Tint", "abc"));
  EXPECT_TRUE(Apply("MacProcID", "7"));   // declared "MacProcId"
  EXPECT_EQ(gCalls, (std::vector<std::string>{"string 1 'Vellory Server'", "string 1 ''",
                                              "int 3 16777215", "child int 12 12", "int 3 -42",
                                              "int 3 0", "int 5 7"}));
}

TEST_F(ControlDescribedProperty, BooleanIsTrueOnlyForTheWordTrueInAnyCase) {
  for (const char* text : {"True", "true", "TRUE", "tRuE", "yes", "1", "False", "", "True "})
    EXPECT_TRUE(Apply("flag", text)) << text;
  EXPECT_EQ(gCalls, (std::vector<std::string>{"bool 4 true", "bool 4 true", "bool 4 true",
                                              "bool 4 true", "bool 4 false", "bool 4 false",
                                              "bool 4 false", "bool 4 false", "bool 4 false"}));
}

TEST_F(ControlDescribedProperty, PropertiesThatCannotBeAppliedAreSkipped) {
  EXPECT_FALSE(Apply("Ratio", "1.5"));
  EXPECT_FALSE(Apply("Amount", "2"));
  EXPECT_FALSE(Apply("Owner", "1"));
  EXPECT_FALSE(Apply("Fixed", "3"));
  EXPECT_FALSE(Apply("Untyped", "3"));
  EXPECT_FALSE(Apply("NoSuchProperty", "3"));
  EXPECT_FALSE(ApplyDescribedProperty(nullptr, "Title", "x"));
  EXPECT_TRUE(gCalls.empty());
}

TEST_F(ControlDescribedProperty, AnObjectTypeTakesTheProjectItemAndReleasesItAfterTheCall) {
  uint32_t item[2] = {kMovieItem, 42};
  uint32_t list[1] = {reinterpret_cast<uint32_t>(item)};
  MemorySpan data{reinterpret_cast<uintptr_t>(item), sizeof item};
  CreateProjectItems(list, 1, data);
  ObjectRecord* movie = RuntimeProjectObject(1);
  ASSERT_NE(movie, nullptr);
  EXPECT_EQ(movie->refCount, 2u);  // the project's and ours

  EXPECT_TRUE(Apply("Picture", "1"));
  EXPECT_EQ(gHeldDuringCall, 3);  // the conversion's reference during the call...
  EXPECT_EQ(movie->refCount, 2u);  // ...is gone afterwards
  EXPECT_TRUE(Apply("Picture", "0"));
  EXPECT_TRUE(Apply("Picture", "5"));  // no such item
  // A movie where a picture belongs never reaches the picture's setter.
  EXPECT_FALSE(Apply("Backdrop", "1"));
  EXPECT_EQ(movie->refCount, 2u);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"object 6 set", "object 6 nil", "object 6 nil"}));

  CreateProjectItems(list, 0, data);
  RuntimeUnlockObject(movie);
  RuntimeUnlockObject(movie);
}

// A module item's slot is a word of the image: what it holds before start-up
// stores the instance is no object and must not be released as one. A second
// item naming the same slot replaces the first instance properly.
TEST_F(ControlDescribedProperty, AModuleSlotsEarlierWordIsNotReleased) {
  ClassRecord* module = classes.Make("Module", nullptr, 24);
  ClassRecord* table[] = {module};
  SetClassTable(table, 1);
  uint32_t block[8] = {kModuleItem, 0, 0, kModuleItem, 0, 0, 0x4B, 0};
  block[2] = block[5] = reinterpret_cast<uint32_t>(&block[6]);
  uint32_t list[2] = {reinterpret_cast<uint32_t>(&block[0]), reinterpret_cast<uint32_t>(&block[3])};
  MemorySpan data{reinterpret_cast<uintptr_t>(block), sizeof block};
  uint32_t live = static_cast<uint32_t>(LiveObjectCount());
  CreateProjectItems(list, 2, data);
  auto* second = reinterpret_cast<ObjectRecord*>(block[6]);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->cls, module);
  EXPECT_EQ(second->refCount, 2u);  // the project's and the slot's
  ObjectRecord* first = RuntimeProjectObject(1);
  ASSERT_NE(first, nullptr);
  EXPECT_NE(first, second);
  EXPECT_EQ(first->refCount, 2u);  // the project's and ours: the slot let go
  RuntimeUnlockObject(first);
  CreateProjectItems(list, 0, data);  // forgets the project's references
  RuntimeUnlockObject(first);
  RuntimeUnlockObject(second);
  RuntimeUnlockObject(second);
  EXPECT_EQ(static_cast<uint32_t>(LiveObjectCount()), live);
  SetClassTable(nullptr, 0);
}

TEST_F(ControlDescribedProperty, StringValuesAreReleasedAfterTheCall) {
  uint32_t heap = SmallBlockBytesInUse();
  for (int i = 0; i < 20; ++i) Apply("Title", "a text long enough to need its own block");
  EXPECT_EQ(SmallBlockBytesInUse(), heap);
  EXPECT_EQ(gCalls.size(), 20u);
}

// --- control descriptions ---------------------------------------------------------

std::vector<std::string> gAssertions;
void RecordAssertion(const char* what) { gAssertions.push_back(what); }

struct Description {
  std::vector<uint8_t> bytes;
  Description& Control(int32_t classIndex,
                       std::vector<std::pair<std::string, std::string>> properties) {
    PutPackedInt(bytes, classIndex);
    PutPackedInt(bytes, static_cast<int32_t>(properties.size()));
    for (const auto& [name, value] : properties) {
      PutPackedString(bytes, name);
      PutPackedString(bytes, value);
    }
    return *this;
  }
};

std::vector<std::pair<std::string, std::string>> Visible(const std::string& name,
                                                         const std::string& index) {
  return {{"Name", name},          {"Index", index},         {"TabPanelIndex", "2"},
          {"Visible", "False"},    {"Left", "10"},           {"Top", "20"},
          {"Width", "30"},         {"Height", "40"},         {"BalloonHelp", "help"},
          {"DisabledBalloonHelp", ""}, {"LockLeft", "True"}, {"LockTop", "true"},
          {"LockRight", "TRUE"},   {"LockBottom", "yes"},    {"Unknown", "x"},
          {"MouseCursor", "0"}};
}

class ControlDescriptionTest : public testing::Test {
 protected:
  void SetUp() override {
    gLog.clear();
    gAssertions.clear();
    previous_ = SetAssertionRecorder(RecordAssertion);
    button = classes.Make("TestButton", BuiltIn("RectControl"), sizeof(RectControlObject));
    button->destructor = reinterpret_cast<CodeAddress>(LogDestructor);
    plain = classes.Make("TestPlain", BuiltIn("Control"), sizeof(ControlObject));
    ClassRecord* table[] = {button, plain};
    SetClassTable(table, 2);
    windowClass = classes.Make("TestWindow", nullptr, sizeof(WindowObject));
    window = reinterpret_cast<WindowObject*>(NewObjectOfClass(windowClass));
    window->controls = NewControlDictionary();
  }
  void TearDown() override {
    DestroyControlDictionary(window->controls);
    RuntimeUnlockObject(&window->header);
    SetClassTable(nullptr, 0);
    SetAssertionRecorder(previous_);
  }
  ObjectRecord* Fetch(std::string_view name) {
    StringRef n = Text(name);
    return RuntimeControlFetch(&window->header, n.get());
  }

  AssertionRecorder previous_ = nullptr;
  ScratchClasses classes;
  ClassRecord* button = nullptr;
  ClassRecord* plain = nullptr;
  ClassRecord* windowClass = nullptr;
  WindowObject* window = nullptr;
};

TEST_F(ControlDescriptionTest, PropertiesAreAppliedAndTheControlIsFoundByItsPlainName) {
  Description d;
  d.Control(0, Visible("InputView", "-2147483648"));
  DescriptionStream s(d.bytes.data(), static_cast<uint32_t>(d.bytes.size()));
  ObjectRecord* c = ApplyControlDescription(s, window);
  ASSERT_NE(c, nullptr);
  EXPECT_TRUE(s.AtEnd());
  EXPECT_TRUE(IsRectControl(c));
  RectControlObject* rc = AsRect(c);
  EXPECT_EQ(rc->control.window, &window->header);
  EXPECT_EQ(NameOf(c), "InputView");
  EXPECT_EQ(rc->control.index, INT32_MIN);
  EXPECT_EQ(rc->pane, nullptr);
  EXPECT_EQ(rc->tabPanelIndex, 2);
  EXPECT_EQ(rc->visible, 0);
  EXPECT_EQ(rc->enabled, 1);  // not described: enabled
  EXPECT_EQ(rc->bounds.left, 10);
  EXPECT_EQ(rc->bounds.top, 20);
  EXPECT_EQ(rc->bounds.right, 40);
  EXPECT_EQ(rc->bounds.bottom, 60);
  EXPECT_EQ(std::string(StringView(rc->balloonHelp)), "help");
  EXPECT_EQ(rc->disabledBalloonHelp, nullptr);
  EXPECT_EQ(rc->mouseCursor, nullptr);
  EXPECT_EQ((std::vector<int>{rc->lockLeft, rc->lockTop, rc->lockRight, rc->lockBottom}),
            (std::vector<int>{1, 1, 1, 0}));
  EXPECT_EQ(c->refCount, 1u);  // the dictionary's
  EXPECT_EQ(Fetch("InputView"), c);
  EXPECT_EQ(Fetch("inputview"), c);
  EXPECT_EQ(Fetch("InputView$-2147483648"), nullptr);
}

TEST_F(ControlDescriptionTest, AnArrayElementIsFoundOnlyUnderNameDollarIndex) {
  Description d;
  d.Control(0, Visible("Button", "3")).Control(0, Visible("Button", "-2147483648"));
  DescriptionStream s(d.bytes.data(), static_cast<uint32_t>(d.bytes.size()));
  ObjectRecord* element = ApplyControlDescription(s, window);
  ASSERT_NE(element, nullptr);
  EXPECT_EQ(AsRect(element)->control.index, 3);
  EXPECT_EQ(Fetch("Button"), nullptr);
  EXPECT_EQ(Fetch("button$3"), element);
  ObjectRecord* single = ApplyControlDescription(s, window);
  EXPECT_EQ(Fetch("Button"), single);
  EXPECT_NE(single, element);

  StringRef name = Text("BUTTON");
  ObjectRecord* ref = RuntimeControlArrayItemReference(&window->header, name.get(), 3);
  EXPECT_EQ(ref, element);
  EXPECT_EQ(element->refCount, 2u);
  RuntimeUnlockObject(ref);
  EXPECT_EQ(RuntimeControlArrayItemReference(&window->header, name.get(), 4), nullptr);
  ref = RuntimeControlReference(&window->header, name.get());
  EXPECT_EQ(ref, single);
  EXPECT_EQ(single->refCount, 2u);
  RuntimeUnlockObject(ref);
  EXPECT_EQ(RuntimeControlReference(nullptr, name.get()), nullptr);
  EXPECT_EQ(RuntimeControlFetch(nullptr, name.get()), nullptr);
}

TEST_F(ControlDescriptionTest, TheSameKeyTwiceLeavesOnlyTheSecondControl) {
  Description d;
  d.Control(0, {{"Name", "Twin"}, {"Index", "-2147483648"}, {"Left", "1"}})
      .Control(0, {{"Name", "Other"}, {"Index", "-2147483648"}})
      .Control(0, {{"Name", "TWIN"}, {"Index", "-2147483648"}, {"Left", "2"}});
  DescriptionStream s(d.bytes.data(), static_cast<uint32_t>(d.bytes.size()));
  for (int i = 0; i < 3; ++i) ApplyControlDescription(s, window);
  EXPECT_EQ(gLog, (std::vector<std::string>{"delete Twin"}));
  ASSERT_EQ(ControlCount(window->controls), 2);
  EXPECT_EQ(AsRect(ControlAt(window->controls, 0))->bounds.left, 2);
  EXPECT_EQ(NameOf(ControlAt(window->controls, 1)), "Other");
}

// A serial line is described on a window like a control but is none: the
// places where a control keeps its window and index are its own list link
// and line settings.
TEST_F(ControlDescriptionTest, ASerialLineKeepsItsOwnFields) {
  ClassRecord* table[] = {button, plain, FindBuiltInClass("Serial")};
  SetClassTable(table, 3);
  Description d;
  d.Control(2, {{"Name", "Line"}, {"Index", "-2147483648"}, {"Baud", "12"}, {"Port", "1"}});
  DescriptionStream s(d.bytes.data(), static_cast<uint32_t>(d.bytes.size()));
  ObjectRecord* line = ApplyControlDescription(s, window);
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(Fetch("line"), line);
  auto* fields = reinterpret_cast<SerialObject*>(line);
  EXPECT_NE(reinterpret_cast<void*>(fields->nextSerial), reinterpret_cast<void*>(window));
  EXPECT_EQ(fields->driverHandle, 0xFFFFFFFFu);
  EXPECT_EQ(fields->baud, 12);
  EXPECT_EQ(fields->bits, 0);  // not described: five data bits, as stored
  EXPECT_EQ(fields->port, 1);
}

TEST_F(ControlDescriptionTest, ControlsWithoutARectangleAndUnknownClassesKeepTheStreamInStep) {
  Description d;
  d.Control(1, {{"Name", "Ticker"}, {"Index", "-2147483648"}, {"Left", "5"}, {"Visible", "True"}})
      .Control(99, {{"Name", "Lost"}, {"Index", "-2147483648"}})
      .Control(0, {{"Name", "Last"}, {"Index", "0"}});
  DescriptionStream s(d.bytes.data(), static_cast<uint32_t>(d.bytes.size()));
  ObjectRecord* ticker = ApplyControlDescription(s, window);
  ASSERT_NE(ticker, nullptr);
  EXPECT_FALSE(IsRectControl(ticker));
  EXPECT_EQ(Fetch("ticker"), ticker);
  EXPECT_EQ(ApplyControlDescription(s, window), nullptr);
  EXPECT_EQ(gAssertions.size(), 1u);  // the class index was reported
  ObjectRecord* last = ApplyControlDescription(s, window);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(Fetch("Last$0"), last);
  EXPECT_TRUE(s.AtEnd());
  EXPECT_EQ(ControlCount(window->controls), 2);
}

TEST_F(ControlDescriptionTest, TheControlLetGoByTheWindowForgetsIt) {
  Description d;
  d.Control(0, {{"Name", "Kept"}, {"Index", "-2147483648"}});
  DescriptionStream s(d.bytes.data(), static_cast<uint32_t>(d.bytes.size()));
  ObjectRecord* kept = ApplyControlDescription(s, window);
  RuntimeLockObject(kept);  // application code holds it
  ObjectRecord* owner = controlWindowGetter(kept);
  EXPECT_EQ(owner, &window->header);
  EXPECT_EQ(window->header.refCount, 2u);
  RuntimeUnlockObject(owner);
  DestroyControlDictionary(window->controls);
  window->controls = nullptr;
  EXPECT_EQ(controlWindowGetter(kept), nullptr);
  EXPECT_EQ(Fetch("Kept"), nullptr);
  RuntimeUnlockObject(kept);
}

// --- panes: a fake that records what reaches it -------------------------------------

class FakePane : public Pane {
 public:
  FakePane(RectControlObject* control, std::vector<std::string>* log) : Pane(control), log_(log) {}
  void SetState(int state) override {
    log_->push_back("state " + std::to_string(state) + " visible=" +
                    std::to_string(control_->visible) + " enabled=" +
                    std::to_string(control_->enabled));
  }
  void SetBounds(const ShortRect& b, bool redraw) override {
    log_->push_back("bounds " + std::to_string(b.top) + "," + std::to_string(b.left) + "," +
                    std::to_string(b.bottom) + "," + std::to_string(b.right) +
                    (redraw ? " redraw" : ""));
  }
  void Invalidate() override { log_->push_back("invalidate"); }
  bool CanTakeFocus() override { return takesFocus; }
  bool takesFocus = true;

 private:
  std::vector<std::string>* log_;
};

class ControlPaneState : public testing::Test {
 protected:
  void SetUp() override {
    cls = classes.Make("StateControl", BuiltIn("RectControl"), sizeof(RectControlObject));
    control = NewControl(cls, "Probe");
    rc = AsRect(control);
    rc->visible = 1;
    rc->enabled = 1;
    rc->bounds = {20, 10, 60, 40};
    rc->pane = new FakePane(rc, &calls);
  }
  void TearDown() override {
    delete rc->pane;
    rc->pane = nullptr;
    RuntimeUnlockObject(control);
  }
  ScratchClasses classes;
  ClassRecord* cls = nullptr;
  ObjectRecord* control = nullptr;
  RectControlObject* rc = nullptr;
  std::vector<std::string> calls;
};

TEST_F(ControlPaneState, PositionsReadBackAndAnUnchangedValueDoesNotTouchThePane) {
  EXPECT_EQ(ctlPosGetter(control, 0), 10);
  EXPECT_EQ(ctlPosGetter(control, 1), 20);
  EXPECT_EQ(ctlPosGetter(control, 2), 30);
  EXPECT_EQ(ctlPosGetter(control, 3), 40);
  EXPECT_EQ(ctlPosGetter(control, 4), 0);
  ctlPosSetter(control, 0, 10);
  ctlPosSetter(control, 1, 20);
  ctlPosSetter(control, 2, 30);
  ctlPosSetter(control, 3, 40);
  ctlPosSetter(control, 9, 77);
  EXPECT_TRUE(calls.empty());
  ctlPosSetter(control, 0, 15);  // moves: the width stays
  ctlPosSetter(control, 1, 5);
  ctlPosSetter(control, 2, 100);
  ctlPosSetter(control, 3, 1);
  EXPECT_EQ(calls, (std::vector<std::string>{"bounds 20,15,60,45 redraw", "bounds 5,15,45,45 redraw",
                                             "bounds 5,15,45,115 redraw", "bounds 5,15,6,115 redraw"}));
  EXPECT_EQ(ctlPosGetter(control, 2), 100);
  EXPECT_EQ(ctlPosGetter(control, 3), 1);
}

TEST_F(ControlPaneState, WidthIgnoresTheLocksUntilTheWindowResizes) {
  rc->lockRight = 1;
  rc->lockLeft = 0;
  ctlPosSetter(control, 2, 50);
  EXPECT_EQ(rc->bounds.left, 10);
  EXPECT_EQ(rc->bounds.right, 60);
}

TEST_F(ControlPaneState, VisibilityReachesThePaneBeforeItIsStoredAndEnablingAfter) {
  ControlVisibleSetter(control, 0, false);
  EXPECT_FALSE(controlVisibleGetter(control));
  ControlVisibleSetter(control, 0, true);
  controlEnabledSetter(control, 0, false);
  EXPECT_FALSE(controlEnabledGetter(control));
  controlEnabledSetter(control, 0, true);
  EXPECT_TRUE(controlEnabledGetter(control));
  EXPECT_EQ(calls, (std::vector<std::string>{
                       "state 8 visible=1 enabled=1", "state 7 visible=0 enabled=1",
                       "state 6 visible=1 enabled=0", "state 5 visible=1 enabled=1"}));
}

TEST_F(ControlPaneState, WithoutAPaneSettersOnlyStore) {
  delete rc->pane;
  rc->pane = nullptr;
  ControlVisibleSetter(control, 0, false);
  controlEnabledSetter(control, 0, false);
  ctlPosSetter(control, 0, 33);
  RuntimeControlRefresh(control);
  RuntimeControlRefreshRect(control, 0, 0, 5, 5);
  EXPECT_EQ(rc->visible, 0);
  EXPECT_EQ(rc->enabled, 0);
  EXPECT_EQ(rc->bounds.left, 33);
  EXPECT_EQ(rc->bounds.right, 63);
  EXPECT_TRUE(calls.empty());
}

TEST_F(ControlPaneState, LocksStoreOnlyAndHelpTextsReachThePane) {
  controlLockLeftSetter(control, 0, true);
  controlLockBottomSetter(control, 0, true);
  EXPECT_TRUE(controlLockLeftGetter(control));
  EXPECT_FALSE(controlLockTopGetter(control));
  EXPECT_FALSE(controlLockRightGetter(control));
  EXPECT_TRUE(controlLockBottomGetter(control));
  controlLockLeftSetter(control, 0, false);
  EXPECT_FALSE(controlLockLeftGetter(control));

  StringRef help = Text("Sends the text"), off = Text("Not connected");
  controlBalloonHelpSetter(control, 0, help.get());
  controlDisabledBalloonHelpSetter(control, 0, off.get());
  EXPECT_EQ(rc->balloonHelp, help.get());
  EXPECT_EQ(rc->pane->Help(), help.get());
  EXPECT_EQ(rc->pane->DisabledHelp(), off.get());
  EXPECT_EQ(help.get()->refCount, 3u);  // ours, the field's, the pane's
  controlBalloonHelpSetter(control, 0, nullptr);
  EXPECT_EQ(help.get()->refCount, 1u);
  EXPECT_EQ(rc->pane->Help(), nullptr);
  controlDisabledBalloonHelpSetter(control, 0, nullptr);
  EXPECT_TRUE(calls.empty());
}

TEST_F(ControlPaneState, RefreshInvalidatesThePane) {
  RuntimeControlRefresh(control);
  EXPECT_EQ(calls, (std::vector<std::string>{"invalidate"}));
}

TEST_F(ControlPaneState, TheDescribedPropertiesUseTheEntryPoints) {
  EXPECT_TRUE(ApplyDescribedProperty(control, "Left", "12"));
  EXPECT_TRUE(ApplyDescribedProperty(control, "visible", "False"));
  EXPECT_TRUE(ApplyDescribedProperty(control, "Enabled", "false"));
  EXPECT_FALSE(ApplyDescribedProperty(control, "MouseX", "3"));  // read only
  EXPECT_FALSE(ApplyDescribedProperty(control, "Window", "1"));
  EXPECT_EQ(calls, (std::vector<std::string>{"bounds 20,12,60,42 redraw",
                                             "state 8 visible=1 enabled=1",
                                             "state 6 visible=0 enabled=0"}));
}

// --- real windows: focus and notifications --------------------------------------------

std::vector<std::string> gEvents;
ObjectRecord* gMoveFocusTo = nullptr;  // a LostFocus handler moves the focus here

void __cdecl OnGotFocus(ObjectRecord* self) { gEvents.push_back("GotFocus " + NameOf(self)); }
void __cdecl OnLostFocus(ObjectRecord* self) {
  gEvents.push_back("LostFocus " + NameOf(self));
  if (ObjectRecord* target = std::exchange(gMoveFocusTo, nullptr)) RuntimeSetFocus(target);
}

class RecordingPane : public Pane {
 public:
  explicit RecordingPane(RectControlObject* control) : Pane(control) {}
  bool Make(HWND parent, const char* cls, DWORD style = 0) {
    return CreateChild(parent, cls, "pane", style);
  }
  void Command(int code) override { gEvents.push_back("command " + std::to_string(code)); }
  void Scroll(int request, int position) override {
    gEvents.push_back("scroll " + std::to_string(request) + " " + std::to_string(position));
  }
  LRESULT Notify(NMHDR* header) override {
    gEvents.push_back("notify " + std::to_string(static_cast<int>(header->code)));
    return notifyResult;
  }
  void DrawItem(DRAWITEMSTRUCT* item) override {
    gEvents.push_back("draw item " + std::to_string(item->itemID));
  }
  LRESULT notifyResult = 0;
};

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (DispatchControlNotification(message, wParam, lParam, result)) return result;
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

class ControlWindowTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ControlsTestParent";
    RegisterClassA(&wc);
    WNDCLASSA existing;
    if (!GetClassInfoA(GetModuleHandleA(nullptr), "ZB_Pane", &existing)) {
      WNDCLASSA pane = {};
      pane.lpfnWndProc = DefWindowProcA;
      pane.cbWndExtra = 4;
      pane.hInstance = GetModuleHandleA(nullptr);
      pane.lpszClassName = "ZB_Pane";
      registeredPaneClass = RegisterClassA(&pane) != 0;
    }
  }
  static void TearDownTestSuite() {
    UnregisterClassA("ControlsTestParent", GetModuleHandleA(nullptr));
    if (registeredPaneClass) UnregisterClassA("ZB_Pane", GetModuleHandleA(nullptr));
  }
  void SetUp() override {
    gEvents.clear();
    gMoveFocusTo = nullptr;
    cls = classes.Make("FocusControl", BuiltIn("RectControl"), sizeof(RectControlObject));
    AddEventHandler(cls, "GotFocus", reinterpret_cast<CodeAddress>(OnGotFocus), 0);
    AddEventHandler(cls, "LostFocus", reinterpret_cast<CodeAddress>(OnLostFocus), 0);
    windowClass = classes.Make("FocusWindow", nullptr, sizeof(WindowObject));
    window = reinterpret_cast<WindowObject*>(NewObjectOfClass(windowClass));
    parent = MakeParent();
    ASSERT_NE(parent, nullptr);
  }
  void TearDown() override {
    ClearActivePane();
    for (ObjectRecord* c : made) {
      CloseControlPane(AsRect(c));
      RuntimeUnlockObject(c);
    }
    ForgetWindowFocus(window);
    RuntimeUnlockObject(&window->header);
    for (HWND h : parents) DestroyWindow(h);
  }
  HWND MakeParent() {
    HWND h = CreateWindowExA(0, "ControlsTestParent", "controls test",
                             WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    if (h) parents.push_back(h);
    return h;
  }
  void Activate(HWND h) {
    SetForegroundWindow(h);
    SetActiveWindow(h);
  }
  ObjectRecord* Control(const char* name, HWND in, const char* windowClass = "BUTTON") {
    ObjectRecord* c = NewControl(cls, name);
    made.push_back(c);
    RectControlObject* rc = AsRect(c);
    rc->control.window = &window->header;
    rc->visible = rc->enabled = 1;
    rc->bounds = {10, static_cast<int16_t>(10 + 60 * (made.size() - 1)), 30,
                  static_cast<int16_t>(60 + 60 * (made.size() - 1))};
    auto* pane = new RecordingPane(rc);
    EXPECT_TRUE(pane->Make(in, windowClass));
    rc->pane = pane;
    return c;
  }
  Pane* PaneOf(ObjectRecord* c) { return AsRect(c)->pane; }

  static inline bool registeredPaneClass = false;
  ScratchClasses classes;
  ClassRecord* cls = nullptr;
  ClassRecord* windowClass = nullptr;
  WindowObject* window = nullptr;
  HWND parent = nullptr;
  std::vector<HWND> parents;
  std::vector<ObjectRecord*> made;
};

using ControlFocus = ControlWindowTest;

TEST_F(ControlFocus, FocusChangesRaiseLostFocusBeforeGotFocus) {
  Activate(parent);
  ASSERT_EQ(GetActiveWindow(), parent);
  ObjectRecord* a = Control("A", parent);
  ObjectRecord* b = Control("B", parent);
  TakeFocusChanged();
  RuntimeSetFocus(a);
  EXPECT_TRUE(TakeFocusChanged());
  RuntimeSetFocus(b);
  RuntimeSetFocus(b);  // already active: nothing
  EXPECT_EQ(ActivePane(), PaneOf(b));
  EXPECT_EQ(GetFocus(), PaneOf(b)->Handle());
  EXPECT_EQ(FocusedPaneOf(window), PaneOf(b));
  clearFocus();
  EXPECT_EQ(ActivePane(), nullptr);
  EXPECT_NE(GetFocus(), PaneOf(b)->Handle());  // keys no longer reach the button
  clearFocus();  // nothing to clear
  EXPECT_EQ(gEvents, (std::vector<std::string>{"GotFocus A", "LostFocus A", "GotFocus B",
                                               "LostFocus B"}));
}

TEST_F(ControlFocus, ALostFocusHandlerThatMovesTheFocusWins) {
  Activate(parent);
  ObjectRecord* a = Control("A", parent);
  ObjectRecord* b = Control("B", parent);
  ObjectRecord* c = Control("C", parent);
  RuntimeSetFocus(a);
  gMoveFocusTo = c;
  RuntimeSetFocus(b);
  EXPECT_EQ(ActivePane(), PaneOf(c));
  EXPECT_EQ(GetFocus(), PaneOf(c)->Handle());
  EXPECT_EQ(gEvents, (std::vector<std::string>{"GotFocus A", "LostFocus A", "GotFocus C"}));
}

TEST_F(ControlFocus, APaneThatRefusesTheFocusChangesNothing) {
  Activate(parent);
  ObjectRecord* a = Control("A", parent);
  ObjectRecord* disabled = Control("Disabled", parent);
  ObjectRecord* hidden = Control("Hidden", parent);
  ObjectRecord* paneless = NewControl(cls, "Paneless");
  RuntimeSetFocus(a);
  controlEnabledSetter(disabled, 0, false);
  ControlVisibleSetter(hidden, 0, false);
  RuntimeSetFocus(disabled);
  RuntimeSetFocus(hidden);
  RuntimeSetFocus(paneless);
  RuntimeSetFocus(nullptr);
  EXPECT_EQ(ActivePane(), PaneOf(a));
  EXPECT_EQ(gEvents, (std::vector<std::string>{"GotFocus A"}));
  controlEnabledSetter(disabled, 0, true);
  RuntimeSetFocus(disabled);
  EXPECT_EQ(ActivePane(), PaneOf(disabled));
  RuntimeUnlockObject(paneless);
}

TEST_F(ControlFocus, AnInactiveWindowKeepsTheFocusForItsActivation) {
  ObjectRecord* a = Control("A", parent);
  HWND other = MakeParent();
  Activate(other);
  ASSERT_EQ(GetActiveWindow(), other);
  RuntimeSetFocus(a);
  EXPECT_EQ(ActivePane(), nullptr);
  EXPECT_EQ(FocusedPaneOf(window), PaneOf(a));
  EXPECT_TRUE(gEvents.empty());
  Activate(parent);
  RestoreWindowFocus(window);
  EXPECT_EQ(ActivePane(), PaneOf(a));
  EXPECT_EQ(gEvents, (std::vector<std::string>{"GotFocus A"}));
}

// Keys and edit commands must not reach a field the user cannot see or is
// not looking at: a pane hidden or disabled gives up the focus, and so does
// the focused pane of a window that stops being the active one (kept for
// its next activation).
TEST_F(ControlFocus, HiddenDisabledOrLeftPanesGiveUpTheFocus) {
  Activate(parent);
  using Change = void (*)(WindowObject*, ObjectRecord*);
  const struct {
    const char* name;
    Change change;
  } kChanges[] = {
      {"hidden", [](WindowObject*, ObjectRecord* c) { ControlVisibleSetter(c, 0, false); }},
      {"disabled", [](WindowObject*, ObjectRecord* c) { controlEnabledSetter(c, 0, false); }},
      {"left", [](WindowObject* w, ObjectRecord*) { ReleaseFocusOfWindow(w); }},
  };
  std::vector<std::string> expected;
  for (const auto& k : kChanges) {
    SCOPED_TRACE(k.name);
    ObjectRecord* c = Control(k.name, parent);
    RuntimeSetFocus(c);
    ASSERT_EQ(ActivePane(), PaneOf(c));
    k.change(window, c);
    EXPECT_EQ(ActivePane(), nullptr);
    expected.push_back(std::string("GotFocus ") + k.name);
    expected.push_back(std::string("LostFocus ") + k.name);
  }
  EXPECT_NE(GetFocus(), PaneOf(made[0])->Handle());
  EXPECT_NE(GetFocus(), PaneOf(made[1])->Handle());
  EXPECT_EQ(FocusedPaneOf(window), PaneOf(made[2]));
  RestoreWindowFocus(window);
  EXPECT_EQ(ActivePane(), PaneOf(made[2]));
  expected.push_back("GotFocus left");
  EXPECT_EQ(gEvents, expected);
}

TEST_F(ControlFocus, TheWindowItselfCanHoldTheFocus) {
  Activate(parent);
  ObjectRecord* a = Control("A", parent);
  RuntimeSetFocus(a);
  SetActiveWindowFocus(window, parent);
  EXPECT_EQ(ActivePane(), nullptr);
  EXPECT_EQ(FocusedWindow(), window);
  EXPECT_EQ(GetFocus(), parent);
  RuntimeSetFocus(a);
  EXPECT_EQ(FocusedWindow(), nullptr);
  EXPECT_EQ(gEvents, (std::vector<std::string>{"GotFocus A", "LostFocus A", "GotFocus A"}));
}

TEST_F(ControlFocus, ClosingTheActivePaneForgetsItWithoutEvents) {
  Activate(parent);
  ObjectRecord* a = Control("A", parent);
  RuntimeSetFocus(a);
  HWND handle = PaneOf(a)->Handle();
  CloseControlPane(AsRect(a));
  EXPECT_EQ(AsRect(a)->pane, nullptr);
  EXPECT_EQ(ActivePane(), nullptr);
  EXPECT_EQ(FocusedPaneOf(window), nullptr);
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(PaneFromHandle(handle), nullptr);
  EXPECT_EQ(gEvents, (std::vector<std::string>{"GotFocus A"}));
}

using ControlPane = ControlWindowTest;

TEST_F(ControlPane, ChildWindowsSitAtTheControlBoundsAndFollowState) {
  ObjectRecord* a = Control("A", parent);
  HWND h = PaneOf(a)->Handle();
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GetParent(h), parent);
  RECT r;
  GetWindowRect(h, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 10);
  EXPECT_EQ(r.right, 60);
  EXPECT_EQ(r.bottom, 30);
  ctlPosSetter(a, 0, 40);
  GetWindowRect(h, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 40);
  EXPECT_EQ(r.right, 90);
  EXPECT_TRUE(PaneOf(a)->CanTakeFocus());
  ControlVisibleSetter(a, 0, false);
  EXPECT_FALSE(GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(PaneOf(a)->CanTakeFocus());
  ControlVisibleSetter(a, 0, true);
  controlEnabledSetter(a, 0, false);
  EXPECT_FALSE(IsWindowEnabled(h));
  EXPECT_FALSE(PaneOf(a)->CanTakeFocus());
  controlEnabledSetter(a, 0, true);
  EXPECT_TRUE(IsWindowEnabled(h));
  EXPECT_EQ(PaneFromHandle(h), PaneOf(a));
  EXPECT_EQ(PaneFromHandle(parent), nullptr);
  EXPECT_EQ(PaneFromHandle(nullptr), nullptr);
}

TEST_F(ControlPane, RuntimePanesAreFoundThroughTheirWindowBytes) {
  ObjectRecord* a = Control("A", parent, "ZB_Pane");
  HWND h = PaneOf(a)->Handle();
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GetPropA(h, "ZBInstance"), nullptr);
  EXPECT_EQ(GetWindowLongPtrA(h, 0), reinterpret_cast<LONG_PTR>(PaneOf(a)));
  EXPECT_EQ(PaneFromHandle(h), PaneOf(a));
}

using ControlNotification = ControlWindowTest;

TEST_F(ControlNotification, AButtonClickReachesItsPane) {
  ObjectRecord* a = Control("A", parent);
  SendMessageA(PaneOf(a)->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(gEvents, (std::vector<std::string>{"command " + std::to_string(BN_CLICKED)}));
}

TEST_F(ControlNotification, EachMessageGoesToThePaneItNames) {
  ObjectRecord* a = Control("A", parent);
  auto* pane = static_cast<RecordingPane*>(PaneOf(a));
  HWND h = pane->Handle();
  LPARAM control = reinterpret_cast<LPARAM>(h);
  LRESULT result = -1;
  EXPECT_TRUE(DispatchControlNotification(WM_COMMAND, MAKEWPARAM(7, EN_CHANGE), control, result));
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(DispatchControlNotification(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 42), control, result));
  EXPECT_TRUE(DispatchControlNotification(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), control, result));
  NMHDR header = {h, 0, static_cast<UINT>(TCN_SELCHANGING)};
  pane->notifyResult = 0;
  EXPECT_TRUE(DispatchControlNotification(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header), result));
  EXPECT_EQ(result, 0);  // a non-zero answer would refuse the change
  pane->notifyResult = 1;
  DispatchControlNotification(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header), result);
  EXPECT_EQ(result, 1);
  DRAWITEMSTRUCT item = {};
  item.CtlType = ODT_LISTBOX;
  item.hwndItem = h;
  item.itemID = 3;
  EXPECT_TRUE(DispatchControlNotification(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item), result));
  item.CtlType = ODT_BUTTON;
  EXPECT_FALSE(DispatchControlNotification(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item), result));
  EXPECT_EQ(gEvents, (std::vector<std::string>{
                         "command " + std::to_string(EN_CHANGE),
                         "scroll " + std::to_string(SB_THUMBTRACK) + " 42",
                         "scroll " + std::to_string(SB_LINEDOWN) + " 0",
                         "notify " + std::to_string(static_cast<int>(TCN_SELCHANGING)),
                         "notify " + std::to_string(static_cast<int>(TCN_SELCHANGING)),
                         "draw item 3"}));
}

TEST_F(ControlNotification, MessagesWithoutAPaneAreLeftAloneButAreNoMenuCommands) {
  LRESULT result = -1;
  // A menu command: no control HWND.
  EXPECT_FALSE(DispatchControlNotification(WM_COMMAND, MAKEWPARAM(100, 0), 0, result));
  EXPECT_FALSE(DispatchControlNotification(WM_HSCROLL, SB_LINEDOWN, 0, result));
  // A child without a pane: handled, nothing told.
  HWND bare = CreateWindowExA(0, "BUTTON", "bare", WS_CHILD, 0, 0, 10, 10, parent, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  EXPECT_TRUE(DispatchControlNotification(WM_COMMAND, MAKEWPARAM(1, BN_CLICKED),
                                          reinterpret_cast<LPARAM>(bare), result));
  NMHDR header = {bare, 0, 0};
  EXPECT_FALSE(DispatchControlNotification(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header), result));
  EXPECT_FALSE(DispatchControlNotification(WM_PAINT, 0, 0, result));
  EXPECT_TRUE(gEvents.empty());
  DestroyWindow(bare);
}

}  // namespace
