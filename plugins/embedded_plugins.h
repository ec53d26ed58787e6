// The plug-in libraries carried inside the application image.
#pragma once
// This module's entry points are declared in the SDK.
#include "sdk/vellory.h"

#include <cstdint>
#include <string>

// The list Win32InstallPlugins recorded (null when none).
const void* EmbeddedPluginList();

// Writes each embedded library to disk, loads it and lets it register.
void InstallEmbeddedPlugins();

// One node of the list, as the image carries it: the file name and the
// library's bytes. False when the node's sizes do not fit together.
struct EmbeddedPlugin {
  std::string fileName;
  const uint8_t* bytes;
  uint32_t length;
};
bool ReadEmbeddedPlugin(const uint8_t* node, EmbeddedPlugin& out);

// Loads the library at `path`, and when it has a ZORBPluginMain, runs it as
// the current plug-in with the runtime's lookup routine. False when the
// library or its main is missing (nothing is shown then).
bool LoadPluginLibrary(const char* path);
