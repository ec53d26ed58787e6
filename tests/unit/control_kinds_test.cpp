// The built-in control kinds in real windows built from stored descriptions,
// so the kinds' own "CreatePane" handlers make the panes.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "described_window.h"
#include "menu_test_support.h"
#include "objects/class_table.h"
#include "ui/focus.h"
#include "ui/drawing/fonts.h"
#include "ui/kinds/kind_pane.h"
#include "ui/kinds/progress_bar.h"
#include "ui/kinds/static_text.h"
#include "ui/kinds/tab_panel.h"
#include "ui/loop_tasks.h"
#include "ui/runtime_ui.h"

namespace {

using menutest::Code;
using menutest::Described;
using menutest::Pairs;
using menutest::Place;
using menutest::Text;
using Events = std::vector<std::string>;

Events gEvents;

void Log(ObjectRecord* c, const std::string& what) {
  gEvents.push_back(what + " " + std::string(StringView(reinterpret_cast<ControlObject*>(c)->name)));
}
void __cdecl OnAction(ObjectRecord* c) { Log(c, "Action"); }
void __cdecl OnChange(ObjectRecord* c) { Log(c, "Change"); }
void __cdecl OnTextChange(ObjectRecord* c) { Log(c, "TextChange"); }
void __cdecl OnSelChange(ObjectRecord* c) { Log(c, "SelChange"); }
void __cdecl OnGotFocus(ObjectRecord* c) { Log(c, "GotFocus"); }
void __cdecl OnLostFocus(ObjectRecord* c) { Log(c, "LostFocus"); }
bool __cdecl OnKeyDown(ObjectRecord* c, StringRecord* key) {
  Log(c, "KeyDown " + std::string(StringView(key)));
  return false;
}

std::string Str(StringRecord* owned) { return std::string(StringRef::Adopt(owned).View()); }
LONG Style(HWND h) { return GetWindowLongA(h, GWL_STYLE); }
LOGFONTA FontOf(HFONT font) {
  LOGFONTA lf = {};
  GetObjectA(font, sizeof lf, &lf);
  return lf;
}

enum : int32_t {
  kWindowClass, kProbeEdit, kProbePush, kProbeCheck, kProbePopup, kProbeTabs, kStaticText,
  kGroupBox, kProgressBar, kCheckBox, kEditField, kPopupMenu, kClassCount
};

class ControlKinds : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    InitCommonControls();
    RegisterRuntimeWindowClasses();
  }

  void SetUp() override {
    gEvents.clear();
    fontsBefore = CachedFontCount();
    table = {classes.Make("KindsTestWindow", "Window"),
             classes.Make("ProbeEdit", "EditField",
                          {{"KeyDown", Code(OnKeyDown)},
                           {"TextChange", Code(OnTextChange)},
                           {"SelChange", Code(OnSelChange)},
                           {"GotFocus", Code(OnGotFocus)},
                           {"LostFocus", Code(OnLostFocus)}}),
             classes.Make("ProbePush", "PushButton", {{"Action", Code(OnAction)}}),
             classes.Make("ProbeCheck", "CheckBox", {{"Action", Code(OnAction)}}),
             classes.Make("ProbePopup", "PopupMenu", {{"Change", Code(OnChange)}}),
             classes.Make("ProbeTabs", "TabPanel", {{"Change", Code(OnChange)}})};
    for (const char* builtIn : {"StaticText", "GroupBox", "ProgressBar", "CheckBox", "EditField", "PopupMenu"})
      table.push_back(FindBuiltInClass(builtIn));
    SetClassTable(table.data(), kClassCount);
  }

  void TearDown() override {
    if (window) {
      CloseWindowObject(reinterpret_cast<WindowObject*>(window));
      RuntimeUnlockObject(window);
    }
    EXPECT_EQ(CachedFontCount(), fontsBefore) << "a pane kept its font";
    SetClassTable(nullptr, 0);
  }

  void Build(const std::vector<Described>& controls) {
    std::vector<uint8_t> s;
    Pairs props = {{"Name", "Kinds"}, {"Title", "Kinds test"}, {"Frame", "0"},
                   {"Width", "400"},  {"Height", "300"},       {"Visible", "True"}};
    PutPackedInt(s, static_cast<int32_t>(props.size()));
    PutPackedInt(s, kWindowClass);
    for (auto& [n, v] : props) PutPackedString(s, n), PutPackedString(s, v);
    PutPackedInt(s, static_cast<int32_t>(controls.size()));
    menutest::PutControls(s, controls);
    PutPackedInt(s, 0);
    window = CreateDescribedWindow(s);
    ASSERT_NE(window, nullptr);
    ShowWindow(Hwnd(), SW_SHOW);
    SetForegroundWindow(Hwnd());
    UpdateWindow(Hwnd());
  }

  HWND Hwnd() const { return NativeWindowHandle(reinterpret_cast<WindowObject*>(window)->native); }
  ObjectRecord* Find(const char* name) { return RuntimeControlFetch(window, Text(name).get()); }
  template <typename P = Pane>
  P* PaneOf(const char* name) {
    ObjectRecord* c = Find(name);
    return c ? static_cast<P*>(reinterpret_cast<RectControlObject*>(c)->pane) : nullptr;
  }
  HWND HandleOf(const char* name) {
    Pane* p = PaneOf(name);
    return p ? p->Handle() : nullptr;
  }
  HFONT FontSent(const char* name) { return reinterpret_cast<HFONT>(SendMessageA(HandleOf(name), WM_GETFONT, 0, 0)); }

  menutest::ScratchClasses classes;
  std::vector<ClassRecord*> table;
  ObjectRecord* window = nullptr;
  size_t fontsBefore = 0;
};

