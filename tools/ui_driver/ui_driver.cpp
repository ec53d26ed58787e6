// ui-driver: lets tests act on windows the way a user would, from outside the
// program under test. Runs in the same Wine prefix as that program.
//
//   ui-driver wait  CLASS TITLE [MS]   wait until the window is there and visible
//   ui-driver texts CLASS TITLE        print "class|text" for the window and each child
//   ui-driver press CLASS TITLE BUTTON click the child button whose text is BUTTON
//                                      (an "&" in the button's text is ignored)
//   ui-driver close CLASS TITLE        ask the window to close
//   ui-driver endsession CLASS TITLE   log-off as the window sees it (query, then end)
//   ui-driver minimize CLASS TITLE     minimize the window as its title bar button does
//   ui-driver answers CLASS TITLE [MS [N PERIOD]]  exit 0 when the window's thread
//                                      answers a message within MS (250) milliseconds,
//                                      N times (1) PERIOD ms apart; 1 when it does not
//   ui-driver windows                  print one line per visible top-level window:
//                                      "class|title|client L,T,R,B|window L,T,R,B|WxH|style|exstyle"
//                                      (client = the content area on the screen)
//   ui-driver children CLASS TITLE     print "class|text|L,T,R,B|visible" per child
//                                      (rectangle in the parent's client coordinates)
//   ui-driver text CLASS TITLE CHILD   print the text of a child
//   ui-driver watchtext CLASS TITLE CHILDCLASS TEXT [MS]  print "watching",
//                                      then wait until a child of CHILDCLASS
//                                      reads TEXT
//   ui-driver settext CLASS TITLE CHILD TEXT
//   ui-driver settextfile CLASS TITLE CHILD FILE   set the text of a child to
//                                      the bytes of FILE (for texts too long for
//                                      a command line)
//   ui-driver click CLASS TITLE X Y [right]   post a click at a client point
//   ui-driver realclick CLASS TITLE X Y       move the cursor there and click through
//                                      the system's input, as a user does
//   ui-driver keys CLASS TITLE TEXT    post the keys of TEXT to the window
//   ui-driver realkeys CLASS TITLE COMBO...  bring the window to the front and
//                                      press each COMBO through the system's input,
//                                      e.g. ctrl+shift+t, alt+f, esc, enter, tab, f10, q
//   ui-driver resize CLASS TITLE W H   give the window a content area of W x H
//   ui-driver waitgone CLASS TITLE [MS] wait until no such window exists
//   ui-driver chars CLASS TITLE CHILD TEXT [MS]   post TEXT to a child as typed
//                                      characters, MS apart (steady typing)
//   ui-driver vkey CLASS TITLE CHILD VK      post a press and release of the
//                                      virtual key VK (decimal) to a child
//   ui-driver progress CLASS TITLE CHILD [N MS]   print "position low high" of a
//                                      progress bar, N times (1) MS (100) apart
//   ui-driver highlight CLASS TITLE X Y W    on the screen, along the client row Y
//                                      from X for W pixels: print "first count" of
//                                      the pixels in the selection colour (first
//                                      relative to X; -1 0 when there are none)
//   ui-driver owner CLASS TITLE        print "class|title" of the window's owner, or "none"
//   ui-driver menustate CLASS TITLE    run the window's menu enabling cycle and print
//                                      "menu|name|text|enabled|checked|help|disabled help"
//                                      per menu item (the program writes it: Wine cannot
//                                      read another process's menus)
//   ui-driver choose CLASS TITLE CHILD ROW   select row ROW (from 0) of a combo box
//                                      child as a user's choice does: CB_SETCURSEL,
//                                      then CBN_SELCHANGE to the combo's parent
//   ui-driver getsel CLASS TITLE CHILD       print "start end" of an edit child's
//                                      selection (EM_GETSEL)
//   ui-driver value CLASS TITLE CHILD        print a combo box's selected row (-1 for
//                                      none) or a button's check state (0, 1, 2)
//   ui-driver select CLASS TITLE CHILD START LENGTH   select LENGTH characters from
//                                      START in an edit child (RichEdit positions)
//   ui-driver setclipboard CLASS TITLE [TEXT]   put TEXT on the clipboard as text,
//                                      the window as its owner; without TEXT, empty it
//   ui-driver waitfocus CLASS TITLE CHILD [MS]  wait until CHILD has the keyboard
//                                      focus of the window's thread (a real click's
//                                      focus change can come late on a busy machine)
//   ui-driver waittext CLASS TITLE CHILDCLASS [MS]   wait until the window is
//                                      there with a child of CHILDCLASS showing a
//                                      text (a message box is on the screen a moment
//                                      before its text is); print that text
//   ui-driver waitactive CLASS TITLE [MS]   wait until the window is the active
//                                      (foreground) one
//   ui-driver front CLASS TITLE [MS]   make the window the active one, as its task
//                                      bar button does, and wait until it is
//   ui-driver version FILE             print FILE's version resource as Windows reads
//                                      it: "fixed FILEVERSION PRODUCTVERSION", then
//                                      "NAME=VALUE" for the texts of its first language
//   ui-driver run PROGRAM WINDOWCLASS MS    start PROGRAM (in its own folder) and
//                                      see it through: its "Message" boxes are read
//                                      ("message: TEXT") and answered with OK, its
//                                      windows of WINDOWCLASS closed ("closing:
//                                      TITLE" each time it asks); prints "exit N"
//                                      when it ends, or "hang" when it has not ended
//                                      after MS (then it is ended). Only the
//                                      program's own windows are touched, so several
//                                      runs may share the desktop.
//
// CLASS or TITLE may be "*" for any. CHILD is CLASS#N, the N-th child (from
// 0) of that class. Exit status: 0 done, 2 window or child not found (after
// the wait for "wait" and "waitgone"), 3 usage. Every time limit MS, and the
// pauses between keys, are multiplied by VELLORY_TIME_SCALE when it is set.
#include <windows.h>
#include <commctrl.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/time_scale.h"

