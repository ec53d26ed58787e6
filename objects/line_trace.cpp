// lineTrace: a diagnostic trace that compiled code writes to "trace.log" in
// the current directory. The file is created (emptied) on the first call and
// stays open until the process ends, so no line is lost to a later crash
// that skips buffered output: each line goes straight to the file.
#include <windows.h>

#include "sdk/vellory.h"
#include "objects/strings.h"

extern "C" void lineTrace(StringRecord* text) {
  static HANDLE file = CreateFileA("trace.log", GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, StringCText(text), StringLength(text), &written, nullptr);
  WriteFile(file, "\r", 1, &written, nullptr);
}
