// The menu bar. Menus are built when the menu subsystem arrives; until then a
// stored description is only recorded, so that the project knows it has one.
#include "ui/menu_bar.h"

namespace {
const uint8_t* gDescription = nullptr;
uint32_t gLength = 0;
}  // namespace

bool BuildMenuBar(const uint8_t* description, uint32_t length) {
  gDescription = description;
  gLength = length;
  return description != nullptr;
}