namespace {

const char* OrNull(const char* s) { return std::string(s) == "*" ? nullptr : s; }

HWND FindTop(const char* cls, const char* title) { return FindWindowA(OrNull(cls), OrNull(title)); }

std::string ClassOf(HWND w) {
  char buffer[256] = "";
  GetClassNameA(w, buffer, sizeof buffer);
  return buffer;
}

std::string TextOf(HWND w) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return "";
  std::string text(length + 1, '\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutA(w, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 5000, &got);
  text.resize(got);
  return text;
}

std::string WithoutAmpersands(std::string s) {
  std::string out;
  for (char c : s)
    if (c != '&') out += c;
  return out;
}

BOOL CALLBACK PrintChild(HWND w, LPARAM) {
  std::printf("%s|%s\n", ClassOf(w).c_str(), TextOf(w).c_str());
  return TRUE;
}

struct ButtonSearch {
  std::string text;
  HWND found;
};

BOOL CALLBACK MatchButton(HWND w, LPARAM param) {
  auto* search = reinterpret_cast<ButtonSearch*>(param);
  if (WithoutAmpersands(TextOf(w)) != search->text) return TRUE;
  search->found = w;
  return FALSE;
}

// Every limit and pause of the driver stretches on a slow machine.
DWORD Scaled(DWORD ms) { return ms * TimeScale(); }

// Checks `done` every 50 ms until it holds (true) or `ms` have passed (false).
template <typename Check>
bool PollFor(DWORD ms, Check done) {
  DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (GetTickCount() - start >= ms) return false;
    Sleep(50);
  }
}

int Wait(const char* cls, const char* title, DWORD ms) {
  if (PollFor(ms, [&] {
        HWND w = FindTop(cls, title);
        return w && IsWindowVisible(w);
      }))
    return 0;
  std::fprintf(stderr, "ui-driver: no window %s \"%s\" after %lu ms\n", cls, title,
               static_cast<unsigned long>(ms));
  return 2;
}

int Texts(HWND w) {
  std::printf("%s|%s\n", ClassOf(w).c_str(), TextOf(w).c_str());
  EnumChildWindows(w, PrintChild, 0);
  return 0;
}

int Press(HWND w, const char* button) {
  ButtonSearch search{WithoutAmpersands(button), nullptr};
  EnumChildWindows(w, MatchButton, reinterpret_cast<LPARAM>(&search));
  if (!search.found) {
    std::fprintf(stderr, "ui-driver: no button \"%s\"\n", button);
    return 2;
  }
  PostMessageA(search.found, BM_CLICK, 0, 0);
  return 0;
}

struct ChildSearch {
  std::string cls;
  int index;
  HWND found;
};

BOOL CALLBACK MatchChild(HWND w, LPARAM param) {
  auto* search = reinterpret_cast<ChildSearch*>(param);
  if (ClassOf(w) != search->cls) return TRUE;
  if (search->index-- > 0) return TRUE;
  search->found = w;
  return FALSE;
}

HWND FindChild(HWND parent, const std::string& which) {
  size_t hash = which.find('#');
  ChildSearch search{which.substr(0, hash), hash == std::string::npos ? 0 : std::atoi(which.c_str() + hash + 1),
                     nullptr};
  EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
  if (!search.found) std::fprintf(stderr, "ui-driver: no child %s\n", which.c_str());
  return search.found;
}

