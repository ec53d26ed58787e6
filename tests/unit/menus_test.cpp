// The menu bar against real Win32 menus, read back and compared whole. Real
// key presses and menu choices are the window tests' (menus).
#include <gtest/gtest.h>

#include "menu_test_support.h"
#include "temp_folder.h"
#include "objects/class_table.h"
#include "ui/application.h"
#include "ui/event_loop.h"
#include "ui/focus.h"
#include "ui/menu_automation.h"
#include "ui/menu_dispatch.h"
#include "ui/runtime_ui.h"
#include "ui/window_services.h"

namespace {

using namespace menutest;

enum { kItem = 0, kQuit = 1, kPlainObject = 2 };

bool gActionResult = false, gWindowSecondResult = false, gCancelClose = false, gQuitFromClose = false;
std::vector<std::string> gAppEnables;

bool Log(const std::string& what, bool result = false) {
  gLog.push_back(what);
  return result;
}
bool __cdecl OnAction(ObjectRecord* item) { return Log("Action " + ItemName(item), gActionResult); }
void __cdecl OnEnableMenu(ObjectRecord* item) { Log("EnableMenu " + ItemName(item)); }
bool __cdecl OnWindowFirst(ObjectRecord*) { return Log("window first"); }
bool __cdecl OnWindowSecond(ObjectRecord*) { return Log("window second", gWindowSecondResult); }
bool __cdecl OnWindowElement(ObjectRecord*, int32_t i) { return Log("element " + std::to_string(i), true); }
bool __cdecl OnAppConnect(ObjectRecord*) { return Log("app"); }
void __cdecl OnWindowEnable(ObjectRecord*) { Log("window EnableMenuItems"); }
bool __cdecl OnCancelClose(ObjectRecord*) { return Log("CancelClose", gCancelClose); }
void __cdecl OnWindowClose(ObjectRecord*) {
  Log("window Close");
  if (gQuitFromClose) ApplicationQuit();  // nested: the running sequence's guard stops it
}
void __cdecl OnAppClose(ObjectRecord*) { Log("app Close"); }
void __cdecl OnAppEnable(ObjectRecord*) {
  Log("app EnableMenuItems");
  for (const std::string& name : gAppEnables) {
    StringRef n = Text(name);
    ObjectRecord* item = RuntimeMenuReference(n.get());
    if (!item) item = RuntimeMenuArrayReference(n.get(), 0);
    RuntimeEnableMenu(item);
    RuntimeUnlockObject(item);
  }
}

// The Win32 contents of a menu, one line per item; a separator's greying is the system's.
std::vector<std::string> Contents(HMENU menu) {
  std::vector<std::string> out;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[128] = "";
    GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
    UINT state = GetMenuState(menu, i, MF_BYPOSITION);
    std::string line = text;
    line += GetSubMenu(menu, i) ? " popup" : " #" + std::to_string(GetMenuItemID(menu, i));
    if (state & MF_GRAYED) line += " grey";
    if (state & MF_CHECKED) line += " checked";
    out.push_back(state & MF_SEPARATOR ? "separator" : line);
  }
  return out;
}

HMENU FileMenu() { return GetSubMenu(MenuBarHandle(), 0); }

using Lines = std::vector<std::string>;

