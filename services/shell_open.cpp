// Opening an address (a web page, a document) with the program the system
// associates with it, as the user would by double-clicking: the browser for
// a web address, the registered viewer for a file.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "objects/strings.h"
#include "sdk/vellory.h"
#include "services/late_bound.h"

extern "C" {

void GlobalShowURL(StringRecord* address) {
  std::string text(StringView(address));
  if (text.empty()) return;
  using Execute = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
  static Execute execute = LateBound<Execute>("shell32.dll", "ShellExecuteA");
  if (execute) execute(nullptr, "open", text.c_str(), nullptr, nullptr, SW_SHOW);
}

void RuntimeShowURL(StringRecord* address) { GlobalShowURL(address); }

}  // extern "C"
