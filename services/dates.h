// The Date class's properties.
#pragma once
#include "sdk/class_records.h"

extern const PropertyEntry kDateProperties[];
extern const uint32_t kDatePropertyCount;
