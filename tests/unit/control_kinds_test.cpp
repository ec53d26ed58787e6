// The built-in control kinds in real windows: each test builds a window from
// a stored description, as the application does, so that the kinds' own
// "CreatePane" handlers make the panes; then it acts on the panes through
// the entry points and through the messages a user's actions send, and
// records the events the controls raise.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include "described_window.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "objects/builtin_classes.h"
#include "objects/class_table.h"
#include "objects/classes.h"
#include "objects/events.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "sdk/description_encoding.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"
#include "ui/control_dictionary.h"
#include "ui/control_kinds.h"
#include "ui/focus.h"
#include "ui/fonts.h"
#include "ui/kind_panes.h"
#include "ui/loop_tasks.h"
#include "ui/native_window.h"
#include "ui/runtime_ui.h"

namespace {

std::vector<std::string> gEvents;
std::string gConsume;  // the KeyDown handler consumes this key

std::string NameOf(ObjectRecord* control) {
  return std::string(StringView(reinterpret_cast<ControlObject*>(control)->name));
}
void Log(ObjectRecord* c, const std::string& what) { gEvents.push_back(what + " " + NameOf(c)); }

void __cdecl OnAction(ObjectRecord* c) { Log(c, "Action"); }
void __cdecl OnCheckAction(ObjectRecord* c) {
  Log(c, checkBoxValueGetter(c) ? "Action(checked)" : "Action(unchecked)");
}
void __cdecl OnChange(ObjectRecord* c) { Log(c, "Change"); }
void __cdecl OnTextChange(ObjectRecord* c) { Log(c, "TextChange"); }
void __cdecl OnSelChange(ObjectRecord* c) { Log(c, "SelChange"); }
void __cdecl OnGotFocus(ObjectRecord* c) { Log(c, "GotFocus"); }
void __cdecl OnLostFocus(ObjectRecord* c) { Log(c, "LostFocus"); }
bool __cdecl OnKeyDown(ObjectRecord* c, StringRecord* key) {
  std::string k(StringView(key));
  Log(c, "KeyDown " + k);
  return k == gConsume;
}

StringRef Text(std::string_view s) { return StringRef::Adopt(NewString(s)); }
std::string Str(StringRecord* owned) { return std::string(StringRef::Adopt(owned).View()); }

std::string ClassOf(HWND h) {
  char name[64] = "";
  GetClassNameA(h, name, sizeof name);
  return name;
}
LONG Style(HWND h) { return GetWindowLongA(h, GWL_STYLE); }
bool Shown(Pane* pane) { return pane && (Style(pane->Handle()) & WS_VISIBLE); }

std::string WindowText(HWND h) {
  char text[256] = "";
  GetWindowTextA(h, text, sizeof text);
  return text;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;
struct Described {
  int32_t classIndex;
  Pairs pairs;
};

// The classes of the table the descriptions name by index.
enum : int32_t {
  kWindowClass, kProbeEdit, kProbePush, kProbeCheck, kProbePopup, kProbeTabs, kStaticText,
  kGroupBox, kProgressBar, kCheckBox, kEditField, kPopupMenu, kClassCount
};

Pairs Place(const std::string& name, int left, int top, int width, int height, int tab = 0) {
  return {{"Name", name},
          {"Index", "-2147483648"},
          {"TabPanelIndex", std::to_string(tab)},
          {"Left", std::to_string(left)},
          {"Top", std::to_string(top)},
          {"Width", std::to_string(width)},
          {"Height", std::to_string(height)}};
}
Pairs With(Pairs base, const Pairs& more) {
  base.insert(base.end(), more.begin(), more.end());
  return base;
}

class ControlKinds : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    InitCommonControls();
    RegisterRuntimeWindowClasses();
  }

  void SetUp() override {
    gEvents.clear();
    gConsume.clear();
    fontsBefore = CachedFontCount();
    ClassRecord* window = Make("KindsTestWindow", "Window");
    ClassRecord* edit = Make("ProbeEdit", "EditField");
    Handle(edit, "KeyDown", OnKeyDown);
    Handle(edit, "TextChange", OnTextChange);
    Handle(edit, "SelChange", OnSelChange);
    Handle(edit, "GotFocus", OnGotFocus);
    Handle(edit, "LostFocus", OnLostFocus);
    ClassRecord* push = Make("ProbePush", "PushButton");
    Handle(push, "Action", OnAction);
    ClassRecord* check = Make("ProbeCheck", "CheckBox");
    Handle(check, "Action", OnCheckAction);
    ClassRecord* popup = Make("ProbePopup", "PopupMenu");
    Handle(popup, "Change", OnChange);
    ClassRecord* tabs = Make("ProbeTabs", "TabPanel");
    Handle(tabs, "Change", OnChange);
    table = {window,
             edit,
             push,
             check,
             popup,
             tabs,
             FindBuiltInClass("StaticText"),
             FindBuiltInClass("GroupBox"),
             FindBuiltInClass("ProgressBar"),
             FindBuiltInClass("CheckBox"),
             FindBuiltInClass("EditField"),
             FindBuiltInClass("PopupMenu")};
    SetClassTable(table.data(), kClassCount);
  }

  void TearDown() override {
    if (window) {
      CloseWindowObject(reinterpret_cast<WindowObject*>(window));
      RuntimeUnlockObject(window);
    }
    EXPECT_EQ(CachedFontCount(), fontsBefore) << "a pane kept its font";
    SetClassTable(nullptr, 0);
    for (auto it = made.rbegin(); it != made.rend(); ++it) DestroyClassRecord(*it);
  }

  ClassRecord* Make(const char* name, const char* super) {
    ClassRecord* s = FindBuiltInClass(super);
    ClassRecord* c = NewClassRecord(name);
    c->superclass = s;
    c->instanceSize = s->instanceSize;
    made.push_back(c);
    return c;
  }
  template <typename F>
  void Handle(ClassRecord* c, const char* event, F* code) {
    AddEventHandler(c, event, reinterpret_cast<CodeAddress>(code), 0);
  }

  // A window of 400 x 300 holding `controls`, built from its description.
  WindowObject* Build(const std::vector<Described>& controls, bool show = true) {
    std::vector<uint8_t> s;
    Pairs props = {{"Name", "Kinds"}, {"Title", "Kinds test"}, {"Frame", "0"},
                   {"Width", "400"},  {"Height", "300"},       {"Visible", "True"}};
    PutPackedInt(s, static_cast<int32_t>(props.size()));
    PutPackedInt(s, kWindowClass);
    for (auto& [n, v] : props) PutPackedString(s, n), PutPackedString(s, v);
    PutPackedInt(s, static_cast<int32_t>(controls.size()));
    for (const Described& c : controls) {
      PutPackedInt(s, c.classIndex);
      PutPackedInt(s, static_cast<int32_t>(c.pairs.size()));
      for (auto& [n, v] : c.pairs) PutPackedString(s, n), PutPackedString(s, v);
    }
    PutPackedInt(s, 0);
    window = CreateDescribedWindow(s);
    auto* w = reinterpret_cast<WindowObject*>(window);
    if (w && show) {
      ShowWindow(Hwnd(), SW_SHOW);
      SetForegroundWindow(Hwnd());
      UpdateWindow(Hwnd());
    }
    return w;
  }

