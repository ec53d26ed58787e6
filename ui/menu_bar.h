// The application's menu bar, built from the menu description in the image.
#pragma once
#include <cstdint>

// Builds the menu bar from a stored menu description; true when the image
// described one.
bool BuildMenuBar(const uint8_t* description, uint32_t length);
