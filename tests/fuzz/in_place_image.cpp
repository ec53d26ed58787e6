// InPlaceImage; see in_place_image.h.
#include "tests/fuzz/in_place_image.h"

InPlaceImage::InPlaceImage(RealSeeds& s) : code_(s.code.size()), data_(s.data.size()) {
  uint8_t* code = code_.Place(s.code);
  uint8_t* data = data_.Place(s.data);
  LoadedBlocks b{code, Size(s.code), Low(code), data, Size(s.data), Low(data)};
  data_span_ = {reinterpret_cast<uintptr_t>(data), s.data.size()};
  code_span_ = {reinterpret_cast<uintptr_t>(code), s.code.size()};
  std::string message;
  if (!RelocateData(b, s.dataFixups.data(), Size(s.dataFixups), message)) std::abort();
  uint32_t record = ReadU32LE(data + image::kProjectRecordField);
  ProjectLists lists;
  if (!ReadProjectLists(record, data_span_, lists)) std::abort();
  AddTargets(record, lists, s);
  whole_ = lists.classCount > 0 && lists.itemCount > 0;
}

// The words start-up reads first, and the settings and menu bar items.
void InPlaceImage::AddTargets(uint32_t record, const ProjectLists& lists, RealSeeds& s) {
  targets_ = {record, lists.items - 4};
  for (uint32_t c = 0; c < lists.classCount; ++c) {
    uint32_t d = WordAt(record + 4 + 4 * c);
    targets_.push_back(record + 4 + 4 * c);
    for (uint32_t w = 0; w < 24; ++w) targets_.push_back(d + 4 * w);
    targets_.push_back(WordAt(d + 8) + 12);
  }
  for (uint32_t n = 0; n < lists.itemCount; ++n) {
    uint32_t at = WordAt(lists.items + 4 * n);
    targets_.push_back(lists.items + 4 * n);
    for (uint32_t w = 0; w < 8; ++w) targets_.push_back(at + 4 * w);
    ProjectItem item;
    if (at && ReadProjectItem(at, data_span_, item) && (item.type == kSettingsItem || item.type == kMenuBarItem))
      (item.type == kSettingsItem ? s.settings : s.menuBars).emplace_back(item.bytes, item.bytes + item.length);
  }
}

bool InPlaceImage::ReadsWhole() { return whole_ && ReadProject(data_span_, code_span_); }

void InPlaceImage::Run(const Bytes& damage, bool (*read)(MemorySpan data, MemorySpan code)) {
  std::vector<std::pair<uint32_t, uint32_t>> saved;
  for (size_t r = 0; r < kMaxDamage && 8 * r + 8 <= damage.size(); ++r) {
    uint32_t pick = ReadU32LE(&damage[8 * r]), value = ReadU32LE(&damage[8 * r + 4]);
    uint32_t at = targets_[(pick & 0x3FFFFFFF) % targets_.size()], how = pick >> 30;
    if (!data_span_.Holds(at, 4)) continue;
    saved.push_back({at, WordAt(at)});
    uint32_t base = static_cast<uint32_t>(data_span_.start);
    Put(at, how == kXor ? WordAt(at) ^ value : how == kFromData ? base + value : value);
  }
  read(data_span_, code_span_);
  for (auto it = saved.rbegin(); it != saved.rend(); ++it) Put(it->first, it->second);
}
