// The diagnostic trace that compiled code can write to "trace.log".
#pragma once
#include "sdk/runtime_records.h"

extern "C" {
// Appends `text` and a carriage return to "trace.log" in the current
// directory, creating (emptying) the file on the first call.
void lineTrace(StringRecord* text);
}
