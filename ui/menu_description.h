// Reading a stored menu bar description into a tree of entries, before
// anything is built from it. Pure and bounds-checked: a damaged description
// yields false instead of a half-read tree, and nesting is limited so that a
// crafted stream cannot exhaust the stack.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

inline constexpr int32_t kNotAnArrayElement = INT32_MIN;

struct MenuEntryDescription {
  int32_t kind = 0;  // 0 menu or item, 1 the application menu, 2 an empty slot
  std::string text;  // "-" for a separator
  std::string name;
  int32_t index = kNotAnArrayElement;
  std::string commandKey;
  std::string help;
  std::string disabledHelp;
  bool hasSubmenu = false;
  int32_t classIndex = 0;
  // A top-level entry's items, or an item's submenu.
  std::vector<MenuEntryDescription> items;
};

// Reads the packed stream (without its byte count) into the top-level
// entries; false when the stream ends early or nests too deeply.
bool ReadMenuBarDescription(const uint8_t* bytes, uint32_t length,
                            std::vector<MenuEntryDescription>& menus);

// The stored index as the runtime uses it: two values older designers wrote
// for "no index" read as kNotAnArrayElement.
int32_t NormalisedMenuIndex(int32_t stored);
