// Start-up's user-interface services; see runtime_ui.h. Windows arrive with
// the window subsystem: until then there are no window classes to register
// and no frame to create, and these calls are where that work will go.
#include "ui/runtime_ui.h"

#include <ole2.h>

namespace {
std::string gDefaultFontName;
int gDefaultFontSize = 0;
}  // namespace

void RegisterRuntimeWindowClasses() {}

void SetDefaultFont(const std::string& name, int size) {
  gDefaultFontName = name;
  gDefaultFontSize = size;
}
const std::string& DefaultFontName() { return gDefaultFontName; }
int DefaultFontSize() { return gDefaultFontSize; }

void CreateFrameWindow(const std::string&) {}

void ShutDownRuntime() { OleUninitialize(); }
