// Answers the three kinds of import at load time: library imports ("!X" +
// library + "!" + routine) through the loaded-library list, runtime imports
// through the entry table, and member imports by recording them for
// RuntimeInit, once the classes they name exist.
#include "startup/import_resolver.h"

#include <windows.h>

#include <vector>

#include "startup/deferred_imports.h"
#include "startup/entry_table.h"
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
  std::string name(import.routine);
  if (void* entry = FindEntryPoint(name.c_str())) {
    address = reinterpret_cast<uint32_t>(entry);
    return true;
  }
  // An unlinked site would jump to the next site's offset: refuse the image.
  message = kCannotLoad;
  message += "the routine " + name + " could not be found in the runtime.";
  return false;
}

bool Win32ImportResolver::Defer(const ImportName& import, uint32_t head, std::string&) {
  DeferMemberImport(import.member, head);
  return true;
}
