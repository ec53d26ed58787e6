// The plug-in libraries carried inside the application image.
#pragma once

extern "C" {
// Records the image's embedded plug-in list for RuntimeInit; nothing else.
void Win32InstallPlugins(const void* list);
}

// The list Win32InstallPlugins recorded (null when none).
const void* EmbeddedPluginList();

// Writes each embedded library to disk, loads it and lets it register.
void InstallEmbeddedPlugins();