  HWND Hwnd() const {
    return NativeWindowHandle(reinterpret_cast<WindowObject*>(window)->native);
  }
  ObjectRecord* Find(const char* name) {
    StringRef n = Text(name);
    return RuntimeControlFetch(window, n.get());
  }
  template <typename P = Pane>
  P* PaneOf(const char* name) {
    ObjectRecord* c = Find(name);
    return c ? static_cast<P*>(reinterpret_cast<RectControlObject*>(c)->pane) : nullptr;
  }
  HWND HandleOf(const char* name) {
    Pane* p = PaneOf(name);
    return p ? p->Handle() : nullptr;
  }

  std::vector<ClassRecord*> made;
  std::vector<ClassRecord*> table;
  ObjectRecord* window = nullptr;
  size_t fontsBefore = 0;
};

// --- creation through the kinds' own "CreatePane" -------------------------------------

TEST_F(ControlKinds, EveryKindBringsItsCreatePaneHandlerAndSubclassesKeepIt) {
  for (const char* kind : {"EditField", "StaticText", "PushButton", "CheckBox", "PopupMenu",
                           "GroupBox", "TabPanel", "ProgressBar"}) {
    ClassRecord* cls = FindBuiltInClass(kind);
    ASSERT_NE(cls, nullptr) << kind;
    EXPECT_TRUE(ClassIsa(cls, FindBuiltInClass("RectControl"))) << kind;
    EXPECT_NE(FindEventHandler(cls, gControlEvents[kControlCreatePane].declaration), nullptr)
        << kind;
  }
  EXPECT_EQ(FindEventHandler(table[kProbeEdit], gControlEvents[kControlCreatePane].declaration),
            reinterpret_cast<CodeAddress>(EditFieldCreatePane));
  // A control of another kind (a plug-in's) finds none of them.
  EXPECT_EQ(FindEventHandler(FindBuiltInClass("RectControl"),
                             gControlEvents[kControlCreatePane].declaration),
            nullptr);
}

TEST_F(ControlKinds, ThePropertiesUseTheNamedAccessors) {
  auto setter = [](const char* kind, const char* property) {
    const PropertyRecord* p = FindProperty(FindBuiltInClass(kind), property);
    return p ? p->setter : nullptr;
  };
  auto getter = [](const char* kind, const char* property) {
    const PropertyRecord* p = FindProperty(FindBuiltInClass(kind), property);
    return p ? p->getter : nullptr;
  };
  auto code = [](auto* f) { return reinterpret_cast<CodeAddress>(f); };
  EXPECT_EQ(setter("EditField", "Text"), code(editTextSetter));
  EXPECT_EQ(getter("EditField", "SelStart"), code(editSelStartGetter));
  EXPECT_EQ(setter("EditField", "BackColor"), code(editBackColorSetter));
  EXPECT_EQ(setter("EditField", "TextFont"), code(editTextFontSetter));
  EXPECT_EQ(setter("StaticText", "Caption"), code(staticCaptionSetter));
  EXPECT_EQ(setter("StaticText", "Text"), code(staticCaptionSetter));
  EXPECT_EQ(setter("StaticText", "Italic"), code(staticAttributeSetter));
  EXPECT_EQ(FindProperty(FindBuiltInClass("StaticText"), "Italic")->param,
            offsetof(StaticTextObject, italic));
  EXPECT_EQ(setter("PushButton", "Caption"), code(pushButtonTitleSetter));
  EXPECT_EQ(setter("PushButton", "Cancel"), code(pushButtonCancelSetter));
  EXPECT_EQ(setter("CheckBox", "State"), code(checkBoxValueSetter));
  EXPECT_EQ(getter("PopupMenu", "ListCount"), code(RuntimePopupCountGetter));
  EXPECT_EQ(setter("PopupMenu", "ListCount"), nullptr);
  EXPECT_EQ(getter("PopupMenu", "Text"), code(popupTextGetter));
  EXPECT_EQ(setter("GroupBox", "Caption"), code(groupCaptionSetter));
  EXPECT_EQ(setter("TabPanel", "Value"), code(tabPanelValueSetter));
  EXPECT_EQ(setter("ProgressBar", "Maximum"), code(progressMaximumSetter));
  EXPECT_NE(setter("ProgressBar", "Bold"), nullptr);
}

// --- PopupMenu -----------------------------------------------------------------------

TEST_F(ControlKinds, PopupRowsComeFromInitialValueWhichIsThenReleased) {
  Build({{kProbePopup, With(Place("Bytes", 10, 10, 100, 20), {{"InitialValue", "5\r6\r7\r8\x01\r"}})},
         {kPopupMenu, With(Place("Nothing", 10, 40, 100, 20), {{"InitialValue", ""}})},
         {kPopupMenu, With(Place("Choose", 10, 70, 100, 20), {{"InitialValue", "Choose..."}})}});
  ObjectRecord* bytes = Find("Bytes");
  ASSERT_EQ(RuntimePopupCountGetter(bytes), 4);
  EXPECT_EQ(Str(RuntimePopupGetRow(bytes, 0)), "5");
  EXPECT_EQ(Str(RuntimePopupGetRow(bytes, 2)), "7");
  EXPECT_EQ(Str(RuntimePopupGetRow(bytes, 3)), "8\x01");
  EXPECT_EQ(reinterpret_cast<PopupMenuObject*>(bytes)->initialValue, nullptr);
  EXPECT_EQ(RuntimePopupCountGetter(Find("Nothing")), 0);
  EXPECT_EQ(RuntimePopupCountGetter(Find("Choose")), 1);
  EXPECT_EQ(Str(RuntimePopupGetRow(Find("Choose"), 0)), "Choose...");
  EXPECT_EQ(RuntimePopupSelectionGetter(bytes), -1);
  EXPECT_EQ(Str(popupTextGetter(bytes)), "");
  // A drop-down list whose list hangs about 200 pixels below the control.
  HWND combo = HandleOf("Bytes");
  EXPECT_EQ(Style(combo) & 0x3, CBS_DROPDOWNLIST);
  RECT dropped = {};
  SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  EXPECT_GT(dropped.bottom - dropped.top, 180);
}

