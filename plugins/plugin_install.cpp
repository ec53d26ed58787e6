// Installing the embedded plug-ins: each library goes to disk under its own
// name (the system folder, else the Windows folder) and is loaded from
// there. When neither folder can be written, a library of that name already
// there is loaded instead, so a locked-down machine still gets its controls
// from an earlier start.
#include <windows.h>

#include <cstring>
#include <string>

#include "objects/assertion.h"
#include "objects/startup_trace.h"
#include "plugins/embedded_plugins.h"
#include "plugins/plugin_registry.h"
#include "sdk/le_bytes.h"

namespace {

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

// Whether `path` already holds exactly `plugin`'s bytes: then the start
// need not write it again (the file would come out the same, and a library
// another running copy has loaded cannot be written over anyway).
bool AlreadyThere(const std::string& path, const EmbeddedPlugin& plugin) {
  if (path.empty()) return false;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool same = false;
  LARGE_INTEGER size = {};
  if (GetFileSizeEx(file, &size) && size.QuadPart == plugin.length) {
    std::string bytes(plugin.length, '\0');
    DWORD got = 0;
    same = ReadFile(file, bytes.data(), plugin.length, &got, nullptr) && got == plugin.length &&
           std::memcmp(bytes.data(), plugin.bytes, plugin.length) == 0;
  }
  CloseHandle(file);
  return same;
}

void Install(const EmbeddedPlugin& plugin, PluginLookupRoutine lookup) {
  std::string path = InFolder(GetSystemDirectoryA, plugin.fileName);
  if (!AlreadyThere(path, plugin) && !WriteLibrary(path, plugin)) {
    std::string windows = InFolder(GetWindowsDirectoryA, plugin.fileName);
    if (WriteLibrary(windows, plugin)) path = windows;
  }
  StartupMark("plug-in library written");
  LoadPluginLibrary(path.c_str(), lookup);
}

}  // namespace

bool LoadPluginLibrary(const char* path, PluginLookupRoutine lookup) {
  HMODULE library = path && *path ? LoadLibraryA(path) : nullptr;
  if (!library) return false;
  auto main = reinterpret_cast<PluginMain>(
      reinterpret_cast<void*>(GetProcAddress(library, "ZORBPluginMain")));
  if (!main) return false;
  StartupMark("plug-in library loaded");
  BeginPluginMain();
  main(lookup);
  EndPluginMain();
  StartupMark("plug-in registered");
  return true;
}

void InstallEmbeddedPlugins(MemorySpan data, PluginLookupRoutine lookup) {
  std::vector<EmbeddedPlugin> plugins;
  RuntimeCheck(ReadEmbeddedPluginList(EmbeddedPluginList(), data, plugins),
               "the plug-in list is damaged");
  for (const EmbeddedPlugin& plugin : plugins) Install(plugin, lookup);
}
