// The message box's owner, by the rule for new windows: a visible modal
// window, else the newest document window, else none; and the question box,
// as another thread sees it and answers it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "objects/strings.h"
#include "sdk/entry_graphics.h"
#include "tools/time_scale.h"
#include "ui/message_box.h"
#include "ui/native_window.h"

namespace {

HWND OurBox() {
  for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "#32770", nullptr));) {
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(w)) return w;
  }
  return nullptr;
}

std::string TextOf(HWND w) {
  char buffer[1024] = "";
  GetWindowTextA(w, buffer, sizeof buffer);
  return buffer;
}

// Runs `show` (which returns when its box is closed) while a second thread
// waits for the box and hands it to `act`, which must close it; the box's
// owner and text.
using Seen = std::pair<HWND, std::string>;
template <typename Show, typename Act>
Seen Watch(Show show, Act act) {
  std::atomic<bool> done{false};
  Seen seen;
  std::thread watcher([&] {
    HWND box = nullptr;
    for (DWORD i = 0; i < 500 * TimeScale() && !done && !(box = OurBox()); ++i) Sleep(10);
    if (!box) return;
    seen = {GetWindow(box, GW_OWNER), TextOf(GetDlgItem(box, 0xFFFF))};
    act(box);
  });
  show();
  done = true;
  watcher.join();
  return seen;
}

void PressOk(HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); }

NativeWindow* Make(int kind) {
  WNDCLASSA wc = {0, ZBWindowProc, 0, 4, GetModuleHandleA(nullptr), nullptr, nullptr, nullptr, nullptr, "ZBWindow"};
  RegisterClassA(&wc);  // fails harmlessly when start-up code registered it already
  NativeWindow* n = CreateNativeWindow("Owner test", {100, 100, 160, 300}, kind, true, true, false);
  if (n) ShowWindow(n->hwnd, SW_SHOWNA);
  return n;
}

// A lone document window, the frame and no window at all are the window tests'.
TEST(MessageBox, TheOwnerIsAVisibleModalWindowElseTheNewestDocumentWindow) {
  NativeWindow* older = Make(8);
  NativeWindow* document = Make(8);
  ASSERT_TRUE(older && document);
  EXPECT_EQ(Watch([] { ShowRuntimeMessage("Document"); }, PressOk), Seen(document->hwnd, "Document"));
  NativeWindow* modal = Make(3);
  ASSERT_TRUE(modal);
  EXPECT_EQ(Watch([] { RuntimeMsgBox(nullptr); }, PressOk), Seen(modal->hwnd, ""));
  // A hidden modal window owns nothing, nor do the document windows behind it.
  ShowWindow(modal->hwnd, SW_HIDE);
  EXPECT_EQ(Watch([] { ShowRuntimeMessage("Hidden modal"); }, PressOk), Seen(nullptr, "Hidden modal"));
  for (NativeWindow* n : {modal, document, older}) n->Destroy();
}

RECT Rect(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
}

// How much wider `w`'s text is on one line, in `w`'s font, than `w` itself.
LONG Overflow(HWND w) {
  std::string text = TextOf(w);
  HDC dc = GetDC(w);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(w, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(w, dc);
  RECT r = Rect(w);
  return size.cx - (r.right - r.left);
}

// Each way of answering, on a box owned by the document window: a click on
// a button counted from the left (its number), Enter (the first button),
// Escape and the close box (0).
TEST(QuestionBox, TheButtonPressedIsAnsweredByItsNumberAndEscapeOrTheCloseBoxByNought) {
  NativeWindow* document = Make(8);
  ASSERT_TRUE(document);
  const std::string text =
      "The text you sent to the handheld has changed since it was last saved. Do you want to save "
      "the changes before the connection closes? Unsaved changes are lost when the program ends.";
  const std::vector<std::string> captions = {"Save", "Don't Save and Quit Now", "Cancel"};
  const std::tuple<const char*, UINT, WPARAM, int32_t> rows[] = {
      {"click 1", BM_CLICK, 0, 1},          {"click 2", BM_CLICK, 0, 2},
      {"click 3", BM_CLICK, 0, 3},          {"Enter", WM_KEYDOWN, VK_RETURN, 1},
      {"Escape", WM_KEYDOWN, VK_ESCAPE, 0}, {"close box", WM_SYSCOMMAND, SC_CLOSE, 0},
  };
  for (const auto& [name, message, wParam, expected] : rows) {
    int32_t answer = -1;
    // Every other box has a carriage return after its last caption too.
    std::string list = captions[0] + "\r" + captions[1] + "\r" + captions[2] + (expected % 2 ? "\r" : "");
    StringRef t = StringRef::Adopt(NewString(text)), b = StringRef::Adopt(NewString(list));
    auto checkAndAnswer = [&](HWND box) {
      SCOPED_TRACE(name);  // on the watching thread
      EXPECT_GT(Overflow(GetDlgItem(box, 0xFFFF)), 0) << "the text is not wrapped";
      std::vector<HWND> buttons;
      for (HWND w = nullptr; (w = FindWindowExA(box, w, "Button", nullptr));) buttons.push_back(w);
      std::sort(buttons.begin(), buttons.end(), [](HWND x, HWND y) { return Rect(x).left < Rect(y).left; });
      std::vector<std::string> shown;
      for (HWND w : buttons) shown.push_back(TextOf(w));
      EXPECT_EQ(shown, captions);
      for (HWND w : buttons) EXPECT_LT(Overflow(w), 0) << TextOf(w) << " does not fit its button";
      size_t i = message == BM_CLICK ? expected - 1 : 0;  // a key goes to the focus, the first button
      PostMessageA(message == WM_SYSCOMMAND || i >= buttons.size() ? box : buttons[i], message, wParam, 1);
    };
    Seen seen = Watch([&] { answer = RuntimeAskQuestion(t.get(), b.get()); }, checkAndAnswer);
    EXPECT_EQ(seen, Seen(document->hwnd, text)) << name;
    EXPECT_EQ(answer, expected) << name;
  }
  document->Destroy();
}

}  // namespace