TEST_F(ControlKinds, PopupRowEntryPointsKeepRowsSelectionAndTags) {
  Build({{kProbePopup, With(Place("Rows", 10, 10, 100, 20), {{"InitialValue", "a\rb\rc"}})}});
  ObjectRecord* p = Find("Rows");
  StringRef x = Text("x"), y = Text("y"), z = Text("z");
  RuntimePopupAddRow(p, x.get());                  // a b c x
  RuntimePopupInsertRow(p, 1, y.get());            // a y b c x
  RuntimePopupInsertRow(p, 99, z.get());           // a y b c x z
  RuntimePopupAddSeparator(p);                     // ... -
  ASSERT_EQ(RuntimePopupCountGetter(p), 7);
  EXPECT_EQ(Str(RuntimePopupGetRow(p, 1)), "y");
  EXPECT_EQ(Str(RuntimePopupGetRow(p, 5)), "z");
  EXPECT_EQ(Str(RuntimePopupGetRow(p, 6)), "-");
  EXPECT_EQ(RuntimePopupGetRow(p, 7), nullptr);
  EXPECT_EQ(RuntimePopupGetRow(p, -1), nullptr);
  RuntimePopupRemoveRow(p, 6);
  RuntimePopupRemoveRow(p, 42);  // nothing
  EXPECT_EQ(RuntimePopupCountGetter(p), 6);

  ObjectRecord* tag = NewObjectOfClass(FindBuiltInClass("Object"));
  RuntimePopupSetRowTag(p, 2, tag);
  EXPECT_EQ(tag->refCount, 2u);
  RuntimePopupSelectionSetter(p, 0, 2);
  RuntimePopupSetRow(p, 2, z.get());  // the row keeps its tag and its selection
  EXPECT_EQ(Str(popupTextGetter(p)), "z");
  EXPECT_EQ(RuntimePopupSelectionGetter(p), 2);
  ObjectRecord* got = RuntimePopupGetRowTag(p, 2);
  EXPECT_EQ(got, tag);
  RuntimeUnlockObject(got);
  EXPECT_EQ(RuntimePopupGetRowTag(p, 1), nullptr);
  RuntimePopupRemoveRow(p, 2);
  EXPECT_EQ(tag->refCount, 1u);
  RuntimePopupSetRowTag(p, 0, tag);
  RuntimePopupEmpty(p);
  EXPECT_EQ(tag->refCount, 1u);
  EXPECT_EQ(RuntimePopupCountGetter(p), 0);
  EXPECT_EQ(RuntimePopupSelectionGetter(p), -1);
  RuntimePopupAddRow(p, x.get());
  RuntimePopupSetRowTag(p, 0, tag);
  RuntimeUnlockObject(tag);  // the row holds the last reference until the pane goes
  EXPECT_TRUE(gEvents.empty()) << "the runtime's own changes raise no Change";
}

