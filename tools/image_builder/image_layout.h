// Where every kept section goes in the image. Code sections fill the code
// block in object order; the data block starts with its two header words,
// then holds the initialized data sections, then the zero-filled ones, then
// the data generated from the project description. Relocations are applied
// later, over the bytes laid out here.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/image_builder/link_input.h"

// Large enough for any application the runtime can load, small enough that
// a damaged object claiming gigabytes of zero-filled data is refused rather
// than allocated.
inline constexpr uint64_t kMaxBlockSize = 64u << 20;

// The data block's header: the entry function's and the project record's offsets.
inline constexpr uint32_t kDataHeaderSize = 8;

struct Layout {
  std::vector<uint8_t> code;
  std::vector<uint8_t> data;
  std::vector<std::vector<uint32_t>> base;  // per object, per kept section: offset in its block
  uint32_t generatedBase = 0;               // where the generated data starts in the data block
};

bool IsLoadedRole(SectionRole role);

bool LayOutImage(const std::vector<InputObject>& objects, const std::vector<uint8_t>& generated,
                 Layout& layout, std::string& error);