RECT ClientOnScreen(HWND w) {
  RECT r{};
  GetClientRect(w, &r);
  MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

BOOL CALLBACK PrintTop(HWND w, LPARAM) {
  if (!IsWindowVisible(w)) return TRUE;
  RECT c = ClientOnScreen(w), r{};
  GetWindowRect(w, &r);
  std::printf("%s|%s|%ld,%ld,%ld,%ld|%ld,%ld,%ld,%ld|%ldx%ld|0x%08lx|0x%08lx\n", ClassOf(w).c_str(),
              TextOf(w).c_str(), c.left, c.top, c.right, c.bottom, r.left, r.top, r.right, r.bottom,
              c.right - c.left, c.bottom - c.top, static_cast<unsigned long>(GetWindowLongA(w, GWL_STYLE)),
              static_cast<unsigned long>(GetWindowLongA(w, GWL_EXSTYLE)));
  return TRUE;
}

BOOL CALLBACK PrintChildPlace(HWND w, LPARAM param) {
  RECT r{};
  GetWindowRect(w, &r);
  MapWindowPoints(nullptr, reinterpret_cast<HWND>(param), reinterpret_cast<POINT*>(&r), 2);
  std::printf("%s|%s|%ld,%ld,%ld,%ld|%d\n", ClassOf(w).c_str(), TextOf(w).c_str(), r.left, r.top, r.right,
              r.bottom, IsWindowVisible(w) ? 1 : 0);
  return TRUE;
}

int Children(HWND w) {
  EnumChildWindows(w, PrintChildPlace, reinterpret_cast<LPARAM>(w));
  return 0;
}

int PostClick(HWND w, int x, int y, bool right) {
  LPARAM at = MAKELPARAM(x, y);
  PostMessageA(w, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, at);
  PostMessageA(w, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, at);
  return 0;
}

// The click carries its own place (absolute, in 65536ths of the screen), so
// a pointer motion still on its way from the display cannot move it.
int RealClick(HWND w, int x, int y) {
  POINT p = {x, y};
  ClientToScreen(w, &p);
  SetCursorPos(p.x, p.y);
  LONG width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input[2] = {};
  for (INPUT& in : input) {
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((static_cast<LONGLONG>(p.x) * 65536 + width - 1) / width);
    in.mi.dy = static_cast<LONG>((static_cast<LONGLONG>(p.y) * 65536 + height - 1) / height);
  }
  input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP;
  return SendInput(2, input, sizeof(INPUT)) == 2 ? 0 : 2;
}

int Keys(HWND w, const std::string& text) {
  for (char c : text) {
    SHORT vk = VkKeyScanA(c);
    PostMessageA(w, WM_KEYDOWN, LOBYTE(vk), 1);
    PostMessageA(w, WM_CHAR, static_cast<unsigned char>(c), 1);
    PostMessageA(w, WM_KEYUP, LOBYTE(vk), 0xC0000001);
  }
  return 0;
}

void SendKey(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof in);
}

// The virtual key of a combo's last part: a name or one character.
WORD NamedVirtualKey(const std::string& name) {
  static const struct {
    const char* name;
    WORD vk;
  } kNames[] = {{"esc", VK_ESCAPE}, {"enter", VK_RETURN}, {"tab", VK_TAB}, {"f10", VK_F10},
                {"space", VK_SPACE}, {"down", VK_DOWN}, {"up", VK_UP}};
  for (const auto& n : kNames)
    if (name == n.name) return n.vk;
  return name.size() == 1 ? LOBYTE(VkKeyScanA(name[0])) : 0;
}

bool IsInFront(HWND w, DWORD ms) {
  return PollFor(ms, [&] { return GetForegroundWindow() == w; });
}

int WaitActive(HWND w, DWORD ms) {
  if (IsInFront(w, ms)) return 0;
  std::fprintf(stderr, "ui-driver: the window is not the active one after %lu ms\n", static_cast<unsigned long>(ms));
  return 2;
}

// As the task bar does when the window's button is clicked; true once the
// window is in front.
bool BringToFront(HWND w, DWORD ms) {
  SetForegroundWindow(w);
  return IsInFront(w, ms);
}