// The window tests (kinds) type into a single-line field; a multi-line one is a rich edit control.
TEST_F(ControlKinds, TextSelectionKeysClicksAndTheEditMenuGoThroughTheFieldsPane) {
  Build({{kProbeEdit, Place("Field", 10, 10, 200, 20, {{"Text", "stored"}})},
         {kProbeEdit, Place("Memo", 10, 40, 200, 60, {{"MultiLine", "True"}, {"Text", "stored"}})},
         {kProbeEdit, Place("Tabbed", 10, 110, 200, 60, {{"MultiLine", "True"}, {"AcceptTabs", "True"}})},
         {kProbeEdit, Place("Untabbed", 10, 180, 200, 20, {{"Text", "one line"}})},
         {kEditField, Place("Plain", 220, 10, 170, 20, {{"Text", "Hello world"}})},
         {kEditField, Place("Locked", 220, 40, 170, 20, {{"Text", "Read me"}, {"ReadOnly", "True"}})},
         {kEditField, Place("Empty", 220, 70, 170, 20, {{"Text", ""}})},
         {kEditField, Place("One", 220, 130, 170, 20, {{"Text", "x"}})},
         {kEditField, Place("Secret", 220, 160, 170, 20, {{"Text", "hidden"}, {"Password", "True"}})},
         {kEditField, Place("Colored", 220, 100, 170, 20,
                            {{"TextColor", std::to_string(0x112233)}, {"BackColor", std::to_string(0xFFEEDD)}})}});
  for (const char* name : {"Field", "Memo"}) {
    SCOPED_TRACE(name);
    ObjectRecord* f = Find(name);
    const std::string textChange = "TextChange " + std::string(name);
    StringRef text = Text("Hello world");
    gEvents.clear();
    editTextSetter(f, 0, text.get());
    EXPECT_EQ(reinterpret_cast<EditFieldObject*>(f)->text, text.get());
    EXPECT_EQ(std::count(gEvents.begin(), gEvents.end(), textChange), 1);

    editSelStartSetter(f, 0, 2);
    editSelLengthSetter(f, 0, 6);  // 2..8
    EXPECT_EQ(Str(editSelTextGetter(f)), "llo wo");
    // A new start keeps the old end (8) when that lies after it, else makes an insertion point.
    for (auto [start, length] : {std::pair{4, 4}, {9, 0}}) {
      editSelStartSetter(f, 0, start);
      EXPECT_EQ(editSelStartGetter(f), start);
      EXPECT_EQ(editSelLengthGetter(f), length);
    }
    editSelStartSetter(f, 0, 6);
    editSelLengthSetter(f, 0, 5);
    StringRef here = Text("HERE");
    gEvents.clear();
    editSelTextSetter(f, 0, here.get());
    EXPECT_EQ(Str(editTextGetter(f)), "Hello HERE");
    EXPECT_NE(SendMessageA(HandleOf(name), EM_CANUNDO, 0, 0), 0);
    EXPECT_EQ(std::count(gEvents.begin(), gEvents.end(), textChange), 1);
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

  // Typed characters and what KeyDown consumes are the window tests' (kinds).
  MSG tab = {HandleOf("Tabbed"), WM_KEYDOWN, VK_TAB, 1, 0, {0, 0}};
  EXPECT_TRUE(PaneOf("Tabbed")->KeyDown(tab));
  EXPECT_EQ(Str(editTextGetter(Find("Tabbed"))), "\t");
  EXPECT_NE(std::find(gEvents.begin(), gEvents.end(), "KeyDown \t Tabbed"), gEvents.end());
  BYTE keyState[256];  // Ctrl+Tab moves the focus on, even from a field that takes tabs
  GetKeyboardState(keyState);
  keyState[VK_CONTROL] = 0x80;
  SetKeyboardState(keyState);
  EXPECT_FALSE(PaneOf("Tabbed")->KeyDown(tab));
  keyState[VK_CONTROL] = 0;
  SetKeyboardState(keyState);
  EXPECT_EQ(Str(editTextGetter(Find("Tabbed"))), "\t");
  tab.hwnd = HandleOf("Untabbed");
  EXPECT_FALSE(PaneOf("Untabbed")->KeyDown(tab));
  // A click into a field (or the Tab key) makes it the active pane.
  RuntimeSetFocus(Find("Tabbed"));
  gEvents.clear();
  SetFocus(HandleOf("Untabbed"));
  EXPECT_EQ(gEvents, (Events{"LostFocus Tabbed", "GotFocus Untabbed"}));

  // The edit menu and colours of plain fields.
  static std::string enabled;
  auto items = [&](const char* name) {
    enabled.clear();
    PaneOf(name)->EnableMenuItems([](const char* item) { enabled += std::string(enabled.empty() ? "" : " ") + item; });
    return enabled;
  };
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  ObjectRecord* f = Find("Plain");
  Pane* field = PaneOf("Plain");
  EXPECT_EQ(items("Empty"), "");
  EXPECT_EQ(items("One"), "EditSelectAll");  // no selection, nothing to paste
  editSelLengthSetter(Find("Secret"), 0, 3);  // a password's text never leaves the field
  EXPECT_EQ(items("Secret"), "EditClear EditSelectAll");
  editSelLengthSetter(f, 0, 5);
  EXPECT_EQ(items("Plain"), "EditCut EditCopy EditClear EditSelectAll");
  EXPECT_TRUE(field->HandleMenuItem("EditCut"));
  EXPECT_EQ(Str(editTextGetter(f)), " world");
  EXPECT_EQ(items("Plain"), "EditUndo EditPaste EditSelectAll");
  editSelStartSetter(f, 0, 6);
  EXPECT_TRUE(field->HandleMenuItem("editpaste"));  // any letter case
  EXPECT_EQ(Str(editTextGetter(f)), " worldHello");
  EXPECT_TRUE(field->HandleMenuItem("EditUndo"));
  EXPECT_EQ(Str(editTextGetter(f)), " world");
  EXPECT_TRUE(field->HandleMenuItem("EditSelectAll"));
  EXPECT_TRUE(field->HandleMenuItem("EditClear"));
  EXPECT_EQ(Str(editTextGetter(f)), "");
  EXPECT_FALSE(field->HandleMenuItem("EditCopy"));  // nothing selected
  EXPECT_FALSE(field->HandleMenuItem("FileQuit"));  // not an edit command
  // A read-only field copies but does not change.
  ObjectRecord* locked = Find("Locked");
  editSelLengthSetter(locked, 0, 4);
  EXPECT_EQ(items("Locked"), "EditCopy EditSelectAll");
  EXPECT_FALSE(PaneOf("Locked")->HandleMenuItem("EditCut"));
  EXPECT_TRUE(PaneOf("Locked")->HandleMenuItem("EditCopy"));
  EXPECT_EQ(Str(editTextGetter(locked)), "Read me");
  OpenClipboard(nullptr);
  HANDLE data = GetClipboardData(CF_TEXT);
  std::string clip = data ? static_cast<const char*>(GlobalLock(data)) : "";
  if (data) GlobalUnlock(data);
  CloseClipboard();
  EXPECT_EQ(clip, "Read");

  // A plain field takes its colours from its control.
  HDC dc = CreateCompatibleDC(nullptr);
  HWND h = HandleOf("Colored");
  EXPECT_NE(SendMessageA(Hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h)), 0);
  EXPECT_EQ(GetTextColor(dc), RGB(0x11, 0x22, 0x33));
  EXPECT_EQ(GetBkColor(dc), RGB(0xFF, 0xEE, 0xDD));
  DeleteDC(dc);
}

