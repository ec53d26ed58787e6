// An application carrying the test plug-in in its image: start-up must write
// the library out, load it and let it register "TestLamp" before the member
// imports are linked, or the image does not load at all. Through them this
// code reaches the plug-in's setter and the runtime's default getter.
#include "plugin_app_project.h"
#include "tests/images/app_trace.h"

namespace {

// Where the plug-in's data starts in every control instance, and the fields
// the test plug-in keeps there.
constexpr uint32_t kData = 92;
constexpr uint32_t kLevel = kData + 8;
constexpr uint32_t kCount = kData + 12;

}  // namespace

extern "C" {

void CountSetter(ObjectRecord*, uint32_t, int32_t) __asm__("\"!STestLamp!Count\"");
int32_t LevelGetter(ObjectRecord*, uint32_t) __asm__("\"!GTestLamp!Level\"");

void App_Open(ObjectRecord*) {
  vt::Trace("App Open");
  // Stands in for a TestLamp: both routines touch only the one field they
  // are given, so the image needs no class of its own for the control. Its
  // header names a class of its size: the runtime's accessors take only a
  // field inside the object's class.
  uint32_t fields[32] = {};
  ClassRecord standIn = {};
  standIn.instanceSize = sizeof fields;
  auto* lamp = reinterpret_cast<ObjectRecord*>(fields);
  lamp->cls = &standIn;
  fields[kLevel / 4] = 7;
  fields[kCount / 4] = 0;
  vt::Trace("Level = ", LevelGetter(lamp, kLevel));
  // The plug-in's setter stores twice the value it is given.
  CountSetter(lamp, kCount, 21);
  vt::Trace("Count = ", fields[kCount / 4]);
}

void PluginAppEntry() {
  Win32InstallPlugins(vs_project::PluginList());
  RuntimeInit(vs_project_record);
}

}  // extern "C"
