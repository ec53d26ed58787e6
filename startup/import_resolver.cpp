// Library imports ("!X" + library + "!" + routine) and the loaded-library
// list. Runtime and member imports are answered by the runtime entry table;
// until it exists they are refused here, so that no call site is ever left
// pointing at the next site's offset.
#include "startup/import_resolver.h"

#include <windows.h>

#include <vector>

#include "startup/load_messages.h"

namespace {

struct LoadedLibrary {
  std::string name;
  HMODULE module;
};

// Process-wide: libraries stay loaded and are never looked up twice.
std::vector<LoadedLibrary>& LoadedLibraries() {
  static std::vector<LoadedLibrary> list;
  return list;
}

HMODULE FindOrLoadLibrary(const std::string& name) {
  for (const LoadedLibrary& lib : LoadedLibraries())
    if (lstrcmpiA(lib.name.c_str(), name.c_str()) == 0) return lib.module;
  HMODULE module = LoadLibraryA(name.c_str());
  if (module) LoadedLibraries().push_back({name, module});
  return module;
}

bool ResolveLibraryRoutine(const ImportName& import, uint32_t& address, std::string& message) {
  std::string library(import.library), routine(import.routine);
  HMODULE module = FindOrLoadLibrary(library);
  if (!module) {
    message = kCannotLoad;
    message += "a necessary shared library " + library + " could not be found.";
    return false;
  }
  FARPROC proc = GetProcAddress(module, routine.c_str());
  if (!proc) {
    message = kCannotLoad;
    message += "the routine " + routine + " could not be found in the shared library " +
               library + ".";
    return false;
  }
  address = reinterpret_cast<uint32_t>(proc);
  return true;
}

}  // namespace

bool Win32ImportResolver::Resolve(const ImportName& import, uint32_t& address,
                                  std::string& message) {
  if (import.kind == ImportKind::Library) return ResolveLibraryRoutine(import, address, message);
  message = kCannotLoad;
  message += "the routine " + std::string(import.routine) + " could not be found in the runtime.";
  return false;
}

bool Win32ImportResolver::Defer(const ImportName& import, uint32_t, std::string& message) {
  message = kCannotLoad;
  message += "the member " + std::string(import.member) + " could not be found.";
  return false;
}

int LoadedLibraryCount() { return static_cast<int>(LoadedLibraries().size()); }
