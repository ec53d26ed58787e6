// The message box's owner, by the rule for new windows: a visible modal
// window, else the newest document window, else none; and the question box,
// as another thread sees it and answers it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "objects/strings.h"
#include "sdk/entry_graphics.h"
#include "tools/time_scale.h"
#include "ui/message_box.h"
#include "ui/native_window.h"

namespace {

struct SeenBox {
  HWND owner = nullptr;
  std::string text;
  bool found = false;
};

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
// waits for the box and hands it to `act`, which must close it.
template <typename Show, typename Act>
void Watch(Show show, Act act) {
  std::atomic<bool> done{false};
  std::thread watcher([&] {
    HWND box = nullptr;
    for (DWORD i = 0; i < 500 * TimeScale() && !done && !(box = OurBox()); ++i) Sleep(10);
    if (box) act(box);
  });
  show();
  done = true;
  watcher.join();
}

// The message box's text (its static text) and owner; OK closes it.
template <typename Show>
SeenBox Watch(Show show) {
  SeenBox seen;
  Watch(show, [&seen](HWND box) {
    seen.text = TextOf(GetDlgItem(box, 0xFFFF));
    seen.owner = GetWindow(box, GW_OWNER);
    seen.found = true;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  });
  return seen;
}

void RegisterWindowClass() {
  WNDCLASSA wc = {0, ZBWindowProc, 0, 4, GetModuleHandleA(nullptr), nullptr, nullptr, nullptr, nullptr, "ZBWindow"};
  RegisterClassA(&wc);  // fails harmlessly when start-up code registered it already
}

NativeWindow* Make(int kind) {
  NativeWindow* n = CreateNativeWindow("Owner test", {100, 100, 160, 300}, kind, true, true, false);
  if (n) ShowWindow(n->hwnd, SW_SHOWNA);
  return n;
}

// A lone document window, the frame and no window at all are the window tests'.
TEST(MessageBox, TheOwnerIsAVisibleModalWindowElseTheNewestDocumentWindow) {
  RegisterWindowClass();
  NativeWindow* older = Make(8);
  NativeWindow* document = Make(8);
  ASSERT_TRUE(older && document);
  EXPECT_EQ(Watch([] { ShowRuntimeMessage("Document"); }).owner, document->hwnd);

  NativeWindow* modal = Make(3);
  ASSERT_TRUE(modal);
  SeenBox seen = Watch([] { RuntimeMsgBox(nullptr); });
  EXPECT_EQ(seen.owner, modal->hwnd);
  EXPECT_EQ(seen.text, "");
  // A hidden modal window owns nothing, nor do the document windows behind it.
  ShowWindow(modal->hwnd, SW_HIDE);
  seen = Watch([] { ShowRuntimeMessage("Hidden modal"); });
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.owner, nullptr);
  for (NativeWindow* n : {modal, document, older}) n->Destroy();
}

// What the question box shows: the buttons left to right with their
// windows; whether each is wider than its caption; whether the text's
// control holds all of its text, wrapped, above the buttons, and everything
// lies inside the box.
struct SeenQuestion {
  bool found = false;
  HWND owner = nullptr;
  std::string title, text;
  std::vector<std::string> captions;
  std::vector<HWND> buttons;
  int defaultNumber = 0;  // 1-based, left to right
  bool captionsFit = true, laidOut = false;
  int textLines = 0;
  LONG width = 0;
};

BOOL CALLBACK CollectButton(HWND w, LPARAM list) {
  char cls[32] = "";
  GetClassNameA(w, cls, sizeof cls);
  if (!lstrcmpiA(cls, "Button")) reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
  return TRUE;
}

RECT ScreenRect(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
}

// What `text` needs in `w`'s font, wrapped at `width` (0: on one line).
struct Needed {
  LONG width, height, lines;
};
Needed Needs(HWND w, const std::string& text, LONG width) {
  HDC dc = GetDC(w);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(w, WM_GETFONT, 0, 0)));
  RECT r = {0, 0, width, 0};
  DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | (width ? DT_WORDBREAK | DT_NOPREFIX : DT_SINGLELINE));
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(w, dc);
  return {r.right, r.bottom, tm.tmHeight ? r.bottom / tm.tmHeight : 0};
}