// Keys typed before the window is in front would go to another window; a
// slow machine may take a while to bring it there.
int RealKeys(HWND w, int count, char** combos) {
  BringToFront(w, Scaled(2000));
  Sleep(Scaled(200));
  for (int i = 0; i < count; ++i) {
    std::string combo = combos[i];
    std::vector<WORD> held;
    size_t start = 0, plus;
    while ((plus = combo.find('+', start)) != std::string::npos && plus + 1 < combo.size()) {
      std::string mod = combo.substr(start, plus - start);
      held.push_back(mod == "ctrl" ? VK_CONTROL : mod == "shift" ? VK_SHIFT : VK_MENU);
      start = plus + 1;
    }
    WORD vk = NamedVirtualKey(combo.substr(start));
    if (!vk) return 3;
    for (WORD m : held) SendKey(m, false);
    SendKey(vk, false);
    SendKey(vk, true);
    for (auto it = held.rbegin(); it != held.rend(); ++it) SendKey(*it, true);
    Sleep(Scaled(150));
  }
  return 0;
}

int Resize(HWND w, int width, int height) {
  RECT c{}, r{};
  GetClientRect(w, &c);
  GetWindowRect(w, &r);
  int dw = (r.right - r.left) - c.right, dh = (r.bottom - r.top) - c.bottom;
  return SetWindowPos(w, nullptr, 0, 0, width + dw, height + dh, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) ? 0 : 2;
}

int WaitGone(const char* cls, const char* title, DWORD ms) {
  if (PollFor(ms, [&] { return FindTop(cls, title) == nullptr; })) return 0;
  std::fprintf(stderr, "ui-driver: window %s \"%s\" still there after %lu ms\n", cls, title,
               static_cast<unsigned long>(ms));
  return 2;
}

int SetText(HWND child, const char* text) {
  DWORD_PTR ignored = 0;
  // A long text takes the Writing Window a while to lay out.
  if (SendMessageTimeoutA(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                          Scaled(20000), &ignored))
    return 0;
  std::fprintf(stderr, "ui-driver: the text was not set (error %lu)\n", GetLastError());
  return 2;
}

int OnChild(HWND w, int argc, char** argv, bool set) {
  HWND child = FindChild(w, argv[4]);
  if (!child) return 2;
  if (set) return SetText(child, argc > 5 ? argv[5] : "");
  std::printf("%s\n", TextOf(child).c_str());
  return 0;
}

// A text that shows for a moment only (a status line) is seen by one driver
// that keeps looking, where a driver started for each look may miss it.
// "watching" comes first, so that a script acts only once the look is on.
// The children are looked for afresh on every look, and any of the class
// will do: a pane of the same class may come and go in front of the one
// watched (a busy progress bar's sweeping block), so "the first" is not a
// handle that stays the same.
struct TextWatch {
  std::string cls, text, last;
  bool seen;
};

BOOL CALLBACK ReadWatched(HWND w, LPARAM param) {
  auto* watch = reinterpret_cast<TextWatch*>(param);
  if (ClassOf(w) != watch->cls) return TRUE;
  watch->last = TextOf(w);
  watch->seen = watch->last == watch->text;
  return watch->seen ? FALSE : TRUE;
}

int WatchText(HWND w, const char* childClass, const char* text, DWORD ms) {
  if (!FindChild(w, childClass)) return 2;
  std::printf("watching\n");
  std::fflush(stdout);
  TextWatch watch{childClass, text, "", false};
  if (PollFor(ms, [&] {
        EnumChildWindows(w, ReadWatched, reinterpret_cast<LPARAM>(&watch));
        return watch.seen;
      }))
    return 0;
  std::fprintf(stderr, "ui-driver: no %s read \"%s\" in %lu ms (the last read \"%s\")\n", childClass, text,
               static_cast<unsigned long>(ms), watch.last.c_str());
  return 2;
}

// A command line holds at most 32,767 characters, so a long text comes
// from a file.
int SetTextFromFile(HWND w, const char* childName, const char* path) {
  HWND child = FindChild(w, childName);
  if (!child) return 2;
  FILE* file = std::fopen(path, "rb");
  if (!file) {
    std::fprintf(stderr, "ui-driver: %s cannot be read\n", path);
    return 2;
  }
  std::string text;
  char chunk[4096];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text.append(chunk, n);
  std::fclose(file);
  return SetText(child, text.c_str());
}

// With a period, from this one process: the pace is the typist's, however
// slowly a new driver would start on a loaded machine.
int PostChars(HWND child, const std::string& text, DWORD period) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (i && period) Sleep(period);
    PostMessageA(child, WM_CHAR, static_cast<unsigned char>(text[i]), 1);
  }
  return 0;
}

int PostVirtualKey(HWND child, int vk) {
  UINT scan = MapVirtualKeyA(vk, 0);
  PostMessageA(child, WM_KEYDOWN, vk, 1 | (scan << 16));
  PostMessageA(child, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000);
  return 0;
}