TEST_F(ControlKinds, PopupRaisesChangeWhenTheUserPicksARow) {
  Build({{kProbePopup, With(Place("Pick", 10, 10, 100, 20), {{"InitialValue", "one\rtwo\rthree"}})}});
  ObjectRecord* p = Find("Pick");
  RuntimePopupSelectionSetter(p, 0, 0);
  SendMessageA(HandleOf("Pick"), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(RuntimePopupSelectionGetter(p), 1);
  EXPECT_EQ(Str(popupTextGetter(p)), "two");
  EXPECT_EQ(gEvents, (std::vector<std::string>{"Change Pick"}));
}

// --- TabPanel ------------------------------------------------------------------------

class TabPanelKind : public ControlKinds {
 protected:
  void BuildPanel() {
    Build({{kProbeTabs, With(Place("Tabs", 10, 10, 300, 200),
                             {{"TabDefinition", std::string("General\0Game Mode\0Connection", 28)}})},
           {kCheckBox, With(Place("One", 20, 40, 100, 20, 1), {{"Caption", "One"}})},
           {kCheckBox, With(Place("TwoA", 20, 40, 100, 20, 2), {{"Caption", "TwoA"}})},
           {kStaticText, With(Place("TwoB", 20, 70, 100, 20, 2), {{"Text", "TwoB"}})},
           {kCheckBox, With(Place("TwoHidden", 20, 100, 100, 20, 2), {{"Visible", "False"}})},
           {kCheckBox, With(Place("Three", 20, 40, 100, 20, 3), {{"Caption", "Three"}})},
           {kCheckBox, With(Place("NoTab", 150, 150, 100, 20, 0), {{"Caption", "NoTab"}})},
           {kCheckBox, With(Place("Outside", 320, 40, 60, 20, 1), {{"Caption", "Outside"}})},
           {kCheckBox, With(Place("OutsideTwo", 320, 80, 60, 20, 2), {{"Caption", "Two"}})},
           {kCheckBox, With(Place("Straddle", 250, 180, 100, 20, 3), {{"Caption", "Straddle"}})}});
  }
  std::string ShownSet() {
    std::string out;
    for (const char* n : {"One", "TwoA", "TwoB", "TwoHidden", "Three", "NoTab", "Outside",
                          "OutsideTwo", "Straddle"})
      if (Shown(PaneOf(n))) out += std::string(out.empty() ? "" : " ") + n;
    return out;
  }
};

TEST_F(TabPanelKind, TheTabsComeFromTheDefinitionAndTheFirstIsShownAtOnce) {
  BuildPanel();
  auto* pane = PaneOf<TabPanelPane>("Tabs");
  ASSERT_NE(pane, nullptr);
  EXPECT_EQ(ClassOf(pane->Handle()), "SysTabControl32");
  EXPECT_EQ(pane->TabCount(), 3);
  char title[32] = "";
  TCITEMA item = {};
  item.mask = TCIF_TEXT;
  item.pszText = title;
  item.cchTextMax = sizeof title;
  SendMessageA(pane->Handle(), TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(title, "Game Mode");
  EXPECT_EQ(tabPanelValueGetter(Find("Tabs")), 0);
  // Outside the panel nothing changed: OutsideTwo shows although tab 1 is up.
  EXPECT_EQ(ShownSet(), "One Outside OutsideTwo Straddle");
  EXPECT_TRUE(gEvents.empty());
}

TEST_F(TabPanelKind, SelectingTheSecondTabShowsExactlyItsControlsOnThePanel) {
  BuildPanel();
  ControlVisibleSetter(Find("Outside"), 0, false);  // the application's own choice
  tabPanelValueSetter(Find("Tabs"), 0, 1);
  EXPECT_EQ(tabPanelValueGetter(Find("Tabs")), 1);
  EXPECT_EQ(ShownSet(), "TwoA TwoB OutsideTwo Straddle");
  EXPECT_EQ(gEvents, (std::vector<std::string>{"Change Tabs"}));
  gEvents.clear();
  // The user's choice: the keyboard moves to the third tab.
  SendMessageA(PaneOf("Tabs")->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(tabPanelValueGetter(Find("Tabs")), 2);
  EXPECT_EQ(ShownSet(), "Three OutsideTwo Straddle");
  EXPECT_EQ(gEvents, (std::vector<std::string>{"Change Tabs"}));
}

TEST_F(TabPanelKind, ControlsOnThePanelStandOnItsBody) {
  BuildPanel();
  auto* pane = PaneOf<TabPanelPane>("Tabs");
  RectControlObject* one = reinterpret_cast<RectControlObject*>(Find("One"));
  EXPECT_EQ(TabPanelUnder(one), pane);
  EXPECT_EQ(TabPanelUnder(reinterpret_cast<RectControlObject*>(Find("Outside"))), nullptr);
  EXPECT_EQ(TabPanelUnder(reinterpret_cast<RectControlObject*>(Find("Straddle"))), nullptr);
  // The check box's background brush paints what the panel paints there.
  HWND box = one->pane->Handle();
  HDC dc = GetDC(box);
  HBRUSH brush = reinterpret_cast<HBRUSH>(
      SendMessageA(Hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(box)));
  ASSERT_NE(brush, nullptr);
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 4, 4);
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECT r = {0, 0, 4, 4};
  SetBrushOrgEx(memory, 10 - 20, 10 - 40, nullptr);
  FillRect(memory, &r, brush);
  COLORREF painted = GetPixel(memory, 1, 1);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(box, dc);
  // The panel's own drawing at the same place (30 + 1, 50 + 1 in the window).
  HDC tab = CreateCompatibleDC(nullptr);
  HDC screen = GetDC(nullptr);
  HBITMAP whole = CreateCompatibleBitmap(screen, 300, 200);
  ReleaseDC(nullptr, screen);
  old = SelectObject(tab, whole);
  RECT all = {0, 0, 300, 200};
  FillRect(tab, &all, GetSysColorBrush(COLOR_BTNFACE));
  SendMessageA(pane->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(tab), PRF_CLIENT | PRF_ERASEBKGND);
  EXPECT_EQ(painted, GetPixel(tab, 11, 31));
  SelectObject(tab, old);
  DeleteObject(whole);
  DeleteDC(tab);
}

// --- EditField -----------------------------------------------------------------------

Pairs EditPairs(bool styled, bool multiLine, bool scrollBar, bool border) {
  auto b = [](bool v) { return std::string(v ? "True" : "False"); };
  // Enough lines to need a vertical scroll bar where there may be one.
  return {{"Styled", b(styled)}, {"MultiLine", b(multiLine)}, {"ScrollBar", b(scrollBar)},
          {"Border", b(border)}, {"Text", "Hello world\r2\r3\r4\r5\r6\r7\r8\r9\r10"}};
}

TEST_F(ControlKinds, AnEditFieldsPaneIsOneOfFourChoices) {
  Build({{kEditField, With(Place("Plain", 10, 10, 100, 20), EditPairs(false, false, false, true))},
         {kEditField, With(Place("Lines", 10, 40, 100, 60), EditPairs(false, true, true, true))},
         {kEditField, With(Place("Bare", 10, 110, 100, 60), EditPairs(false, true, false, false))},
         {kEditField, With(Place("StyledLines", 120, 10, 100, 60), EditPairs(true, true, false, false))},
         {kEditField, With(Place("StyledLine", 120, 80, 100, 20), EditPairs(true, false, false, false))}});
  EXPECT_NE(GetModuleHandleA("RICHED32.DLL"), nullptr);
  HWND plain = HandleOf("Plain");
  EXPECT_STREQ(ClassOf(plain).c_str(), "Edit");
  EXPECT_TRUE(Style(plain) & ES_AUTOHSCROLL);
  EXPECT_FALSE(Style(plain) & ES_MULTILINE);
  EXPECT_TRUE(GetWindowLongA(plain, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  for (const char* rich : {"Lines", "Bare", "StyledLines", "StyledLine"}) {
    HWND h = HandleOf(rich);
    EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, ClassOf(h).c_str(), -1, "RichEdit", -1),
              CSTR_EQUAL)
        << rich << " is " << ClassOf(h);
    EXPECT_EQ(SendMessageA(h, EM_GETEVENTMASK, 0, 0), ENM_CHANGE | ENM_SELCHANGE) << rich;
    EXPECT_TRUE(PaneOf<EditPane>(rich)->Rich());
  }
  EXPECT_EQ(Style(HandleOf("Lines")) & (ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL),
            ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL);
  EXPECT_FALSE(Style(HandleOf("Bare")) & WS_VSCROLL);  // no ScrollBar
  EXPECT_FALSE(GetWindowLongA(HandleOf("Bare"), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(Style(HandleOf("StyledLines")) & (ES_MULTILINE | WS_VSCROLL), ES_MULTILINE | WS_VSCROLL);
  EXPECT_EQ(Style(HandleOf("StyledLine")) & (ES_MULTILINE | ES_AUTOHSCROLL), ES_AUTOHSCROLL);
  EXPECT_FALSE(PaneOf("Plain")->TakesReturn());
  EXPECT_TRUE(PaneOf("Lines")->TakesReturn());
  EXPECT_FALSE(PaneOf("StyledLine")->TakesReturn());
  EXPECT_EQ(Str(editTextGetter(Find("Plain"))).substr(0, 11), "Hello world");
  EXPECT_EQ(Str(editTextGetter(Find("StyledLine"))).substr(0, 11), "Hello world");
  EXPECT_EQ(Str(editTextGetter(Find("Lines"))).substr(0, 13), "Hello world\r2");
  EXPECT_TRUE(gEvents.empty()) << "making the pane raised " << gEvents.front();
}

TEST_F(ControlKinds, AKeyDownHandlerThatReturnsTrueConsumesTheKey) {
  Build({{kProbeEdit, With(Place("Field", 10, 10, 100, 20), {{"Text", ""}})},
         {kProbeEdit, With(Place("Memo", 10, 40, 100, 60), {{"MultiLine", "True"}})}});
  gConsume = "x";
  for (const char* name : {"Field", "Memo"}) {
    gEvents.clear();
    for (char c : std::string("axb")) SendMessageA(HandleOf(name), WM_CHAR, c, 1);
    EXPECT_EQ(Str(editTextGetter(Find(name))), "ab") << name;
    std::vector<std::string> keys;
    for (const std::string& e : gEvents)
      if (e.rfind("KeyDown", 0) == 0 || e.rfind("TextChange", 0) == 0) keys.push_back(e);
    std::string n(name);
    EXPECT_EQ(keys, (std::vector<std::string>{"KeyDown a " + n, "TextChange " + n, "KeyDown x " + n,
                                              "KeyDown b " + n, "TextChange " + n}));
  }
}

TEST_F(ControlKinds, TextAndSelectionGoThroughThePane) {
  Build({{kProbeEdit, With(Place("Field", 10, 10, 200, 20), {{"Text", "stored"}})},
         {kProbeEdit, With(Place("Memo", 10, 40, 200, 60), {{"MultiLine", "True"}, {"Text", "stored"}})}});
  for (const char* name : {"Field", "Memo"}) {
    SCOPED_TRACE(name);
    ObjectRecord* f = Find(name);
    StringRef text = Text("Hello world");
    gEvents.clear();
    editTextSetter(f, 0, text.get());
    EXPECT_EQ(reinterpret_cast<EditFieldObject*>(f)->text, text.get());
    EXPECT_EQ(Str(editTextGetter(f)), "Hello world");
    EXPECT_EQ(std::count(gEvents.begin(), gEvents.end(), "TextChange " + std::string(name)), 1);
    // The user typed over it: the getter reads the pane.
    SetWindowTextA(HandleOf(name), "Hello there world");
    EXPECT_EQ(Str(editTextGetter(f)), "Hello there world");

    editSelStartSetter(f, 0, 2);
    editSelLengthSetter(f, 0, 6);  // 2..8
    EXPECT_EQ(editSelStartGetter(f), 2);
    EXPECT_EQ(editSelLengthGetter(f), 6);
    EXPECT_EQ(Str(editSelTextGetter(f)), "llo th");
    editSelStartSetter(f, 0, 4);  // the old end lies after 4: 4..8
    EXPECT_EQ(editSelStartGetter(f), 4);
    EXPECT_EQ(editSelLengthGetter(f), 4);
    editSelStartSetter(f, 0, 9);  // it does not: an insertion point
    EXPECT_EQ(editSelStartGetter(f), 9);
    EXPECT_EQ(editSelLengthGetter(f), 0);
    editSelStartSetter(f, 0, 6);
    editSelLengthSetter(f, 0, 5);
    StringRef here = Text("HERE");
    gEvents.clear();
    editSelTextSetter(f, 0, here.get());
    EXPECT_EQ(Str(editTextGetter(f)), "Hello HERE world");
    EXPECT_NE(SendMessageA(HandleOf(name), EM_CANUNDO, 0, 0), 0);
    EXPECT_EQ(std::count(gEvents.begin(), gEvents.end(), "TextChange " + std::string(name)), 1);
    EXPECT_GE(std::count(gEvents.begin(), gEvents.end(), "SelChange " + std::string(name)), 1);
  }
  // Without a pane: the stored text, and selections of nothing.
  ObjectRecord* loose = NewObjectOfClass(FindBuiltInClass("EditField"));
  StringRef kept = Text("kept");
  editTextSetter(loose, 0, kept.get());
  EXPECT_EQ(Str(editTextGetter(loose)), "kept");
  editSelStartSetter(loose, 0, 2);
  EXPECT_EQ(editSelStartGetter(loose), 0);
  EXPECT_EQ(editSelTextGetter(loose), nullptr);
  RuntimeUnlockObject(loose);
}

TEST_F(ControlKinds, TheEditFieldServesTheEditMenuAsAUserExpects) {
  Build({{kEditField, With(Place("Field", 10, 10, 200, 20), {{"Text", "Hello world"}})},
         {kEditField, With(Place("Locked", 10, 40, 200, 20), {{"Text", "Read me"}, {"ReadOnly", "True"}})},
         {kEditField, With(Place("Empty", 10, 70, 200, 20), {{"Text", ""}})}});
  static std::vector<std::string> enabled;
  auto enable = [](const char* item) { enabled.push_back(item); };
  auto items = [&](const char* name) {
    enabled.clear();
    PaneOf(name)->EnableMenuItems(enable);
    std::string out;
    for (auto& e : enabled) out += (out.empty() ? "" : " ") + e;
    return out;
  };
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  ObjectRecord* f = Find("Field");
  EXPECT_EQ(items("Field"), "EditSelectAll");  // no selection, nothing to paste
  EXPECT_EQ(items("Empty"), "");
  editSelLengthSetter(f, 0, 5);
  EXPECT_EQ(items("Field"), "EditCut EditCopy EditClear EditSelectAll");
  EXPECT_TRUE(PaneOf("Field")->HandleMenuItem("EditCut"));
  EXPECT_EQ(Str(editTextGetter(f)), " world");
  EXPECT_EQ(items("Field"), "EditUndo EditPaste EditSelectAll");
  editSelStartSetter(f, 0, 6);
  EXPECT_TRUE(PaneOf("Field")->HandleMenuItem("editpaste"));  // any letter case
  EXPECT_EQ(Str(editTextGetter(f)), " worldHello");
  EXPECT_TRUE(PaneOf("Field")->HandleMenuItem("EditUndo"));
  EXPECT_EQ(Str(editTextGetter(f)), " world");
  EXPECT_TRUE(PaneOf("Field")->HandleMenuItem("EditSelectAll"));
  EXPECT_EQ(editSelLengthGetter(f), 6);
  EXPECT_TRUE(PaneOf("Field")->HandleMenuItem("EditClear"));
  EXPECT_EQ(Str(editTextGetter(f)), "");
  EXPECT_FALSE(PaneOf("Field")->HandleMenuItem("EditCopy"));  // nothing selected
  EXPECT_FALSE(PaneOf("Field")->HandleMenuItem("FileQuit"));  // not an edit command
  // A read-only field copies but does not change.
  ObjectRecord* locked = Find("Locked");
  editSelLengthSetter(locked, 0, 4);
  EXPECT_EQ(items("Locked"), "EditCopy EditSelectAll");
  EXPECT_FALSE(PaneOf("Locked")->HandleMenuItem("EditCut"));
  EXPECT_FALSE(PaneOf("Locked")->HandleMenuItem("EditPaste"));
  EXPECT_TRUE(PaneOf("Locked")->HandleMenuItem("EditCopy"));
  EXPECT_EQ(Str(editTextGetter(locked)), "Read me");
  OpenClipboard(nullptr);
  HANDLE data = GetClipboardData(CF_TEXT);
  std::string clip = data ? static_cast<const char*>(GlobalLock(data)) : "";
  if (data) GlobalUnlock(data);
  CloseClipboard();
  EXPECT_EQ(clip, "Read");
}

TEST_F(ControlKinds, AFieldThatAcceptsTabsTakesTheTabKey) {
  Build({{kProbeEdit, With(Place("Tabbed", 10, 10, 200, 60), {{"MultiLine", "True"}, {"AcceptTabs", "True"}})},
         {kProbeEdit, With(Place("Untabbed", 10, 80, 200, 20), {})}});
  MSG tab = {HandleOf("Tabbed"), WM_KEYDOWN, VK_TAB, 1, 0, {0, 0}};
  EXPECT_TRUE(PaneOf("Tabbed")->KeyDown(tab));
  EXPECT_EQ(Str(editTextGetter(Find("Tabbed"))), "\t");
  EXPECT_NE(std::find(gEvents.begin(), gEvents.end(), "KeyDown \t Tabbed"), gEvents.end());
  tab.hwnd = HandleOf("Untabbed");
  EXPECT_FALSE(PaneOf("Untabbed")->KeyDown(tab));
}

TEST_F(ControlKinds, AClickIntoAFieldMakesItTheActivePane) {
  Build({{kProbeEdit, With(Place("First", 10, 10, 200, 20), {})},
         {kProbeEdit, With(Place("Second", 10, 40, 200, 20), {})}});
  RuntimeSetFocus(Find("First"));
  EXPECT_EQ(ActivePane(), PaneOf("First"));
  gEvents.clear();
  SetFocus(HandleOf("Second"));  // what a click or the Tab key does
  EXPECT_EQ(ActivePane(), PaneOf("Second"));
  EXPECT_EQ(FocusedPaneOf(reinterpret_cast<WindowObject*>(window)), PaneOf("Second"));
  EXPECT_EQ(gEvents, (std::vector<std::string>{"LostFocus First", "GotFocus Second"}));
}

TEST_F(ControlKinds, ChangingMultiLineRemakesThePaneWithItsText) {
  Build({{kEditField, With(Place("Field", 10, 10, 200, 60), {{"Text", "one line"}})}});
  ObjectRecord* f = Find("Field");
  HWND before = HandleOf("Field");
  SetWindowTextA(before, "typed");
  editMultiLineSetter(f, 0, true);
  EXPECT_FALSE(IsWindow(before));
  EXPECT_TRUE(Style(HandleOf("Field")) & ES_MULTILINE);
  EXPECT_EQ(Str(editTextGetter(f)), "typed");
  editMultiLineSetter(f, 0, true);  // unchanged: the pane stays
  EXPECT_TRUE(editMultiLineGetter(f));
}

TEST_F(ControlKinds, APlainFieldTakesItsColoursFromItsControlWidenedAndNarrowed) {
  EXPECT_EQ(WidenColor(0x123456).red, 0x1212);
  EXPECT_EQ(WidenColor(0x123456).green, 0x3434);
  EXPECT_EQ(WidenColor(0x123456).blue, 0x5656);
  EXPECT_EQ(ToColorRef(WidenColor(0x123456)), RGB(0x12, 0x34, 0x56));
  Build({{kEditField, With(Place("Colored", 10, 10, 200, 20),
                           {{"TextColor", std::to_string(0x112233)}, {"BackColor", std::to_string(0xFFEEDD)}})}});
  HDC dc = CreateCompatibleDC(nullptr);
  HWND h = HandleOf("Colored");
  HBRUSH brush = reinterpret_cast<HBRUSH>(
      SendMessageA(Hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h)));
  EXPECT_NE(brush, nullptr);
  EXPECT_EQ(GetTextColor(dc), RGB(0x11, 0x22, 0x33));
  EXPECT_EQ(GetBkColor(dc), RGB(0xFF, 0xEE, 0xDD));
  editTextColorSetter(Find("Colored"), 0, 0x0000FF);
  SendMessageA(Hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h));
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0xFF));
  DeleteDC(dc);
}

