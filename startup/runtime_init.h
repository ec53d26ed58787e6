// RuntimeInit: turns the image's project record into a running runtime.
#pragma once
// This module's entry points are declared in the SDK.
#include "sdk/vellory.h"
#include <cstdint>

#include "sdk/runtime_records.h"


// The application class the project defines: the one with the highest class
// index among the image's classes derived from the built-in Application, or
// the built-in Application itself.
ClassRecord* ApplicationClass();
