// Section layout; see image_layout.h. Gaps in the code block are filled with
// int3 so that a stray jump into padding stops at once instead of running on.
#include "tools/image_builder/image_layout.h"

namespace {

constexpr uint8_t kCodeFill = 0xCC;
constexpr uint32_t kGeneratedAlignment = 4;

uint64_t AlignUp(uint64_t value, uint32_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

// Appends one section at its alignment; false when the block would grow too large.
bool Place(std::vector<uint8_t>& block, const coff::Section& section, uint8_t fill, uint32_t& offset) {
  uint64_t start = AlignUp(block.size(), section.alignment);
  if (start + section.size > kMaxBlockSize) return false;
  block.resize(start, fill);
  if (section.bytes.empty())
    block.resize(start + section.size, 0);
  else
    block.insert(block.end(), section.bytes.begin(), section.bytes.end());
  offset = static_cast<uint32_t>(start);
  return true;
}

bool PlaceRole(const std::vector<InputObject>& objects, SectionRole role, std::vector<uint8_t>& block,
               uint8_t fill, Layout& layout, std::string& error) {
  for (size_t o = 0; o < objects.size(); ++o) {
    const InputObject& object = objects[o];
    for (size_t s = 0; s < object.coff.sections.size(); ++s) {
      if (!object.kept[s] || object.roles[s] != role) continue;
      if (!Place(block, object.coff.sections[s], fill, layout.base[o][s])) {
        error = object.name + ": section " + object.coff.sections[s].name + " does not fit in the image";
        return false;
      }
    }
  }
  return true;
}

}  // namespace

bool IsLoadedRole(SectionRole role) {
  return role == SectionRole::Code || role == SectionRole::Data || role == SectionRole::Bss;
}

bool LayOutImage(const std::vector<InputObject>& objects, const std::vector<uint8_t>& generated,
                 Layout& layout, std::string& error) {
  layout = Layout{};
  for (const InputObject& object : objects) layout.base.emplace_back(object.coff.sections.size(), 0);
  layout.data.resize(kDataHeaderSize, 0);
  if (!PlaceRole(objects, SectionRole::Code, layout.code, kCodeFill, layout, error) ||
      !PlaceRole(objects, SectionRole::Data, layout.data, 0, layout, error) ||
      !PlaceRole(objects, SectionRole::Bss, layout.data, 0, layout, error))
    return false;
  uint64_t start = AlignUp(layout.data.size(), kGeneratedAlignment);
  if (start + generated.size() > kMaxBlockSize) {
    error = "the generated data does not fit in the image";
    return false;
  }
  layout.data.resize(start, 0);
  layout.data.insert(layout.data.end(), generated.begin(), generated.end());
  layout.generatedBase = static_cast<uint32_t>(start);
  return true;
}