// Counts the WM_PAINTs sent to one window (UpdateWindow sends them).
int gPaints = 0;
HWND gPainted = nullptr;
LRESULT CALLBACK CountPaints(int code, WPARAM wParam, LPARAM lParam) {
  const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && m->hwnd == gPainted && m->message == WM_PAINT) ++gPaints;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A status line set to the same text at every step of long work must not redraw each time.
TEST_F(ControlKinds, StaticTextDrawsItsTextAsIsAndItsCaptionSetterRedrawsOnAChange) {
  const int width = 120, height = 60;
  Build({{kStaticText, Place("Label", 10, 10, 200, 40, {{"Text", "Offline"}})},
         {kStaticText, Place("Aligned", 10, 60, width, height,
                             {{"Text", "Fish & Chips & mushy peas, right aligned"},
                              {"TextAlign", "2"},
                              {"TextColor", "128"},
                              {"TextFont", "System"},
                              {"TextSize", "12"}})}});
  auto* aligned = PaneOf<StaticTextPane>("Aligned");
  ASSERT_NE(aligned, nullptr);
  EXPECT_FALSE(aligned->CanTakeFocus());
  auto render = [&](auto paint) {
    menutest::Canvas canvas(width, height);
    paint(canvas.dc);
    return canvas.Pixels();
  };
  std::vector<uint32_t> drawn = render([&](HDC dc) { aligned->Paint(dc); });
  auto same = [&](UINT format) {
    return render([&](HDC dc) {
      SelectObject(dc, aligned->Font());
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(0, 0, 128));
      RECT box = {0, 0, width, 32767};
      DrawTextA(dc, aligned->LastDrawn().text.c_str(), -1, &box, format);
    });
  };
  EXPECT_EQ(drawn, same(DT_WORDBREAK | DT_NOPREFIX | DT_RIGHT));
  EXPECT_NE(drawn, same(DT_WORDBREAK | DT_RIGHT)) << "the ampersands were taken as prefixes";

  ObjectRecord* label = Find("Label");
  auto* pane = PaneOf<StaticTextPane>("Label");
  UpdateWindow(Hwnd());
  EXPECT_EQ(pane->LastDrawn().text, "Offline");
  UpdateWindow(Hwnd());
  gPainted = pane->Handle();
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CountPaints, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  StringRef sending = Text("Sending..."), again = Text("Sending..."), listening = Text("Listening");
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
  EXPECT_EQ(pane->LastDrawn().text, "Listening");
  EXPECT_EQ(Str(stringGetter(label, offsetof(StaticTextObject, text))), "Listening");
}