// Samples `count` times, `ms` apart, from one process: a fast send can be
// over before a second driver would have started.
int Progress(HWND bar, int count, DWORD ms) {
  for (int i = 0; i < count; ++i) {
    if (i > 0) Sleep(ms);
    LRESULT position = SendMessageA(bar, PBM_GETPOS, 0, 0);
    // Without a structure to fill (it would lie in this process), the answer
    // is the one end asked for.
    LRESULT low = SendMessageA(bar, PBM_GETRANGE, TRUE, 0);
    LRESULT high = SendMessageA(bar, PBM_GETRANGE, FALSE, 0);
    std::printf("%ld %ld %ld\n", static_cast<long>(position), static_cast<long>(low),
                static_cast<long>(high));
  }
  return 0;
}

// The row is copied from the screen in one piece, so that a pane being
// redrawn meanwhile is seen either before or after, not half of each.
int Highlight(HWND w, int x, int y, int width) {
  if (width <= 0) return 3;
  COLORREF wanted = GetSysColor(COLOR_HIGHLIGHT);
  POINT p = {x, y};
  ClientToScreen(w, &p);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = 1;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP row = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool copied = memory && row;
  if (copied) {
    HGDIOBJ old = SelectObject(memory, row);
    copied = BitBlt(memory, 0, 0, width, 1, screen, p.x, p.y, SRCCOPY);
    GdiFlush();
    SelectObject(memory, old);
  }
  int first = -1, count = 0;
  for (int i = 0; copied && i < width; ++i) {
    const BYTE* bgr = static_cast<const BYTE*>(bits) + 4 * i;
    if (RGB(bgr[2], bgr[1], bgr[0]) != wanted) continue;
    if (first < 0) first = i;
    ++count;
  }
  if (row) DeleteObject(row);
  if (memory) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!copied) return 2;
  std::printf("%d %d\n", first, count);
  return 0;
}

// The window that owns `w` (a message box's or a dialog's owner).
int PrintOwner(HWND w) {
  HWND owner = GetWindow(w, GW_OWNER);
  if (!owner) return std::printf("none\n"), 0;
  std::printf("%s|%s\n", ClassOf(owner).c_str(), TextOf(owner).c_str());
  return 0;
}

// The menu report the program sends back ("VSMR"), taken by a window of
// the driver's own while its request is being answered.
std::string gMenuReport;
bool gMenuReported = false;

LRESULT CALLBACK ReportWindowProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (message != WM_COPYDATA || !data || data->dwData != 0x564D5352) return DefWindowProcA(w, message, wParam, lParam);
  gMenuReport.assign(static_cast<const char*>(data->lpData), data->cbData);
  gMenuReported = true;
  return TRUE;
}

// Asks the program for its menu report ("VSMS", the asking window in wParam).
int MenuState(HWND w) {
  WNDCLASSA cls{};
  cls.lpfnWndProc = ReportWindowProc;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.lpszClassName = "VelloryDriverReport";
  RegisterClassA(&cls);
  HWND mine = CreateWindowA(cls.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, cls.hInstance, nullptr);
  COPYDATASTRUCT data{0x564D5353, 0, nullptr};
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(w, WM_COPYDATA, reinterpret_cast<WPARAM>(mine), reinterpret_cast<LPARAM>(&data),
                      SMTO_ABORTIFHUNG, 10000, &answer);
  DestroyWindow(mine);
  if (!gMenuReported) {
    std::fprintf(stderr, "ui-driver: no menu report\n");
    return 2;
  }
  std::fwrite(gMenuReport.data(), 1, gMenuReport.size(), stdout);
  return 0;
}


// Selects a row of a combo box and tells its parent, as the list does when
// the user picks the row.
int ChooseRow(HWND combo, int row) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(combo, CB_SETCURSEL, static_cast<WPARAM>(row), 0, SMTO_ABORTIFHUNG, 5000,
                           &result))
    return 2;
  if (static_cast<LRESULT>(result) == CB_ERR && row >= 0) {
    std::fprintf(stderr, "ui-driver: no row %d\n", row);
    return 2;
  }
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                      reinterpret_cast<LPARAM>(combo), SMTO_ABORTIFHUNG, 5000, &ignored);
  return 0;
}

// An edit control's selection; without pointers (they would lie in this
// process) EM_GETSEL answers with both ends packed in its result.
int PrintSelection(HWND edit) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(edit, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result)) return 2;
  std::printf("%u %u\n", LOWORD(result), HIWORD(result));
  return 0;
}

// A combo box's selected row or a button's check state.
int PrintValue(HWND child) {
  std::string cls = ClassOf(child);
  bool combo = _stricmp(cls.c_str(), "COMBOBOX") == 0;
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(child, combo ? CB_GETCURSEL : BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000,
                           &result))
    return 2;
  std::printf("%ld\n", static_cast<long>(static_cast<LRESULT>(result)));
  return 0;
}