// --- StaticText ---------------------------------------------------------------------

// Draws `paint` into a white bitmap of the pane's size; returns its pixels.
template <typename F>
std::vector<COLORREF> Render(int width, int height, F paint) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT r = {0, 0, width, height};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  paint(dc);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(dc, x, y));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return pixels;
}

TEST_F(ControlKinds, StaticTextDrawsRightAlignedWordWrappedWithTheAmpersandAsIs) {
  const int width = 120, height = 60;
  Build({{kStaticText, With(Place("Label", 10, 10, width, height),
                            {{"Text", "Fish & Chips & mushy peas, right aligned"},
                             {"TextAlign", "2"},
                             {"TextColor", "128"},
                             {"TextFont", "System"},
                             {"TextSize", "12"}})}});
  auto* pane = PaneOf<StaticTextPane>("Label");
  ASSERT_NE(pane, nullptr);
  EXPECT_EQ(ClassOf(pane->Handle()), "ZB_Pane");
  EXPECT_FALSE(pane->CanTakeFocus());
  std::vector<COLORREF> drawn = Render(width, height, [&](HDC dc) { pane->Paint(dc); });
  const StaticTextPane::Drawn& last = pane->LastDrawn();
  EXPECT_EQ(last.format, static_cast<UINT>(DT_WORDBREAK | DT_NOPREFIX | DT_RIGHT));
  EXPECT_EQ(last.box.bottom, 32767);
  EXPECT_EQ(last.box.right, width);
  EXPECT_EQ(last.color, RGB(0, 0, 128));

  auto same = [&](UINT format) {
    return Render(width, height, [&](HDC dc) {
      HGDIOBJ old = SelectObject(dc, pane->Font());
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(0, 0, 128));
      RECT box = {0, 0, width, 32767};
      DrawTextA(dc, last.text.c_str(), -1, &box, format);
      SelectObject(dc, old);
    });
  };
  EXPECT_EQ(drawn, same(DT_WORDBREAK | DT_NOPREFIX | DT_RIGHT));
  EXPECT_NE(drawn, same(DT_WORDBREAK | DT_RIGHT)) << "the ampersands were taken as prefixes";
  EXPECT_NE(drawn, same(DT_WORDBREAK | DT_NOPREFIX)) << "not right-aligned";
  // Ink reaches the right edge and lies on more than one line.
  int rightmost = -1, lowest = -1;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (drawn[y * width + x] == RGB(0, 0, 128)) rightmost = std::max(rightmost, x), lowest = y;
  EXPECT_GE(rightmost, width - 6);
  EXPECT_GT(lowest, 20);
}

