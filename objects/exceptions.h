// Raising run-time errors. Every raise makes a new exception object and hands
// it to the raise operation, which looks for a handler in the compiled code's
// frames; an exception nobody handles is reported to the user and ends the
// program.
#pragma once
#include <string>
#include <string_view>

#include "sdk/runtime_records.h"

// Makes a new object of the built-in exception class `className` and raises it.
[[noreturn]] void RaiseNewException(const char* className);

// The text shown for an unhandled exception: `message` with every "%1"
// replaced by the exception's class name.
std::string UnhandledExceptionText(std::string_view message, std::string_view className);

extern "C" {
[[noreturn]] void RuntimeRaiseException(ObjectRecord* exception);
[[noreturn]] void RuntimeNilObject();
}
