// The fixup encoders; see fixup_encoding.h. The limits (one length byte, a
// 12-bit advance, a 9-bit run count) come from sdk/image_format.h, which the
// loader reads with.
#include "tools/image_builder/fixup_encoding.h"

#include <algorithm>

#include "sdk/image_format.h"
#include "sdk/le_bytes.h"

namespace {

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
  uint8_t bytes[4];
  WriteU32LE(bytes, value);
  out.insert(out.end(), bytes, bytes + 4);
}

void PutU16(std::vector<uint8_t>& out, uint16_t value) {
  uint8_t bytes[2];
  WriteU16LE(bytes, value);
  out.insert(out.end(), bytes, bytes + 2);
}

void PutAdvance(std::vector<uint8_t>& out, uint64_t distance) {
  while (distance > 0) {
    uint64_t step = std::min<uint64_t>(distance, image::kMaxAdvance);
    PutU16(out, static_cast<uint16_t>(image::kAdvance | (step - 1)));
    distance -= step;
  }
}

// How many pointers from `first` on form one run: same kind, 4 bytes apart.
size_t RunLength(const std::vector<DataPointer>& pointers, size_t first) {
  size_t n = 1;
  while (first + n < pointers.size() && n < image::kMaxRun &&
         pointers[first + n].kind == pointers[first].kind &&
         pointers[first + n].offset == pointers[first].offset + 4ull * n)
    ++n;
  return n;
}

}  // namespace

bool EncodeCodeFixups(const std::vector<ImportChain>& imports,
                      const std::vector<uint32_t>& dataReferences, std::vector<uint8_t>& out,
                      std::string& error) {
  out.clear();
  for (const ImportChain& import : imports) {
    if (import.name.size() > 255) {
      error = "import name " + import.name + " is longer than 255 bytes";
      return false;
    }
    out.push_back(image::kImportRecord);
    PutU32(out, import.head);
    out.push_back(static_cast<uint8_t>(import.name.size()));
    out.insert(out.end(), import.name.begin(), import.name.end());
  }
  for (uint32_t site : dataReferences) {
    out.push_back(image::kDataReferenceRecord);
    PutU32(out, site);
  }
  return true;
}

bool EncodeDataFixups(std::vector<DataPointer> pointers, std::vector<uint8_t>& out, std::string& error) {
  out.clear();
  std::stable_sort(pointers.begin(), pointers.end(),
                   [](const DataPointer& a, const DataPointer& b) { return a.offset < b.offset; });
  uint64_t cursor = 0;
  for (size_t i = 0; i < pointers.size();) {
    if (pointers[i].offset < cursor) {
      error = "two pointers in the data block overlap at offset " + std::to_string(pointers[i].offset);
      return false;
    }
    PutAdvance(out, pointers[i].offset - cursor);
    size_t n = RunLength(pointers, i);
    uint16_t run = pointers[i].kind == PointerKind::Code ? image::kCodeRun : image::kDataRun;
    PutU16(out, static_cast<uint16_t>(run | (n - 1)));
    cursor = pointers[i].offset + 4ull * n;
    i += n;
  }
  return true;
}
