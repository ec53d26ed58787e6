// ui-driver: lets tests act on windows the way a user would, from outside the
// program under test. Runs in the same Wine prefix as that program.
//
//   ui-driver wait  CLASS TITLE [MS]   wait until the window is there and visible
//   ui-driver texts CLASS TITLE        print "class|text" for the window and each child
//   ui-driver press CLASS TITLE BUTTON click the child button whose text is BUTTON
//                                      (an "&" in the button's text is ignored)
//   ui-driver close CLASS TITLE        ask the window to close
//
// CLASS or TITLE may be "*" for any. Exit status: 0 done, 2 window or button
// not found (after the wait for "wait"), 3 usage.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>

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

int Wait(const char* cls, const char* title, DWORD ms) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND w = FindTop(cls, title);
    if (w && IsWindowVisible(w)) return 0;
    if (GetTickCount() - start >= ms) break;
    Sleep(50);
  }
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

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 4) {
    std::fprintf(stderr, "usage: ui-driver wait|texts|press|close CLASS TITLE [ARG]\n");
    return 3;
  }
  std::string verb = argv[1];
  const char *cls = argv[2], *title = argv[3];
  if (verb == "wait") return Wait(cls, title, argc > 4 ? std::strtoul(argv[4], nullptr, 10) : 30000);
  HWND w = FindTop(cls, title);
  if (!w) {
    std::fprintf(stderr, "ui-driver: no window %s \"%s\"\n", cls, title);
    return 2;
  }
  if (verb == "texts") return Texts(w);
  if (verb == "press" && argc > 4) return Press(w, argv[4]);
  if (verb == "close") return PostMessageA(w, WM_CLOSE, 0, 0) ? 0 : 2;
  return 3;
}
