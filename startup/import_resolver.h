// Satisfies the imports of the application's code block at load time:
// library imports through LoadLibraryA/GetProcAddress (each library loaded
// once and kept), runtime imports from the entry table, member imports
// deferred until RuntimeInit.
#pragma once
#include "startup/code_linker.h"

class Win32ImportResolver final : public ImportResolver {
 public:
  bool Resolve(const ImportName& import, uint32_t& address, std::string& message) override;
  bool Defer(const ImportName& import, uint32_t head, std::string& message) override;
};
