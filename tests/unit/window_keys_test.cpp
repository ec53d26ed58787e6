// Keyboard handling of a window as the pump runs it on key-down messages.
// Modifiers are set in the thread's keyboard state, which GetKeyState reads.
#include <gtest/gtest.h>

#include "menu_test_support.h"
#include "objects/class_table.h"
#include "ui/focus.h"
#include "ui/runtime_ui.h"
#include "ui/window_keys.h"

namespace {

using namespace menutest;
using Names = std::vector<std::string>;

bool __cdecl OnAction(ObjectRecord* item) {
  gLog.push_back("Action " + ItemName(item));
  return true;
}

void __cdecl OnEnableMenu(ObjectRecord* item) { RuntimeEnableMenu(item); }

class WindowKeysTest : public testing::Test {
 protected:
  void SetUp() override {
    RegisterRuntimeWindowClasses();
    gLog.clear();
    GetKeyboardState(saved_);
    item_ = classes_.Make("KeyItem", "MenuItem",
                          {{"Action", Code(OnAction)}, {"EnableMenu", Code(OnEnableMenu)}});
    SetClassTable(&item_, 1);
    window_ = OpenWindow(classes_.Make("KeyWindow", "Window"), "keys test");
    ASSERT_NE(window_->native, nullptr);
  }
  void TearDown() override {
    SetKeyboardState(saved_);
    ClearActivePane();
    Dispose(window_);
    DestroyMenuBar();
    SetClassTable(nullptr, 0);
  }

  // True when the handling consumed the key.
  bool Press(UINT vk, bool control = false, bool shift = false, HWND to = nullptr,
             UINT message = WM_KEYDOWN, bool alt = false) {
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_CONTROL] = control ? 0x80 : 0;
    state[VK_SHIFT] = shift ? 0x80 : 0;
    state[VK_LMENU] = state[VK_MENU] = alt ? 0x80 : 0;
    state[VK_RMENU] = 0;
    SetKeyboardState(state);
    MSG m = {to ? to : window_->native->hwnd, message, vk, 0, 0, {0, 0}};
    return HandleWindowKey(m);
  }

  ScratchClasses classes_;
  ClassRecord* item_ = nullptr;
  WindowObject* window_ = nullptr;
  BYTE saved_[256];
};

// F10 and Alt combinations arrive as system key presses: they reach a
// shortcut, else stay with the system's menu-bar access. Key-ups, and windows
// a runtime window owns (as a dialog box), are left alone.
TEST_F(WindowKeysTest, ShortcutsComeFirstThenTheFocusedPaneAndSystemKeyPressesReachShortcutsOnly) {
  Level file;
  file.Entry("E&xit", "FileQuit", "Q")
      .Entry("&Writing Window", "FileWriting", "Shift-T")
      .Entry("Full Screen", "ViewFull", "F10");
  ASSERT_TRUE(Level().Menu("&File", file).BuildBar());
  FakePane* edit = AddFakeControl(window_, "Edit");
  SetActivePane(edit);
  gLog.clear();
  EXPECT_TRUE(Press(VK_F10, false, false, nullptr, WM_SYSKEYDOWN));
  EXPECT_FALSE(Press(VK_TAB, false, false, nullptr, WM_SYSKEYDOWN, true));
  EXPECT_FALSE(Press('Q', true, false, nullptr, WM_KEYUP));
  HWND other = CreateWindowExA(0, "STATIC", "not ours", WS_POPUP, 0, 0, 10, 10,
                               window_->native->hwnd, nullptr, GetModuleHandleA(nullptr), nullptr);
  EXPECT_FALSE(Press('Q', true, false, other));
  DestroyWindow(other);
  edit->keyDownResult = true;
  EXPECT_TRUE(Press(VK_TAB));     // taken by the pane: no focus change
  EXPECT_TRUE(Press('Q', true));  // the shortcut, before the pane
  edit->keyDownResult = false;
  EXPECT_FALSE(Press('X'));
  EXPECT_EQ(gLog, (Names{"pane Edit ViewFull", "Action ViewFull", "KeyDown Edit 9", "pane Edit FileQuit",
                         "Action FileQuit", "KeyDown Edit 88"}));
}

// With none focused, Shift+Tab starts at the last pane; Ctrl+Tab is the window's.
TEST_F(WindowKeysTest, TabCyclesThroughPanesThatTakeTheFocus) {
  AddFakeControl(window_, "A");
  AddFakeControl(window_, "B")->focusable = false;
  AddFakeControl(window_, "C");
  AddFakeControl(window_, "D");
  for (bool shift : {false, false, false, false, true, true}) EXPECT_TRUE(Press(VK_TAB, false, shift));
  EXPECT_FALSE(Press(VK_TAB, true));
  ClearActivePane();
  EXPECT_TRUE(Press(VK_TAB, false, true));
  EXPECT_EQ(gLog, (Names{"focus A", "KeyDown A 9", "focus C", "KeyDown C 9", "focus D", "KeyDown D 9",
                         "focus A", "KeyDown A 9", "focus D", "KeyDown D 9", "focus C", "KeyDown C 9",
                         "focus D"}));
}

TEST_F(WindowKeysTest, ReturnAndEscapePushTheDefaultAndCancelButtons) {
  FakePane* edit = AddFakeControl(window_, "Edit");
  FakePane* note = AddFakeControl(window_, "Note");
  edit->takesReturn = true;
  SetActivePane(note);
  EXPECT_FALSE(Press(VK_RETURN));  // without buttons, not consumed
  EXPECT_FALSE(Press(VK_ESCAPE));
  FakePane* ok = AddFakeControl(window_, "OK");
  FakePane* cancel = AddFakeControl(window_, "Cancel");
  ok->isDefault = true;
  cancel->isCancel = true;
  ok->Control()->enabled = 0;
  EXPECT_FALSE(Press(VK_RETURN));  // a greyed Default button does not act
  SetActivePane(edit);
  EXPECT_TRUE(Press(VK_ESCAPE));  // a field that takes Return still gives up Escape
  EXPECT_EQ(gLog, (Names{"focus Note", "KeyDown Note 13", "KeyDown Note 27", "KeyDown Note 13", "focus Edit",
                         "KeyDown Edit 27", "push Cancel"}));
}

}  // namespace
