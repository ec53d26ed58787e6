// Entry points of the runtime's exceptions, as application code and plug-ins call
// them; included by sdk/vellory.h. The tables that let compiled code catch
// exceptions are described in sdk/exception_records.h.
#pragma once
#include <stdint.h>

#include "sdk/class_records.h"
#include "sdk/runtime_records.h"

extern "C" {
// Compiled code propagates a caught exception by raising it again; this
// entry point does nothing.
void RuntimeReraiseException();
// Stack-depth check before deep recursion; there is none, so it does nothing.
void RuntimeStackCheck();
}  // extern "C"