// Selects a range of an edit control (a RichEdit's positions count a line
// end as one character).
int SelectText(HWND child, int start, int length) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(child, EM_SETSEL, start, start + length, SMTO_ABORTIFHUNG, 5000, &ignored)
             ? 0
             : 2;
}

// Replaces the clipboard's contents by `text` (CF_TEXT), or empties it when
// `text` is null. The clipboard may be busy for a moment with the program's
// own look at it: a few tries.
int SetClipboardText(HWND owner, const char* text) {
  bool open = false;
  for (int i = 0; i < 50 && !(open = OpenClipboard(owner)); ++i) Sleep(20);
  if (!open) return 2;
  EmptyClipboard();
  bool ok = true;
  if (text) {
    size_t size = std::strlen(text) + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (block) {
      std::memcpy(GlobalLock(block), text, size);
      GlobalUnlock(block);
    }
    ok = block && SetClipboardData(CF_TEXT, block);
    if (block && !ok) GlobalFree(block);
  }
  CloseClipboard();
  return ok ? 0 : 2;
}

struct TextSearch {
  std::string cls;
  std::string text;
};

// Stops at the first child of the class that shows a text.
BOOL CALLBACK MatchTextChild(HWND w, LPARAM param) {
  auto* search = reinterpret_cast<TextSearch*>(param);
  if (ClassOf(w) != search->cls) return TRUE;
  search->text = TextOf(w);
  return search->text.empty();
}

int WaitText(const char* cls, const char* title, const char* child_class, DWORD ms) {
  TextSearch search{child_class, ""};
  bool shown = PollFor(ms, [&] {
    HWND w = FindTop(cls, title);
    if (!w || !IsWindowVisible(w)) return false;
    EnumChildWindows(w, MatchTextChild, reinterpret_cast<LPARAM>(&search));
    return !search.text.empty();
  });
  if (!shown) {
    std::fprintf(stderr, "ui-driver: no %s with a text in %s \"%s\" after %lu ms\n", child_class, cls, title,
                 static_cast<unsigned long>(ms));
    return 2;
  }
  std::printf("%s\n", search.text.c_str());
  return 0;
}

// The visible top-level windows of process `pid`.
struct ProcessWindows {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessWindow(HWND w, LPARAM param) {
  auto* windows = reinterpret_cast<ProcessWindows*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == windows->pid && IsWindowVisible(w)) windows->found.push_back(w);
  return TRUE;
}

// What a run has answered so far.
struct Answers {
  std::vector<HWND> boxes;  // pressed already: the box goes a moment later
  DWORD lastClose;
};

// Answers one step of the program's: a "Message" box with its text is read
// and answered; a window of `windowClass` is asked to close (once a second).
void AnswerWindows(DWORD pid, const char* windowClass, Answers& answers) {
  ProcessWindows windows{pid, {}};
  EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&windows));
  for (HWND w : windows.found) {
    if (ClassOf(w) != "#32770" || TextOf(w) != "Message") continue;
    if (std::find(answers.boxes.begin(), answers.boxes.end(), w) != answers.boxes.end()) return;
    TextSearch search{"Static", ""};
    EnumChildWindows(w, MatchTextChild, reinterpret_cast<LPARAM>(&search));
    if (search.text.empty()) return;  // on the screen a moment before its text
    std::printf("message: %s\n", search.text.c_str());
    std::fflush(stdout);
    if (Press(w, "OK") == 0) answers.boxes.push_back(w);
    return;
  }
  if (GetTickCount() - answers.lastClose < 1000) return;
  for (HWND w : windows.found)
    if (ClassOf(w) == windowClass) {
      std::printf("closing: %s\n", TextOf(w).c_str());
      std::fflush(stdout);
      PostMessageA(w, WM_CLOSE, 0, 0);
      answers.lastClose = GetTickCount();
      return;
    }
}

int Run(const char* program, const char* windowClass, DWORD ms) {
  std::string path = program, folder = ".";
  size_t slash = path.find_last_of("\\/");
  if (slash != std::string::npos) folder = path.substr(0, slash);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, path.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &process)) {
    std::fprintf(stderr, "ui-driver: %s could not be started\n", program);
    return 2;
  }
  CloseHandle(process.hThread);
  DWORD start = GetTickCount(), status = 0;
  Answers answers{{}, start - 1000};
  while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) {
    if (GetTickCount() - start >= ms) {
      TerminateProcess(process.hProcess, 255);
      CloseHandle(process.hProcess);
      std::printf("hang\n");
      return 0;
    }
    AnswerWindows(process.dwProcessId, windowClass, answers);
  }
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hProcess);
  std::printf("exit %lu\n", static_cast<unsigned long>(status));
  return 0;
}

