// Installing the embedded plug-ins: each library goes to disk under its own
// name (the system folder, else the Windows folder) and is loaded from
// there. When neither folder can be written, a library of that name already
// there is loaded instead, so a locked-down machine still gets its controls
// from an earlier start.
#include <windows.h>

#include <cstring>
#include <string>

#include "plugins/embedded_plugins.h"
#include "plugins/plugin_registry.h"
#include "sdk/le_bytes.h"
#include "startup/entry_table.h"

namespace {

constexpr uint32_t kNodeHeader = 8;  // next, size
constexpr UINT kFolderBuffer = 1024;

using PluginMain = void(__cdecl*)(PluginLookupRoutine lookup);

std::string InFolder(UINT (WINAPI* folder)(LPSTR, UINT), const std::string& name) {
  char path[kFolderBuffer] = {};
  UINT n = folder(path, kFolderBuffer);
  if (n == 0 || n >= kFolderBuffer) return {};
  return std::string(path) + "\\" + name;
}

// Creates (or truncates) `path` and writes `plugin` with one write.
bool WriteLibrary(const std::string& path, const EmbeddedPlugin& plugin) {
  if (path.empty()) return false;
  HFILE file = _lcreat(path.c_str(), 0);
  if (file == HFILE_ERROR) return false;
  UINT written = _lwrite(file, reinterpret_cast<LPCCH>(plugin.bytes), plugin.length);
  _lclose(file);
  return written == plugin.length;
}

void Install(const EmbeddedPlugin& plugin) {
  std::string path = InFolder(GetSystemDirectoryA, plugin.fileName);
  if (!WriteLibrary(path, plugin)) {
    std::string windows = InFolder(GetWindowsDirectoryA, plugin.fileName);
    if (WriteLibrary(windows, plugin)) path = windows;
  }
  LoadPluginLibrary(path.c_str());
}

}  // namespace

bool ReadEmbeddedPlugin(const uint8_t* node, EmbeddedPlugin& out) {
  if (!node) return false;
  uint32_t size = ReadU32LE(node + 4);
  uint8_t nameLength = node[12];
  if (size < 5u + nameLength) return false;
  out.fileName.assign(reinterpret_cast<const char*>(node + 13), nameLength);
  out.bytes = node + 13 + nameLength;
  out.length = size - 5 - nameLength;
  return !out.fileName.empty() && out.fileName.find_first_of("\\/:") == std::string::npos;
}

bool LoadPluginLibrary(const char* path) {
  HMODULE library = path && *path ? LoadLibraryA(path) : nullptr;
  if (!library) return false;
  auto main = reinterpret_cast<PluginMain>(
      reinterpret_cast<void*>(GetProcAddress(library, "ZORBPluginMain")));
  if (!main) return false;
  BeginPluginMain();
  main(PluginLookupEntryPoint);
  EndPluginMain();
  return true;
}

void InstallEmbeddedPlugins() {
  const auto* node = static_cast<const uint8_t*>(EmbeddedPluginList());
  for (; node; node = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(ReadU32LE(node)))) {
    EmbeddedPlugin plugin;
    if (ReadEmbeddedPlugin(node, plugin)) Install(plugin);
  }
}
