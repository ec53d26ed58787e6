// The message box's owner, by the rule for new windows: a visible modal
// window, else the newest document window, else none. A watcher thread finds
// the box this process opened, reads it and presses OK.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "objects/strings.h"
#include "sdk/entry_graphics.h"
#include "ui/message_box.h"
#include "ui/native_window.h"

namespace {

struct SeenBox {
  HWND owner = nullptr;
  std::string text;
  bool found = false;
};

BOOL CALLBACK FindOurBox(HWND hwnd, LPARAM lParam) {
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  char cls[16] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  if (process != GetCurrentProcessId() || std::string(cls) != "#32770" || !IsWindowVisible(hwnd))
    return TRUE;
  *reinterpret_cast<HWND*>(lParam) = hwnd;
  return FALSE;
}

// Runs `show` (which opens a box and returns when it is closed) while a
// second thread waits for the box, reads it and presses its OK button.
template <typename Show>
SeenBox Watch(Show show) {
  SeenBox seen;
  std::atomic<bool> done{false};
  std::thread watcher([&] {
    HWND box = nullptr;
    for (int i = 0; i < 500 && !done && !box; ++i) {
      EnumWindows(FindOurBox, reinterpret_cast<LPARAM>(&box));
      if (!box) Sleep(10);
    }
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

NativeWindow* Make(int kind, bool visible) {
  NativeWindow* n = CreateNativeWindow("Owner test", {100, 100, 160, 300}, kind, true, true, false);
  if (n && visible) ShowWindow(n->hwnd, SW_SHOWNA);
  return n;
}

// The box of a lone document window (drawing), of the frame (mdi_message)
// and of a program without windows (the image tests) are the window tests';
// here the newest of two document windows and the modal rule.
TEST(MessageBox, TheOwnerIsAVisibleModalWindowElseTheNewestDocumentWindow) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ZBWindowProc;
  wc.cbWndExtra = 4;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "ZBWindow";
  RegisterClassA(&wc);  // fails harmlessly when start-up code registered it already
  NativeWindow* older = Make(8, true);
  NativeWindow* document = Make(8, true);
  ASSERT_TRUE(older && document);
  EXPECT_EQ(Watch([] { ShowRuntimeMessage("Document"); }).owner, document->hwnd);

  NativeWindow* modal = Make(3, true);
  ASSERT_TRUE(modal);
  SeenBox seen = Watch([] { RuntimeMsgBox(nullptr); });
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.owner, modal->hwnd);
  EXPECT_EQ(seen.text, "");
  // A modal window that is hidden owns nothing, and the document windows
  // behind it are not chosen either.
  ShowWindow(modal->hwnd, SW_HIDE);
  seen = Watch([] { ShowRuntimeMessage("Hidden modal"); });
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.owner, nullptr);
  for (NativeWindow* n : {modal, document, older}) n->Destroy();
}

}  // namespace
