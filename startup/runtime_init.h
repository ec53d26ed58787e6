// RuntimeInit: turns the image's project record into a running runtime.
#pragma once
#include <cstdint>

#include "sdk/runtime_records.h"

extern "C" {
// Brings up the runtime's services and plug-ins, links member imports,
// builds the class table, makes the project items' objects and the
// application object, and raises its "Open" event.
void RuntimeInit(const uint32_t* projectRecord);
}

// The application class the project defines: the one with the highest class
// index among the image's classes derived from the built-in Application, or
// the built-in Application itself.
ClassRecord* ApplicationClass();
