// The embedded plug-in list: Win32InstallPlugins only records where it is;
// RuntimeInit installs the libraries (plugin_install.cpp) at its place.
#include "plugins/embedded_plugins.h"

namespace {
const void* gEmbeddedPlugins = nullptr;
}

extern "C" void Win32InstallPlugins(const void* list) { gEmbeddedPlugins = list; }

const void* EmbeddedPluginList() { return gEmbeddedPlugins; }