class MenusTest : public testing::Test {
 protected:
  void SetUp() override {
    RegisterRuntimeWindowClasses();
    gLog.clear();
    gAppEnables.clear();
    gActionResult = gWindowSecondResult = gCancelClose = gQuitFromClose = false;
    previous_ = &CurrentWindowServices();
    InstallWindowServices();
    ClearQuitRequest();
    item_ = classes_.Make("LogItem", "MenuItem", {{"Action", Code(OnAction)}, {"EnableMenu", Code(OnEnableMenu)}});
    quit_ = classes_.Make("LogQuit", "QuitMenuItem", {{"Action", Code(OnAction)}});
    ClassRecord* table[] = {item_, quit_, FindBuiltInClass("Object")};
    SetClassTable(table, 3);
    // The File menu between an application menu and an empty slot, neither built. An item of a
    // class that is no menu item takes no identifier: the others' identifiers show it.
    Level about, send, file, empty;
    about.Entry("About &Vellory...", "HelpAbout");
    send.Entry("Text &File...", "FileSendText", "T");
    file.Entry("Odd", "Odd", "O", kPlainObject)
        .Entry("&Connect", "FileConnect", "K")
        .Entry("&Send", "FileSend", "", kItem, INT32_MIN, &send)
        .Entry("-", "")
        .Entry("&Writing Window", "FileWriting", "Shift-T")
        .Entry("Recent", "FileRecent", "", kItem, 0)
        .Entry("E&xit", "FileQuit", "Q", kQuit);
    ASSERT_TRUE(Level().Menu("", about, 1).Menu("&File", file).Menu("", empty, 2).BuildBar());
    ClassRecord* app = classes_.Make("MenuApp", "Application",
                                     {{"EnableMenuItems", Code(OnAppEnable)}, {"Close", Code(OnAppClose)}});
    AddMenuHandler(app, "FileConnect", Code(OnAppConnect));
    ObjectRecord* application = NewObjectOfClass(app);
    SetApplicationObject(application);
    RuntimeUnlockObject(application);
    ClassRecord* cls = classes_.Make("MenuWindow", "Window",
                                     {{"EnableMenuItems", Code(OnWindowEnable)},
                                      {"CancelClose", Code(OnCancelClose)},
                                      {"Close", Code(OnWindowClose)}});
    // Handlers go on the front of the list: the second one is added first.
    AddMenuHandler(cls, "FileRecent", Code(OnWindowElement));
    AddMenuHandler(cls, "fileconnect", Code(OnWindowSecond));
    AddMenuHandler(cls, "FileConnect", Code(OnWindowFirst));
    window_ = OpenWindow(cls, "menus test");
    ASSERT_NE(window_->native, nullptr);
  }
  void TearDown() override {
    ClearActivePane();
    Dispose(window_);
    DestroyMenuBar();
    SetApplicationObject(nullptr);
    SetClassTable(nullptr, 0);
    ClearQuitRequest();
    SetWindowServices(previous_);
  }

  void Choose(const char* name, int32_t index = INT32_MIN) {
    SendMessageA(window_->native->hwnd, WM_COMMAND, Item(name, index)->commandId, 0);
  }

  ScratchClasses classes_;
  ClassRecord* item_ = nullptr;
  ClassRecord* quit_ = nullptr;
  WindowObject* window_ = nullptr;
  const WindowServices* previous_ = nullptr;
};

// Only what the handlers enable is enabled (the quit item enables itself).
// Without the tests' switch the UI driver's request runs no cycle and sends nothing back.
TEST_F(MenusTest, OpeningTheMenuEnablesOnlyWhatTheHandlersEnableAndTheStateRequestNeedsTheSwitch) {
  COPYDATASTRUCT data{kMenuStateRequest, 0, nullptr};
  EXPECT_FALSE(AnswerMenuStateRequest(window_->native->hwnd, &data));
  EXPECT_TRUE(gLog.empty());
  gAppEnables = {"FileConnect"};
  Item("FileWriting")->enabled = 1;  // enabled by the application outside the cycle
  Item("FileRecent", 0)->checked = 1;
  SendMessageA(window_->native->hwnd, WM_INITMENU, reinterpret_cast<WPARAM>(MenuBarHandle()), 0);
  EXPECT_EQ(gLog, (Lines{"EnableMenu FileConnect", "EnableMenu FileSend", "EnableMenu ",
                         "EnableMenu FileWriting", "EnableMenu FileRecent", "EnableMenu FileSendText",
                         "window EnableMenuItems", "app EnableMenuItems"}));
  EXPECT_EQ(Contents(FileMenu()), (Lines{"&Connect\tCtrl+K #1000", "&Send popup grey", "separator",
                                         "&Writing Window\tCtrl+Shft+T #1004 grey",
                                         "Recent #1005 grey checked", "E&xit\tCtrl+Q #1006"}));

  gAppEnables = {"FileConnect", "FileWriting", "FileRecent", "FileQuit"};
  Item("FileWriting")->visible = 0;
  Item("FileRecent", 0)->checked = 0;
  enableMenuItems();
  EXPECT_EQ(Contents(FileMenu()), (Lines{"&Connect\tCtrl+K #1000", "&Send popup grey", "separator",
                                         "Recent #1005", "E&xit\tCtrl+Q #1006"}));
  // Back in its place, with its shortcut and its state applied.
  Item("FileWriting")->visible = 1;
  gAppEnables = {"FileRecent"};
  enableMenuItems();
  EXPECT_EQ(Contents(FileMenu()), (Lines{"&Connect\tCtrl+K #1000 grey", "&Send popup grey",
                                         "separator", "&Writing Window\tCtrl+Shft+T #1004 grey",
                                         "Recent #1005", "E&xit\tCtrl+Q #1006"}));
  EXPECT_EQ(Item("FileRecent", 0)->position, 4);
}

