// The plug-in libraries carried inside the application image.
#pragma once
// This module's entry points are declared in the SDK.
#include "sdk/vellory.h"

#include <cstdint>
#include <string>
#include <vector>

#include "objects/memory_span.h"
#include "sdk/plugin_records.h"

// The list Win32InstallPlugins recorded (null when none).
const void* EmbeddedPluginList();

// Writes each embedded library to disk, loads it and lets it register,
// handing it `lookup` (start-up's entry table). The list must lie in `data`;
// damage goes to the assertion hook.
void InstallEmbeddedPlugins(MemorySpan data, PluginLookupRoutine lookup);

// One node of the list, as the image carries it: the file name and the
// library's bytes.
struct EmbeddedPlugin {
  std::string fileName;
  const uint8_t* bytes;
  uint32_t length;
};

// Reads the node at `node`; false when it does not lie within `data`, its
// sizes do not fit together, or its name would leave the folder it is
// written into.
bool ReadEmbeddedPlugin(const uint8_t* node, MemorySpan data, EmbeddedPlugin& out);

// Reads the whole list from `list` (null: none). Each next node must start
// past the end of the one before, so a damaged link can neither loop nor
// lead back into a node. False (with what was read so far) on damage.
bool ReadEmbeddedPluginList(const void* list, MemorySpan data, std::vector<EmbeddedPlugin>& out);

// Loads the library at `path`, and when it has a ZORBPluginMain, runs it as
// the current plug-in with `lookup`, the runtime's lookup routine. False
// when the library or its main is missing (nothing is shown then).
bool LoadPluginLibrary(const char* path, PluginLookupRoutine lookup);