TEST_F(ControlKinds, EveryStaticTextSetterStoresThenRedraws) {
  Build({{kStaticText, With(Place("Label", 10, 10, 200, 40), {{"Text", "Offline"}})}});
  ObjectRecord* label = Find("Label");
  auto* pane = PaneOf<StaticTextPane>("Label");
  UpdateWindow(Hwnd());
  EXPECT_EQ(pane->LastDrawn().text, "Offline");
  StringRef text = Text("Receiving...");
  staticCaptionSetter(label, 0, text.get());
  EXPECT_EQ(pane->LastDrawn().text, "Receiving...");
  EXPECT_EQ(WindowText(pane->Handle()), "Receiving...");
  staticTextAlignSetter(label, 0, 1);
  EXPECT_EQ(pane->LastDrawn().format & DT_CENTER, static_cast<UINT>(DT_CENTER));
  staticTextColorSetter(label, 0, 0xFF0000);
  EXPECT_EQ(pane->LastDrawn().color, RGB(255, 0, 0));
  staticAttributeSetter(label, offsetof(StaticTextObject, bold), true);
  EXPECT_EQ(reinterpret_cast<StaticTextObject*>(label)->bold, 1);
  LOGFONTA lf = {};
  GetObjectA(pane->Font(), sizeof lf, &lf);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  staticAttributeSetter(label, 0, true);  // no field of that offset: nothing
  StringRef geneva = Text("Geneva");
  staticTextFontSetter(label, 0, geneva.get());
  staticTextSizeSetter(label, 0, 9);
  EXPECT_EQ(pane->FontName(), "Geneva");
  EXPECT_EQ(pane->FontSize(), 9);
  EXPECT_EQ(reinterpret_cast<StaticTextObject*>(label)->textSize, 9);
}

