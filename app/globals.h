// The application's state as its files share it: the fields of the Globals
// module, the preference store it holds, the serial control's settings and
// a window's controls by name. Included after the project header.
#pragma once
#include "app/main_window.h"
#include "sdk/service_layouts.h"

namespace G = vs_project::Globals;

// A field of the Globals module, by its offset (G::kAutoConnect, ...).
template <typename T>
T& Global(uint32_t offset) {
  return vs::Field<T>(vs_module_Globals, offset);
}

// The preference store PrefsLoad made, borrowed (nil before).
inline ObjectRecord* Prefs() { return Global<ObjectRecord*>(G::kPrefs); }

// The main window's serial control as its settings record.
inline SerialObject* SerialSettings() { return reinterpret_cast<SerialObject*>(SerialLine()); }

// One window's controls by name, borrowed, with the reads and writes the
// dialogs make of them.
struct WindowControls {
  ObjectRecord* window;
  ObjectRecord* Get(StringRecord* name) const { return RuntimeControlFetch(window, name); }
  int32_t Row(StringRecord* name) const { return RuntimePopupSelectionGetter(Get(name)); }
  void SetRow(StringRecord* name, int32_t row) const {
    RuntimePopupSelectionSetter(Get(name), 0, row);
  }
  bool Checked(StringRecord* name) const { return checkBoxValueGetter(Get(name)); }
  void Check(StringRecord* name, bool value) const { checkBoxValueSetter(Get(name), 0, value); }
};