// A click on a check box, popup rows from InitialValue, choosing a row, and
// which tab shows what on a click or key are the window tests' (kinds); rows
// added and a row chosen by the program, the application's (serial_ports,
// port_detect).
TEST_F(ControlKinds, CheckBoxesPopupsAndTabPanelsChangeThemselvesAndPanesShareCachedFonts) {
  Build({{kProbeCheck, Place("Check", 10, 10, 120, 20, {{"Caption", "Connect"}, {"Value", "True"}})},
         {kGroupBox, Place("Setup", 10, 40, 200, 100, {{"Caption", "Setup"}, {"Bold", "True"}})},
         {kCheckBox, Place("A", 220, 10, 120, 20, {{"TextFont", "Geneva"}, {"TextSize", "9"}})},
         {kPopupMenu, Place("C", 220, 70, 120, 20)},
         {kProbePopup, Place("Rows", 220, 100, 100, 20, {{"InitialValue", "a\rb"}})},
         {kProbeTabs,
          Place("Tabs", 10, 150, 380, 140, {{"TabDefinition", std::string("General\0Game Mode\0Connection", 28)}})},
         {kCheckBox, Place("TwoHidden", 20, 240, 100, 20, {{"Visible", "False"}}, 2)}});
  EXPECT_TRUE(gEvents.empty());
  checkBoxValueSetter(Find("Check"), 0, false);
  // A drop-down list whose list hangs about 200 pixels below the control.
  ObjectRecord* p = Find("Rows");
  HWND combo = HandleOf("Rows");
  EXPECT_EQ(Style(combo) & 0x3, CBS_DROPDOWNLIST);
  RECT dropped = {};
  SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  EXPECT_GT(dropped.bottom - dropped.top, 180);
  EXPECT_EQ(RuntimePopupSelectionGetter(p), -1);
  EXPECT_EQ(Str(popupTextGetter(p)), "");
  EXPECT_TRUE(gEvents.empty());  // none for the runtime's own changes
  auto* tabs = PaneOf<TabPanelPane>("Tabs");
  ASSERT_NE(tabs, nullptr);
  char title[32] = "";
  TCITEMA item = {TCIF_TEXT, 0, 0, title, sizeof title, 0, 0};
  SendMessageA(tabs->Handle(), TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(title, "Game Mode");
  gEvents.clear();
  tabPanelValueSetter(Find("Tabs"), 0, 1);
  EXPECT_FALSE(Style(HandleOf("TwoHidden")) & WS_VISIBLE) << "shown with its tab";
  EXPECT_EQ(gEvents, (Events{"Change Tabs"}));
  HWND group = HandleOf("Setup");
  EXPECT_EQ(Style(group) & 0x0F, BS_GROUPBOX);
  EXPECT_FALSE(PaneOf("Setup")->CanTakeFocus());
  EXPECT_EQ(FontOf(FontSent("Setup")).lfWeight, FW_BOLD);
  // Panes take their fonts from the cache (which shares them: the fonts' test).
  HFONT a = FontSent("A");
  EXPECT_EQ(a, static_cast<KindPane*>(PaneOf("A"))->Font());
  EXPECT_EQ(FontOf(a).lfHeight, -9);
  // Without a font of its own a pane shows the default one.
  EXPECT_EQ(static_cast<KindPane*>(PaneOf("C"))->FontSize(), DefaultFontSize() > 0 ? DefaultFontSize() : 12);
}

// A click raising Action, and the progress bar's sweep seen on screen, are the window tests' (kinds).
TEST_F(ControlKinds, PushButtonsRaiseActionWhenClickedOrPushedAndAProgressBarSweepsWhileItsMaximumIsZero) {
  Build({{kProbePush, Place("Save", 10, 10, 80, 24, {{"Caption", "Save"}, {"Default", "True"}})},
         {kProbePush, Place("Cancel", 100, 10, 80, 24, {{"Caption", "Cancel"}, {"Cancel", "True"}})},
         {kProgressBar, Place("Bar", 10, 40, 99, 12, {{"Maximum", "100"}, {"Value", "50"}})},
         {kProgressBar, Place("Busy", 10, 60, 80, 12, {{"Maximum", "0"}})}});
  HWND save = HandleOf("Save"), cancel = HandleOf("Cancel");
  EXPECT_EQ(Style(save) & 0x0F, BS_DEFPUSHBUTTON);
  EXPECT_EQ(Style(cancel) & 0x0F, BS_PUSHBUTTON);
  EXPECT_FALSE(PaneOf("Save")->IsCancelButton());
  EXPECT_TRUE(PaneOf("Cancel")->IsCancelButton());
  RuntimeSetFocus(Find("Save"));
  pushButtonPush(Find("Cancel"));
  EXPECT_EQ(ActivePane(), PaneOf("Save")) << "pushing took the focus";
  MSG enter = {cancel, WM_KEYDOWN, VK_RETURN, 1, 0, {0, 0}};
  EXPECT_TRUE(PaneOf("Cancel")->KeyDown(enter));
  controlEnabledSetter(Find("Save"), 0, false);
  pushButtonPush(Find("Save"));  // a disabled button is not pushed
  EXPECT_EQ(gEvents, (Events{"Action Cancel", "Action Cancel"}));

  ObjectRecord* bar = Find("Bar");
  auto* pane = PaneOf<ProgressPane>("Bar");
  progressMaximumSetter(bar, 0, 0);
  ASSERT_NE(pane->Sweeping(), nullptr);
  HWND overlay = pane->Sweeping()->Handle();
  ControlVisibleSetter(bar, 0, false);
  EXPECT_FALSE(Style(overlay) & WS_VISIBLE);
  progressMaximumSetter(bar, 0, 200);
  progressValueSetter(bar, 0, 150);
  EXPECT_EQ(SendMessageA(pane->Handle(), PBM_GETPOS, 0, 0), 150);  // past the old range of 100
  ASSERT_NE(PaneOf<ProgressPane>("Busy")->Sweeping(), nullptr);
  overlay = PaneOf<ProgressPane>("Busy")->Sweeping()->Handle();
  CloseWindowObject(reinterpret_cast<WindowObject*>(window));
  RuntimeUnlockObject(window);
  window = nullptr;
  EXPECT_FALSE(IsWindow(overlay));
  EXPECT_EQ(MsUntilPeriodicTaskDue(GetTickCount()), kNothingDue);
}

}  // namespace
