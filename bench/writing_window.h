// The running program's main window and its Writing Window (the rich-edit
// child), as the application benchmarks' probes find them from outside.
#pragma once

#include <windows.h>

#include <cstring>

namespace bench {

inline HWND FindMainWindow() { return FindWindowA("ZBWindow", "Vellory Server"); }

inline BOOL CALLBACK MatchRichEdit(HWND w, LPARAM param) {
  char cls[64] = "";
  GetClassNameA(w, cls, sizeof cls);
  if (_strnicmp(cls, "RichEdit", 8) != 0) return TRUE;
  *reinterpret_cast<HWND*>(param) = w;
  return FALSE;
}

// The Writing Window of `main`, or null.
inline HWND FindWritingWindow(HWND main) {
  HWND found = nullptr;
  if (main) EnumChildWindows(main, MatchRichEdit, reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace bench
