// Making a window from a description stream as compiled code does: the
// stream behind its byte count (`length`, else its size), lying in the data
// block (here a block of its own, standing in for the image's).
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "objects/process_globals.h"
#include "sdk/le_bytes.h"
#include "sdk/vellory.h"

inline ObjectRecord* CreateDescribedWindow(const std::vector<uint8_t>& stream, ObjectRecord** slot = nullptr,
                                           std::optional<uint32_t> length = {}) {
  std::vector<uint8_t> block(4);
  WriteU32LE(block.data(), length.value_or(static_cast<uint32_t>(stream.size())));
  block.insert(block.end(), stream.begin(), stream.end());
  uint8_t* savedBase = gDataBase;
  uint32_t savedLength = gDataLength;
  gDataBase = block.data();
  gDataLength = static_cast<uint32_t>(block.size());
  ObjectRecord* window = RuntimeCreateWindow(block.data(), slot);
  gDataBase = savedBase;
  gDataLength = savedLength;
  return window;
}
