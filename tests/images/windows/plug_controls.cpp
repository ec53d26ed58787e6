// The eight controls of the plug-in library on one window, enabled and
// disabled, in a program that carries the library in its image: start-up
// writes it to disk and loads it, the controls draw through the runtime's
// panes, and a click flips the disclosure triangle.
#include "window_plug_controls_project.h"

namespace {

using vs::String;

VS_STRING(kOpen, "Open");
VS_STRING(kTriangle, "triangle ");
VS_STRING(kName, "DisclosureTriangle");

ObjectRecord* gMain = nullptr;

}  // namespace

// The triangle's Value, read through the plug-in's own accessor.
extern "C" int32_t TriangleValue(ObjectRecord* triangle, uint32_t param) __asm__("\"!GDisclosureTriangle!Value\"");

extern "C" {

void Plug_Open(ObjectRecord*) { lineTrace(&kOpen); }

void Plug_Close(ObjectRecord* w) {
  ObjectRecord* triangle = RuntimeControlFetch(w, &kName);
  String line = String::Borrow(&kTriangle) + String::Adopt(StringStr(TriangleValue(triangle, 0) != 0));
  lineTrace(line.get());
}

void PlugEntry() {
  Win32InstallPlugins(vs_project::PluginList());
  RuntimeInit(vs_project_record);
  RuntimeCreateWindow(vs_window_Main, &gMain);
  RuntimeRun();
}

}  // extern "C"