SeenQuestion ReadQuestion(HWND box) {
  SeenQuestion q;
  q.found = true;
  q.owner = GetWindow(box, GW_OWNER);
  q.title = TextOf(box);
  HWND text = GetDlgItem(box, 0xFFFF);
  q.text = TextOf(text);
  EnumChildWindows(box, CollectButton, reinterpret_cast<LPARAM>(&q.buttons));
  std::sort(q.buttons.begin(), q.buttons.end(), [](HWND a, HWND b) { return ScreenRect(a).left < ScreenRect(b).left; });
  RECT t = ScreenRect(text), frame = ScreenRect(box);
  Needed wrapped = Needs(text, q.text, t.right - t.left);
  q.textLines = wrapped.lines;
  q.laidOut = wrapped.width <= t.right - t.left && wrapped.height <= t.bottom - t.top;
  LRESULT def = SendMessageA(box, DM_GETDEFID, 0, 0);
  for (size_t i = 0; i < q.buttons.size(); ++i) {
    HWND b = q.buttons[i];
    q.captions.push_back(TextOf(b));
    RECT r = ScreenRect(b);
    q.captionsFit &= Needs(b, q.captions.back(), 0).width < r.right - r.left;
    q.laidOut &= r.top >= t.bottom && r.bottom <= frame.bottom && r.right <= frame.right;
    if (HIWORD(def) == DC_HASDEFID && LOWORD(def) == GetDlgCtrlID(b)) q.defaultNumber = static_cast<int>(i) + 1;
  }
  q.width = frame.right - frame.left;
  return q;
}

// Each way of answering, on a box owned by the document window: a button
// by its caption, Enter (the first button), Escape and the close box (0).
TEST(QuestionBox, TheButtonPressedIsAnsweredByItsNumberAndEscapeOrTheCloseBoxByNought) {
  RegisterWindowClass();
  NativeWindow* document = Make(8);
  ASSERT_TRUE(document);
  const std::string text =
      "The text you sent to the handheld has changed since it was last saved. Do you want to save "
      "the changes before the connection closes, or leave them out? Unsaved changes are lost when "
      "the program ends.";
  const std::vector<std::string> captions = {"Save", "Don't Save and Quit Now", "Cancel"};
  enum class Act { kClick, kKey, kCloseBox };
  const struct {
    const char* name;
    Act act;
    const char* caption;
    WPARAM key;
    int32_t answer;
  } rows[] = {
      {"first", Act::kClick, "Save", 0, 1},         {"second", Act::kClick, "Don't Save and Quit Now", 0, 2},
      {"third", Act::kClick, "Cancel", 0, 3},       {"Enter", Act::kKey, nullptr, VK_RETURN, 1},
      {"Escape", Act::kKey, nullptr, VK_ESCAPE, 0}, {"close box", Act::kCloseBox, nullptr, 0, 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    SeenQuestion seen;
    int32_t answer = -1;
    // Every other box has a carriage return after its last caption too.
    std::string list = captions[0] + "\r" + captions[1] + "\r" + captions[2] + (r.answer % 2 ? "\r" : "");
    StringRef t = StringRef::Adopt(NewString(text)), b = StringRef::Adopt(NewString(list));
    Watch([&] { answer = RuntimeAskQuestion(t.get(), b.get()); },
          [&](HWND box) {
            seen = ReadQuestion(box);
            if (r.act == Act::kCloseBox) PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
            if (r.act == Act::kKey && !seen.buttons.empty()) PostMessageA(seen.buttons[0], WM_KEYDOWN, r.key, 1);
            for (size_t i = 0; r.act == Act::kClick && i < seen.captions.size(); ++i)
              if (seen.captions[i] == r.caption) PostMessageA(seen.buttons[i], BM_CLICK, 0, 0);
          });
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(answer, r.answer);
    EXPECT_EQ(seen.owner, document->hwnd);
    EXPECT_EQ(seen.title, "Message");
    EXPECT_EQ(seen.text, text);
    EXPECT_EQ(seen.captions, captions);
    EXPECT_EQ(seen.defaultNumber, 1);
    EXPECT_TRUE(seen.captionsFit);
    EXPECT_TRUE(seen.laidOut);
    EXPECT_GE(seen.textLines, 2) << "the text is not wrapped";
    EXPECT_LE(seen.width, GetSystemMetrics(SM_CXSCREEN) * 3 / 4);
  }
  document->Destroy();
}

}  // namespace
