// A window's controls by key: 256 hash buckets plus insertion order, keys
// compared ignoring case, one reference held per control. The key of a
// control is its Name, or Name + "$" + Index for a control-array element.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "sdk/runtime_records.h"

struct ControlDictionary;

ControlDictionary* NewControlDictionary();
// Drops every reference the dictionary holds and frees it; null is ignored.
void DestroyControlDictionary(ControlDictionary* controls);

// Stores `control` (taking a reference) under `key`; a key already present
// keeps its position and gets the new control (the old one is released).
void InsertControl(ControlDictionary* controls, std::string_view key, ObjectRecord* control);
// The control under `key` (any letter case), borrowed; null when absent.
ObjectRecord* FindControl(const ControlDictionary* controls, std::string_view key);
int32_t ControlCount(const ControlDictionary* controls);
// The control at `position` in insertion order, borrowed; null outside.
ObjectRecord* ControlAt(const ControlDictionary* controls, int32_t position);

// The key of a control: Name, or Name$Index when Index is not INT32_MIN.
std::string ControlKey(std::string_view name, int32_t index);
