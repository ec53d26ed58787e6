// Raising run-time errors. Every raise makes a new exception object and hands
// it to the unwinder, which looks for a handler in the compiled code's frames;
// an exception nobody handles is reported to the user and ends the program.
#pragma once
// This module's entry points are declared in the SDK.
#include "sdk/vellory.h"
#include <string>
#include <string_view>

#include "sdk/runtime_records.h"

// Makes a new object of the built-in exception class `className` and raises
// it. The raise keeps the new object's one reference: whoever catches it
// holds the only one.
[[noreturn]] void RaiseNewException(const char* className);

// One raise operation per exception class that the runtime raises itself.
[[noreturn]] void RaiseNilObjectException();
[[noreturn]] void RaiseIllegalCastException();
[[noreturn]] void RaiseOutOfBoundsException();
[[noreturn]] void RaiseTypeMismatchException();
// The way the program ends: unless compiled code catches it, the walk
// reaches the top, and the runtime shuts down without a message.
[[noreturn]] void RaiseEndException();

// The text shown for an unhandled exception: `message` with every "%1"
// replaced by the exception's class name.
std::string UnhandledExceptionText(std::string_view message, std::string_view className);

