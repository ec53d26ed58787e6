// The embedded plug-in list. Installing the libraries (writing them to the
// system folder, loading them and calling their main) comes with the plug-in
// interface; start-up already calls InstallEmbeddedPlugins at its place.
#include "plugins/embedded_plugins.h"

namespace {
const void* gEmbeddedPlugins = nullptr;
}

extern "C" void Win32InstallPlugins(const void* list) { gEmbeddedPlugins = list; }

const void* EmbeddedPluginList() { return gEmbeddedPlugins; }

void InstallEmbeddedPlugins() {}
