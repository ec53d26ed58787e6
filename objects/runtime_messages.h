// The runtime's numbered message strings, which the application image
// supplies with its settings. A number beyond the table gives "".
#pragma once
#include <cstdint>

#include "sdk/runtime_records.h"

// The message numbered `index` (borrowed; null for "").
StringRecord* RuntimeMessage(int32_t index);

// Replaces the table; the runtime keeps its own references to the strings.
void SetRuntimeMessages(StringRecord* const* messages, int32_t count);
