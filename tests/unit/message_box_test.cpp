// The message box's owner, by the rule for new windows: a visible modal
// window, else the newest document window, else none.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "sdk/entry_graphics.h"
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

// Runs `show` (which returns when its box is closed) while a second thread
// waits for the box, reads it and presses OK.
template <typename Show>
SeenBox Watch(Show show) {
  SeenBox seen;
  std::atomic<bool> done{false};
  std::thread watcher([&] {
    HWND box = nullptr;
    for (int i = 0; i < 500 && !done && !(box = OurBox()); ++i) Sleep(10);
    if (!box) return;
    char buffer[256] = "";
    GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);  // the message's static text
    seen.text = buffer;
    seen.owner = GetWindow(box, GW_OWNER);
    seen.found = true;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  });
  show();
  done = true;
  watcher.join();
  return seen;
}

NativeWindow* Make(int kind) {
  NativeWindow* n = CreateNativeWindow("Owner test", {100, 100, 160, 300}, kind, true, true, false);
  if (n) ShowWindow(n->hwnd, SW_SHOWNA);
  return n;
}

// A lone document window, the frame and no window at all are the window tests'.
TEST(MessageBox, TheOwnerIsAVisibleModalWindowElseTheNewestDocumentWindow) {
  WNDCLASSA wc = {0, ZBWindowProc, 0, 4, GetModuleHandleA(nullptr), nullptr, nullptr, nullptr, nullptr, "ZBWindow"};
  RegisterClassA(&wc);  // fails harmlessly when start-up code registered it already
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

}  // namespace