// The window that has the keyboard focus in the thread owning `w`.
HWND FocusOf(HWND w) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &info) ? info.hwndFocus : nullptr;
}

int WaitFocus(HWND w, HWND child, DWORD ms) {
  if (PollFor(ms, [&] { return FocusOf(w) == child; })) return 0;
  HWND focus = FocusOf(w);
  std::fprintf(stderr, "ui-driver: focus on %s, not the child, after %lu ms\n",
               focus ? ClassOf(focus).c_str() : "nothing", static_cast<unsigned long>(ms));
  return 2;
}

// The time-out argument at argv[i], in milliseconds, or `fallback` when
// absent, stretched for a slow machine.
DWORD MsArgument(int argc, char** argv, int i, DWORD fallback) {
  return Scaled(argc > i ? std::strtoul(argv[i], nullptr, 10) : fallback);
}

// "N PERIOD" at argv[i]: how many times (at least 1) and how many ms apart.
// The period paces against the program, so it does not stretch.
struct Repeats {
  int count;
  DWORD period;
};
Repeats RepeatArguments(int argc, char** argv, int i, DWORD fallbackPeriod) {
  int count = argc > i ? std::atoi(argv[i]) : 1;
  DWORD period = argc > i + 1 ? std::strtoul(argv[i + 1], nullptr, 10) : fallbackPeriod;
  return {count > 0 ? count : 1, period};
}

}  // namespace

// Whether the window's thread takes messages: a window that does not
// answer within the time is what the system calls "Not Responding".
// Asks `count` times, `period` ms apart; every answer must come in time.
int AnswersWithin(HWND w, DWORD ms, int count, DWORD period) {
  for (int i = 0; i < count; ++i) {
    if (i > 0) Sleep(period);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, ms, &result)) {
      std::fprintf(stderr, "ui-driver: no answer within %lu ms (probe %d)\n", static_cast<unsigned long>(ms),
                   i + 1);
      return 1;
    }
  }
  return 0;
}

// What log-off does to a window: asks whether the session may end, then
// tells it that it ends. Prints the window's answer to the question (1 to
// let the session end). With a child and a text, the child takes that text
// between the two, as a frame arriving then would change it: what the
// window does at the end must not rest on what it did at the question.
int EndSession(HWND w, const char* childName, const char* text) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(w, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, Scaled(10000), &answer))
    return 2;
  std::printf("%lu\n", static_cast<unsigned long>(answer));
  std::fflush(stdout);
  HWND child = childName ? FindChild(w, childName) : nullptr;
  if (childName && (!child || SetText(child, text) != 0)) return 2;
  if (!SendMessageTimeoutA(w, WM_ENDSESSION, answer ? TRUE : FALSE, ENDSESSION_LOGOFF, SMTO_NORMAL,
                           Scaled(10000), nullptr))
    return 2;
  return 0;
}

