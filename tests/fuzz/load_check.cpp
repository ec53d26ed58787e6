// load-check PROGRAM...: runs the readers start-up uses, as built for the
// host under the sanitizers, over whole programs with an appended image (the
// damaged copies of the end-to-end damage test) and prints, per program, the
// first stage that refuses it or "read whole". It does what start-up does
// up to making objects: locator, blocks, fixups (every import taken as
// offered), relocation, entry, project record, class descriptors, items and
// their streams. A prediction for the Wine run, and a fuzz of the whole
// sequence with real damage.
#include <sys/mman.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "objects/class_descriptor.h"
#include "sdk/image_format.h"
#include "sdk/le_bytes.h"
#include "startup/code_linker.h"
#include "startup/image_reader.h"
#include "startup/project_items.h"
#include "startup/project_record.h"
#include "startup/settings.h"
#include "tests/fuzz/mutator.h"
#include "tools/image_builder/pe_resources.h"
#include "ui/menu_description.h"
#include "ui/pictures_layout.h"

namespace {


// A copy of `b` below 4 GB (stored addresses are 32-bit words), at the end
// of its pages so that a read past it faults.
uint8_t* Low(const uint8_t* b, size_t n, std::vector<std::pair<void*, size_t>>& maps) {
  size_t pages = (n + 4095) / 4096 * 4096 + 4096;
  auto* base = static_cast<uint8_t*>(
      mmap(nullptr, pages, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0));
  if (base == MAP_FAILED) return nullptr;
  mprotect(base + pages - 4096, 4096, PROT_NONE);
  maps.push_back({base, pages});
  uint8_t* at = base + pages - 4096 - n;
  if (n) memcpy(at, b, n);
  return at;
}

struct AcceptAll : ImportResolver {
  uint32_t target;
  explicit AcceptAll(uint32_t t) : target(t) {}
  bool Resolve(const ImportName&, uint32_t& address, std::string&) override {
    address = target;
    return true;
  }
  bool Defer(const ImportName&, uint32_t, std::string&) override { return true; }
};

std::string Check(const Bytes& file, std::vector<std::pair<void*, size_t>>& maps) {
  PeFacts facts;
  std::string error;
  if (!ReadPeFacts(file, facts, error)) return "program: " + error;
  image::Locator locator{};
  if (!DecodeLocator(file.data() + facts.locatorOffset, facts.locatorSize, locator)) return "locator";
  BlockPlace places[image::kBlockCount];
  if (!PlaceAppendedBlocks(file.size(), locator.imageOffset, LengthInBytes, const_cast<Bytes*>(&file), places, error))
    return "blocks: " + error;
  auto block = [&](image::Block b) { return Low(file.data() + places[b].offset, places[b].length, maps); };
  uint8_t* code = block(image::kCode);
  uint8_t* data = block(image::kData);
  auto address = [](const uint8_t* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); };
  LoadedBlocks b{code, places[image::kCode].length, address(code), data, places[image::kData].length, address(data)};
  AcceptAll resolver(b.codeAddress);
  const uint8_t* codeFixups = file.data() + places[image::kCodeFixups].offset;
  const uint8_t* dataFixups = file.data() + places[image::kDataFixups].offset;
  if (!LinkCode(b, codeFixups, places[image::kCodeFixups].length, resolver, error)) return "fixups: " + error;
  if (!RelocateData(b, dataFixups, places[image::kDataFixups].length, error)) return "relocation: " + error;
  if (b.dataLength < 8 || ReadU32LE(data) - b.codeAddress >= b.codeLength) return "entry";
  MemorySpan dataSpan{reinterpret_cast<uintptr_t>(data), b.dataLength};
  MemorySpan codeSpan{reinterpret_cast<uintptr_t>(code), b.codeLength};
  uint32_t record = ReadU32LE(data + image::kProjectRecordField);
  ProjectLists lists;
  if (!ReadProjectLists(record, dataSpan, lists)) return "project record";
  for (uint32_t i = 0; i < lists.classCount; ++i) {
    ClassDescriptor d;
    uint32_t at = ReadU32LE(reinterpret_cast<const uint8_t*>(uintptr_t{record + 4 + 4 * i}));
    if (!ReadClassDescriptor(at, dataSpan, codeSpan, d)) return "class descriptor";
    if (d.kind == 0 && (d.instanceSize < 24 || d.instanceSize > (1u << 20))) return "class size";
  }
  for (uint32_t i = 0; i < lists.itemCount; ++i) {
    uint32_t at = ReadU32LE(reinterpret_cast<const uint8_t*>(uintptr_t{lists.items + 4 * i}));
    ProjectItem item;
    if (!at) continue;
    if (!ReadProjectItem(at, dataSpan, item)) return "project item";
    AppSettings settings;
    std::vector<MenuEntryDescription> menus;
    uint32_t header[4] = {};
    if (item.type == kPictureItem) memcpy(header, item.bytes, sizeof header);
    if (item.type == kSettingsItem && !ParseSettings(item.bytes, item.length, settings)) return "settings";
    if (item.type == kMenuBarItem && !ReadMenuBarDescription(item.bytes, item.length, menus)) return "menu bar";
    if (item.type == kPictureItem && !StoredPictureFits(header)) return "picture";
  }
  return "read whole";
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::pair<void*, size_t>> maps;
    std::printf("%s|%s\n", argv[i], Check(file, maps).c_str());
    for (auto& [base, size] : maps) munmap(base, size);
  }
  return 0;
}
