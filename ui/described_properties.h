// Applying the (name, value) text pairs of window and control descriptions:
// the name is looked up among the PropertyRecords of the object's class
// chain (ignoring case, nearest class first), the text converted by the
// property's declared type, and the setter called.
#pragma once
#include <string_view>

#include "sdk/runtime_records.h"

// False (and nothing done) when no property matches, it has no setter or no
// type, or its type has no text conversion ("Single", "Double", "Form").
bool ApplyDescribedProperty(ObjectRecord* object, std::string_view name, std::string_view value);
