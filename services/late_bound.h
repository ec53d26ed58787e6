// Routines of libraries that only an occasional command needs (the file
// dialogs, the shell's folders and "open"): the library is loaded at the
// first call, not with the program. Loaded with the program, the shell and
// the dialog library bring half a dozen more libraries with them, all paid
// for before the first window appears.
#pragma once
#include <windows.h>

// The routine `name` of `library`, loading the library if this process has
// not yet; null when either cannot be found. Callers keep the result.
template <typename Routine>
Routine LateBound(const char* library, const char* name) {
  HMODULE module = GetModuleHandleA(library);
  if (!module) module = LoadLibraryA(library);
  if (!module) return nullptr;
  return reinterpret_cast<Routine>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
