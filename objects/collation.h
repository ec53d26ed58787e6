// The runtime's own case-insensitive comparison of names (classes, events,
// methods, properties, entry points): a fixed 256-byte table that folds a-z
// and a set of accented letters, the same on every system.
#pragma once
#include <array>
#include <cstdint>
#include <string_view>

#include "sdk/runtime_records.h"

constexpr std::array<uint8_t, 256> BuildCollationTable() {
  std::array<uint8_t, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<uint8_t>(i);
  for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<uint8_t>(c - 'a' + 'A');
  constexpr uint8_t pairs[][2] = {
      {0x87, 0xE7}, {0x88, 0xCB}, {0x89, 0xE5}, {0x8A, 0x80}, {0x8B, 0xCC}, {0x8C, 0x81},
      {0x8D, 0x82}, {0x8E, 0x83}, {0x8F, 0xE9}, {0x90, 0xE6}, {0x91, 0xE8}, {0x92, 0xEA},
      {0x93, 0xED}, {0x94, 0xEB}, {0x95, 0xEC}, {0x96, 0x84}, {0x97, 0xEE}, {0x98, 0xF1},
      {0x99, 0xEF}, {0x9A, 0x85}, {0x9B, 0xCD}, {0x9C, 0xF2}, {0x9D, 0xF4}, {0x9E, 0xF3},
      {0x9F, 0x86}, {0xBE, 0xAE}, {0xBF, 0xAF}, {0xCF, 0xCE}, {0xD8, 0xD9}, {0xF5, 0x49}};
  for (const auto& p : pairs) t[p[0]] = p[1];
  return t;
}

inline constexpr std::array<uint8_t, 256> kCollationTable = BuildCollationTable();

inline uint8_t Collate(uint8_t c) { return kCollationTable[c]; }

// Equal lengths and equal mapped bytes.
bool CollateEqual(std::string_view a, std::string_view b);
// -1, 0 or 1 over mapped bytes as unsigned values; a prefix orders first.
int CollateCompare(std::string_view a, std::string_view b);
// The same over string handles (null = "").
bool StringsEqualIgnoringCase(const StringRecord* a, const StringRecord* b);