// The version resource of `file` through the system's own reader
// (version.dll), as Explorer's Properties would show it.
int Version(const char* file) {
  DWORD ignored = 0, size = GetFileVersionInfoSizeA(file, &ignored);
  std::vector<char> info(size);
  if (!size || !GetFileVersionInfoA(file, 0, size, info.data())) return 2;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || !fixed) return 2;
  auto dotted = [](DWORD high, DWORD low) {
    return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." + std::to_string(HIWORD(low)) +
           "." + std::to_string(LOWORD(low));
  };
  std::printf("fixed %s %s\n", dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS).c_str(),
              dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS).c_str());
  struct Language {
    WORD language, codePage;
  }* languages = nullptr;
  if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&languages), &length) ||
      length < sizeof(Language))
    return 2;
  for (const char* name : {"ProductName", "ProductVersion", "FileVersion", "FileDescription", "LegalCopyright",
                           "OriginalFilename"}) {
    char query[128];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", languages->language,
                  languages->codePage, name);
    char* value = nullptr;
    if (VerQueryValueA(info.data(), query, reinterpret_cast<void**>(&value), &length) && value)
      std::printf("%s=%s\n", name, value);
  }
  return 0;
}

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc == 2 && std::string(argv[1]) == "windows") return EnumWindows(PrintTop, 0), 0;
  if (argc == 3 && std::string(argv[1]) == "version") return Version(argv[2]);
  if (argc < 4) {
    std::fprintf(stderr, "usage: ui-driver VERB CLASS TITLE [ARG...] (see the source's head)\n");
    return 3;
  }
  std::string verb = argv[1];
  const char *cls = argv[2], *title = argv[3];
  if (verb == "run") return Run(argv[2], argv[3], MsArgument(argc, argv, 4, 10000));
  if (verb == "wait") return Wait(cls, title, MsArgument(argc, argv, 4, 30000));
  if (verb == "waitgone") return WaitGone(cls, title, MsArgument(argc, argv, 4, 30000));
  if (verb == "waittext" && argc > 4)
    return WaitText(cls, title, argv[4], MsArgument(argc, argv, 5, 10000));
  HWND w = FindTop(cls, title);
  if (!w) {
    std::fprintf(stderr, "ui-driver: no window %s \"%s\"\n", cls, title);
    return 2;
  }
  if (verb == "texts") return Texts(w);
  if (verb == "press" && argc > 4) return Press(w, argv[4]);
  if (verb == "close") return PostMessageA(w, WM_CLOSE, 0, 0) ? 0 : 2;
  if (verb == "endsession") return EndSession(w, argc > 5 ? argv[4] : nullptr, argc > 5 ? argv[5] : nullptr);
  if (verb == "minimize") return PostMessageA(w, WM_SYSCOMMAND, SC_MINIMIZE, 0) ? 0 : 2;
  if (verb == "answers") {
    Repeats r = RepeatArguments(argc, argv, 5, 0);
    return AnswersWithin(w, MsArgument(argc, argv, 4, 250), r.count, r.period);
  }
  if (verb == "children") return Children(w);
  if (verb == "text" && argc > 4) return OnChild(w, argc, argv, false);
  if (verb == "settext" && argc > 4) return OnChild(w, argc, argv, true);
  if (verb == "watchtext" && argc > 5)
    return WatchText(w, argv[4], argv[5], MsArgument(argc, argv, 6, 30000));
  if (verb == "settextfile" && argc > 5) return SetTextFromFile(w, argv[4], argv[5]);
  if (verb == "click" && argc > 5)
    return PostClick(w, std::atoi(argv[4]), std::atoi(argv[5]), argc > 6 && std::string(argv[6]) == "right");
  if (verb == "realclick" && argc > 5) return RealClick(w, std::atoi(argv[4]), std::atoi(argv[5]));
  if (verb == "keys" && argc > 4) return Keys(w, argv[4]);
  if (verb == "realkeys" && argc > 4) return RealKeys(w, argc - 4, argv + 4);
  if (verb == "resize" && argc > 5) return Resize(w, std::atoi(argv[4]), std::atoi(argv[5]));
  if (verb == "highlight" && argc > 6)
    return Highlight(w, std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]));
  if ((verb == "chars" || verb == "vkey") && argc > 5) {
    HWND child = FindChild(w, argv[4]);
    if (!child) return 2;
    if (verb == "vkey") return PostVirtualKey(child, std::atoi(argv[5]));
    return PostChars(child, argv[5], argc > 6 ? std::strtoul(argv[6], nullptr, 10) : 0);
  }
  if (verb == "progress" && argc > 4) {
    HWND child = FindChild(w, argv[4]);
    Repeats r = RepeatArguments(argc, argv, 5, 100);
    return child ? Progress(child, r.count, r.period) : 2;
  }
  if (verb == "owner") return PrintOwner(w);
  if (verb == "menustate") return MenuState(w);
  if (verb == "choose" && argc > 5) {
    HWND child = FindChild(w, argv[4]);
    return child ? ChooseRow(child, std::atoi(argv[5])) : 2;
  }
  if (verb == "getsel" && argc > 4) {
    HWND child = FindChild(w, argv[4]);
    return child ? PrintSelection(child) : 2;
  }
  if (verb == "value" && argc > 4) {
    HWND child = FindChild(w, argv[4]);
    return child ? PrintValue(child) : 2;
  }
  if (verb == "select" && argc > 6) {
    HWND child = FindChild(w, argv[4]);
    return child ? SelectText(child, std::atoi(argv[5]), std::atoi(argv[6])) : 2;
  }
  if (verb == "waitfocus" && argc > 4) {
    HWND child = FindChild(w, argv[4]);
    if (!child) return 2;
    return WaitFocus(w, child, MsArgument(argc, argv, 5, 10000));
  }
  if (verb == "waitactive") return WaitActive(w, MsArgument(argc, argv, 4, 10000));
  if (verb == "front") return BringToFront(w, MsArgument(argc, argv, 4, 2000)) ? 0 : WaitActive(w, 0);
  if (verb == "setclipboard") return SetClipboardText(w, argc > 4 ? argv[4] : nullptr);
  return 3;
}
