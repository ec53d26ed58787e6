// The eight controls of the plug-in library on one window, in a program that
// carries the library in its image: start-up writes it to disk and loads it,
// the controls draw through the runtime's panes, and a click flips the
// disclosure triangle. (Their disabled looks are the plug-in library's tests'.)
#include "window_plug_controls_project.h"

#include "sdk/builtin_class_layout.h"
#include "tests/images/app_trace.h"

// The triangle's Value through the accessors the plug-in registered.
extern "C" int32_t TriangleValue(ObjectRecord* triangle, uint32_t param) __asm__("\"!GDisclosureTriangle!Value\"");
extern "C" void SetTriangleValue(ObjectRecord* triangle, uint32_t param, int32_t value)
    __asm__("\"!SDisclosureTriangle!Value\"");

namespace {

ObjectRecord* gMain = nullptr;

// Compiled code passes a property's parameter word with it: for the
// triangle's Value, the byte at the start of the plug-in's data.
constexpr uint32_t kValue = kPluginControlDataOffset + 0;

ObjectRecord* Triangle(ObjectRecord* window) {
  return RuntimeControlFetch(window, vt::Line("DisclosureTriangle").get());
}
void TraceTriangle(ObjectRecord* window) { vt::Trace("triangle ", TriangleValue(Triangle(window), kValue) != 0); }

}  // namespace

extern "C" {

// Opens the triangle through the setter; the click then closes it again.
void Plug_Open(ObjectRecord* w) {
  vt::Trace("Open");
  SetTriangleValue(Triangle(w), kValue, 1);
  TraceTriangle(w);
}

void Plug_Close(ObjectRecord* w) { TraceTriangle(w); }

void PlugEntry() {
  Win32InstallPlugins(vs_project::PluginList());
  RuntimeInit(vs_project_record);
  RuntimeCreateWindow(vs_window_Main, &gMain);
  RuntimeRun();
}

}  // extern "C"
