// The plug-in libraries carried inside the application image.
#pragma once
// This module's entry points are declared in the SDK.
#include "sdk/vellory.h"


// The list Win32InstallPlugins recorded (null when none).
const void* EmbeddedPluginList();

// Writes each embedded library to disk, loads it and lets it register.
void InstallEmbeddedPlugins();