// A choice all decline is the window tests' (menus).
TEST_F(MenusTest, AChoiceGoesToTheActivePaneThenHandlersInOrderUntilOneTakesIt) {
  FakePane* edit = AddFakeControl(window_, "Edit");
  edit->enables = {"FileSendText"};
  SetActivePane(edit);
  gLog.clear();
  edit->handlesMenus = true;
  Choose("FileConnect");
  edit->handlesMenus = false;
  gWindowSecondResult = true;
  Choose("FileConnect");
  Choose("FileRecent", 0);
  EXPECT_EQ(gLog, (Lines{"pane Edit FileConnect", "pane Edit FileConnect", "window first", "window second",
                         "pane Edit FileRecent", "element 0"}));
  gAppEnables.clear();
  enableMenuItems();
  // Nested levels are built first, so the submenu's item takes 1001.
  EXPECT_EQ(Contents(GetSubMenu(FileMenu(), 1)), Lines{"Text &File...\tCtrl+T #1001"});
}

TEST_F(MenusTest, TheQuitItemQuitsWithoutUnwinding) {
  gQuitFromClose = gCancelClose = true;
  Choose("FileQuit");
  EXPECT_FALSE(QuitRequested());
  EXPECT_NE(window_->native, nullptr);
  gCancelClose = false;
  gActionResult = true;  // the application took the choice itself
  Choose("FileQuit");
  EXPECT_FALSE(QuitRequested());
  gActionResult = false;
  Choose("FileQuit");
  EXPECT_TRUE(QuitRequested());
  EXPECT_EQ(window_->native, nullptr);
  EXPECT_EQ(gLog, (Lines{"Action FileQuit", "CancelClose", "Action FileQuit", "Action FileQuit",
                         "CancelClose", "app Close", "window Close"}));
}

TEST_F(MenusTest, ArrayElementsComeAndGo) {
  EXPECT_EQ(RuntimeMenuReference(Text("HelpAbout").get()), nullptr) << "the application menu was built";
  StringRef recent = Text("FileRecent");
  EXPECT_EQ(RuntimeMenuReference(recent.get()), nullptr) << "found other than as an array element";
  ObjectRecord* added = RuntimeCloneMenu(recent.get());
  ASSERT_NE(added, nullptr);
  auto* element = reinterpret_cast<MenuItemObject*>(added);
  EXPECT_EQ(element->index, 1);
  EXPECT_EQ(element->header.cls, item_);
  StringRef renamed = Text("Recent Two"), quitText = Text("&Quit");
  menuItemTextSetter(added, 0, renamed.get());
  menuItemTextSetter(&Item("FileQuit")->header, 0, quitText.get());
  EXPECT_EQ(Contents(FileMenu()), (Lines{"&Connect\tCtrl+K #1000", "&Send popup", "separator",
                                         "&Writing Window\tCtrl+Shft+T #1004", "Recent #1005",
                                         "Recent Two #1007", "&Quit\tCtrl+Q #1006"}));
  ObjectRecord* found = RuntimeMenuArrayReference(recent.get(), 1);
  EXPECT_EQ(found, added);
  RuntimeUnlockObject(found);
  RuntimeCloseMenuItem(added);
  EXPECT_EQ(element->menu, nullptr);
  EXPECT_FALSE(DispatchMenuCommand(1007));
  EXPECT_EQ(Contents(FileMenu()).size(), 6u);
  EXPECT_EQ(added->refCount, 1u);  // only ours is left
  // Closing an element freed its identifier for the next clone.
  ObjectRecord* again = RuntimeCloneMenu(recent.get());
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(reinterpret_cast<MenuItemObject*>(again)->commandId, 1007u);
  RuntimeUnlockObject(again);
  StringRef key = Text("Shift-K");
  menuItemCommandKeySetter(&Item("FileConnect")->header, 0, key.get());
  EXPECT_EQ(CommandOfShortcut("Ctrl+K"), 1000u);  // the shortcut made at creation stays
  RuntimeUnlockObject(added);
}

}  // namespace
