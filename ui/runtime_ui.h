// The user-interface services that start-up brings up in order: the window
// classes, the default font and, in multiple-document mode, the frame window.
#pragma once
#include <string>

// Registers the runtime's window classes with the system.
void RegisterRuntimeWindowClasses();

// The font that panes and drawing ports start with.
void SetDefaultFont(const std::string& name, int size);
const std::string& DefaultFontName();
int DefaultFontSize();

// Creates the frame window of a multiple-document application.
void CreateFrameWindow(const std::string& title);

// Takes the runtime down at the end of the program: closes what is left and
// releases the system services start-up brought up (OLE).
void ShutDownRuntime();
