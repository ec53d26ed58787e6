// The embedded plug-in list: Win32InstallPlugins only records where it is;
// RuntimeInit installs the libraries (plugin_install.cpp) at its place.
#include "plugins/embedded_plugins.h"

#include "sdk/le_bytes.h"

namespace {
const void* gEmbeddedPlugins = nullptr;
}

extern "C" void Win32InstallPlugins(const void* list) { gEmbeddedPlugins = list; }

const void* EmbeddedPluginList() { return gEmbeddedPlugins; }

namespace {
constexpr uint32_t kNodeHeader = 13;  // next, size, reserved, name length
}

bool ReadEmbeddedPlugin(const uint8_t* node, MemorySpan data, EmbeddedPlugin& out) {
  auto at = reinterpret_cast<uintptr_t>(node);
  if (!node || !data.Holds(at, kNodeHeader)) return false;
  uint32_t size = ReadU32LE(node + 4);  // counts from the reserved word on
  uint8_t nameLength = node[12];
  if (size < 5u + nameLength || !data.Holds(at + 8, size)) return false;
  out.fileName.assign(reinterpret_cast<const char*>(node + kNodeHeader), nameLength);
  out.bytes = node + kNodeHeader + nameLength;
  out.length = size - 5 - nameLength;
  return !out.fileName.empty() && out.fileName.find_first_of("\\/:") == std::string::npos;
}

bool ReadEmbeddedPluginList(const void* list, MemorySpan data, std::vector<EmbeddedPlugin>& out) {
  const auto* node = static_cast<const uint8_t*>(list);
  while (node) {
    EmbeddedPlugin plugin;
    if (!ReadEmbeddedPlugin(node, data, plugin)) return false;
    out.push_back(plugin);
    uintptr_t end = reinterpret_cast<uintptr_t>(node) + 8 + ReadU32LE(node + 4);
    uintptr_t next = ReadU32LE(node);
    if (next != 0 && next < end) return false;
    node = reinterpret_cast<const uint8_t*>(next);
  }
  return true;
}
