// The TextEncoding and TextConverter classes' properties.
#pragma once
#include "sdk/class_records.h"

extern const PropertyEntry kTextEncodingProperties[];
extern const uint32_t kTextEncodingPropertyCount;