// Counts the WM_PAINTs that reach one window (sent ones included, as
// UpdateWindow sends them), through a hook of this thread.
int gPaints = 0;
HWND gPainted = nullptr;
LRESULT CALLBACK CountPaints(int code, WPARAM wParam, LPARAM lParam) {
  const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && m->hwnd == gPainted && m->message == WM_PAINT) ++gPaints;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A status line set to the same text at every step of long work must not
// redraw itself (and what lies over it) each time.
TEST_F(ControlKinds, TheSameCaptionAgainPaintsNothing) {
  Build({{kStaticText, With(Place("Label", 10, 10, 200, 40), {{"Text", "Offline"}})}});
  ObjectRecord* label = Find("Label");
  UpdateWindow(Hwnd());
  gPainted = PaneOf<StaticTextPane>("Label")->Handle();
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CountPaints, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  StringRef sending = Text("Sending...");
  StringRef again = Text("Sending...");
  StringRef listening = Text("Listening");
  staticCaptionSetter(label, 0, sending.get());
  int first = gPaints;
  staticCaptionSetter(label, 0, again.get());
  UpdateWindow(Hwnd());
  int repeated = gPaints - first;
  staticCaptionSetter(label, 0, listening.get());
  int changed = gPaints - first - repeated;
  UnhookWindowsHookEx(hook);
  EXPECT_GE(first, 1);
  EXPECT_EQ(repeated, 0);
  EXPECT_GE(changed, 1);
  EXPECT_EQ(Str(stringGetter(label, offsetof(StaticTextObject, text))), "Listening");
}

// --- PushButton, CheckBox, GroupBox ---------------------------------------------------

TEST_F(ControlKinds, PushButtonsRaiseActionOnAClickAndWhenPushed) {
  Build({{kProbePush, With(Place("Save", 10, 10, 80, 24), {{"Caption", "Save"}, {"Default", "True"}})},
         {kProbePush, With(Place("Cancel", 100, 10, 80, 24), {{"Caption", "Cancel"}, {"Cancel", "True"}})}});
  HWND save = HandleOf("Save");
  EXPECT_EQ(WindowText(save), "Save");
  EXPECT_EQ(Style(save) & 0x0F, BS_DEFPUSHBUTTON);
  EXPECT_EQ(Style(HandleOf("Cancel")) & 0x0F, BS_PUSHBUTTON);
  EXPECT_TRUE(PaneOf("Save")->IsDefaultButton());
  EXPECT_FALSE(PaneOf("Save")->IsCancelButton());
  EXPECT_TRUE(PaneOf("Cancel")->IsCancelButton());
  SendMessageA(save, BM_CLICK, 0, 0);
  RuntimeSetFocus(Find("Save"));
  pushButtonPush(Find("Cancel"));
  EXPECT_EQ(ActivePane(), PaneOf("Save")) << "pushing took the focus";
  PaneOf("Save")->Push();
  MSG enter = {HandleOf("Cancel"), WM_KEYDOWN, VK_RETURN, 1, 0, {0, 0}};
  EXPECT_TRUE(PaneOf("Cancel")->KeyDown(enter));
  controlEnabledSetter(Find("Save"), 0, false);
  pushButtonPush(Find("Save"));  // a disabled button is not pushed
  EXPECT_EQ(gEvents, (std::vector<std::string>{"Action Save", "Action Cancel", "Action Save",
                                               "Action Cancel"}));
  pushButtonDefaultSetter(Find("Save"), 0, false);
  pushButtonDefaultSetter(Find("Cancel"), 0, true);
  EXPECT_EQ(Style(save) & 0x0F, BS_PUSHBUTTON);
  EXPECT_EQ(Style(HandleOf("Cancel")) & 0x0F, BS_DEFPUSHBUTTON);
  EXPECT_TRUE(PaneOf("Cancel")->IsDefaultButton());
  StringRef caption = Text("Keep");
  pushButtonTitleSetter(Find("Save"), 0, caption.get());
  EXPECT_EQ(WindowText(save), "Keep");
  EXPECT_EQ(Str(pushButtonTitleGetter(Find("Save"))), "Keep");
}

TEST_F(ControlKinds, ACheckBoxTurnsItsCheckOverItselfThenRaisesAction) {
  Build({{kProbeCheck, With(Place("Check", 10, 10, 120, 20), {{"Caption", "Connect"}, {"Value", "True"}})}});
  HWND box = HandleOf("Check");
  ObjectRecord* c = Find("Check");
  EXPECT_EQ(Style(box) & 0x0F, BS_CHECKBOX);  // not an automatic one
  EXPECT_TRUE(Style(box) & BS_NOTIFY);
  EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageA(box, BM_CLICK, 0, 0);
  EXPECT_FALSE(checkBoxValueGetter(c));
  EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  SendMessageA(box, BM_CLICK, 0, 0);
  EXPECT_TRUE(checkBoxValueGetter(c));
  checkBoxValueSetter(c, 0, false);  // the application's own change: no Action
  EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(gEvents, (std::vector<std::string>{"Action(unchecked) Check", "Action(checked) Check"}));
}

TEST_F(ControlKinds, AGroupBoxIsACaptionedFrameThatTakesNoFocus) {
  Build({{kGroupBox, With(Place("Setup", 10, 10, 200, 100), {{"Caption", "Setup"}, {"Bold", "True"}})}});
  HWND group = HandleOf("Setup");
  EXPECT_EQ(ClassOf(group), "Button");
  EXPECT_EQ(Style(group) & 0x0F, BS_GROUPBOX);
  EXPECT_EQ(WindowText(group), "Setup");
  EXPECT_FALSE(PaneOf("Setup")->CanTakeFocus());
  LOGFONTA lf = {};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(group, WM_GETFONT, 0, 0)), sizeof lf, &lf);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
}

// --- fonts ---------------------------------------------------------------------------

TEST_F(ControlKinds, PanesTakeTheirFontsFromTheCacheAndFollowChanges) {
  Build({{kCheckBox, With(Place("A", 10, 10, 120, 20), {{"TextFont", "Geneva"}, {"TextSize", "9"}})},
         {kCheckBox, With(Place("B", 10, 40, 120, 20), {{"TextFont", "geneva"}, {"TextSize", "9"}})},
         {kPopupMenu, With(Place("C", 10, 70, 120, 20), {})}});
  HFONT a = reinterpret_cast<HFONT>(SendMessageA(HandleOf("A"), WM_GETFONT, 0, 0));
  EXPECT_EQ(a, static_cast<KindPane*>(PaneOf("A"))->Font());
  EXPECT_EQ(a, reinterpret_cast<HFONT>(SendMessageA(HandleOf("B"), WM_GETFONT, 0, 0)));  // shared
  LOGFONTA lf = {};
  GetObjectA(a, sizeof lf, &lf);
  EXPECT_STREQ(lf.lfFaceName, "Tahoma");
  EXPECT_EQ(lf.lfHeight, -9);
  // Without a font of its own a pane shows the default one.
  EXPECT_EQ(static_cast<KindPane*>(PaneOf("C"))->FontSize(), DefaultFontSize() > 0 ? DefaultFontSize() : 12);
  checkBoxBoldSetter(Find("A"), 0, true);
  EXPECT_TRUE(checkBoxBoldGetter(Find("A")));
  HFONT bold = reinterpret_cast<HFONT>(SendMessageA(HandleOf("A"), WM_GETFONT, 0, 0));
  EXPECT_NE(bold, a);
  GetObjectA(bold, sizeof lf, &lf);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  popupTextSizeSetter(Find("C"), 0, 15);
  EXPECT_EQ(popupTextSizeGetter(Find("C")), 15);
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(HandleOf("C"), WM_GETFONT, 0, 0)), sizeof lf, &lf);
  EXPECT_EQ(lf.lfHeight, -15);
  // TearDown checks that closing the window gave every font back.
}

// --- ProgressBar ---------------------------------------------------------------------

TEST_F(ControlKinds, AProgressBarShowsItsValueAndSweepsWhileItsMaximumIsZero) {
  Build({{kProgressBar, With(Place("Bar", 10, 10, 99, 12), {{"Maximum", "100"}, {"Value", "50"}})}});
  ObjectRecord* bar = Find("Bar");
  auto* pane = PaneOf<ProgressPane>("Bar");
  HWND h = pane->Handle();
  EXPECT_EQ(ClassOf(h), "msctls_progress32");
  EXPECT_EQ(SendMessageA(h, PBM_GETPOS, 0, 0), 50);
  EXPECT_EQ(SendMessageA(h, PBM_GETRANGE, FALSE, 0), 100);
  EXPECT_EQ(pane->Sweeping(), nullptr);
  EXPECT_EQ(MsUntilPeriodicTaskDue(GetTickCount()), kNothingDue);

  progressMaximumSetter(bar, 0, 0);
  EXPECT_EQ(progressMaximumGetter(bar), 0);
  SweepPane* sweep = pane->Sweeping();
  ASSERT_NE(sweep, nullptr);
  HWND overlay = sweep->Handle();
  EXPECT_EQ(ClassOf(overlay), "ZB_Pane");
  EXPECT_EQ(GetParent(overlay), Hwnd());
  EXPECT_EQ(GetWindow(overlay, GW_HWNDFIRST), overlay);  // on top of the bar
  ASSERT_NE(pane->SweepTask(), nullptr);
  EXPECT_LE(MsUntilPeriodicTaskDue(GetTickCount()), 160u);  // the pump keeps stepping

  // The task moves the block one step per run.
  std::vector<int> places;
  DWORD start = GetTickCount();
  while (GetTickCount() - start < 1200) {
    RunDuePeriodicTasks();
    if (places.empty() || places.back() != sweep->State().position)
      places.push_back(sweep->State().position);
    Sleep(10);
  }
  EXPECT_GE(places.size(), 4u);
  for (size_t i = 1; i < places.size(); ++i) EXPECT_LE(std::abs(places[i] - places[i - 1]), 1);

  // A frame and a six-pixel block in the selection colour at x = 8 * position.
  std::vector<COLORREF> pixels = Render(99, 12, [&](HDC dc) { sweep->Paint(dc); });
  int x = 8 * sweep->State().position;
  auto at = [&](int px, int py) { return pixels[py * 99 + px]; };
  COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(at(x + i, 6), highlight) << x + i;
  EXPECT_NE(at(x + 6, 6), highlight);
  EXPECT_EQ(at(x + 2, 2), highlight);
  EXPECT_NE(at(x + 2, 1), highlight);
  EXPECT_EQ(at(50, 0), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(at(98, 6), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(at(50, 11), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(at(0, 6), GetSysColor(COLOR_BTNHIGHLIGHT));

  // Hiding the bar hides the block too; a maximum again ends the sweep.
  ControlVisibleSetter(bar, 0, false);
  EXPECT_FALSE(Style(overlay) & WS_VISIBLE);
  ControlVisibleSetter(bar, 0, true);
  progressMaximumSetter(bar, 0, 200);
  EXPECT_EQ(pane->Sweeping(), nullptr);
  EXPECT_FALSE(IsWindow(overlay));
  EXPECT_EQ(MsUntilPeriodicTaskDue(GetTickCount()), kNothingDue);
  EXPECT_EQ(SendMessageA(h, PBM_GETRANGE, FALSE, 0), 200);
  progressValueSetter(bar, 0, 150);
  EXPECT_EQ(SendMessageA(h, PBM_GETPOS, 0, 0), 150);
  EXPECT_EQ(progressValueGetter(bar), 150);
}

TEST_F(ControlKinds, ABarMadeWithMaximumZeroSweepsFromTheStartAndStopsWithItsWindow) {
  Build({{kProgressBar, With(Place("Busy", 10, 10, 80, 12), {{"Maximum", "0"}})}});
  auto* pane = PaneOf<ProgressPane>("Busy");
  ASSERT_NE(pane->Sweeping(), nullptr);
  HWND overlay = pane->Sweeping()->Handle();
  CloseWindowObject(reinterpret_cast<WindowObject*>(window));
  RuntimeUnlockObject(window);
  window = nullptr;
  EXPECT_FALSE(IsWindow(overlay));
  EXPECT_EQ(MsUntilPeriodicTaskDue(GetTickCount()), kNothingDue);
}

}  // namespace
