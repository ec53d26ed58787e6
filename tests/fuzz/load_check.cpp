// load-check PROGRAM...: start-up's readers, built for the host under the
// sanitizers, over whole programs with an appended image (the end-to-end
// damage test's copies); prints per program the first stage that refuses it
// (locator, blocks, fixups, relocation, entry, ReadProject) or "read whole".
#include <cstdio>

#include "startup/image_reader.h"
#include "tests/fuzz/real_seeds.h"
#include "tools/image_builder/pe_resources.h"

namespace {

std::string Check(const Bytes& file) {
  PeFacts facts;
  std::string error;
  if (!ReadPeFacts(file, facts, error)) return "program: " + error;
  image::Locator locator{};
  if (!DecodeLocator(file.data() + facts.locatorOffset, facts.locatorSize, locator)) return "locator";
  BlockPlace places[image::kBlockCount];
  if (!PlaceAppendedBlocks(file.size(), locator.imageOffset, LengthInBytes, const_cast<Bytes*>(&file), places, error))
    return "blocks: " + error;
  auto at = [&](image::Block b) { return file.data() + places[b].offset; };
  LowBlock codeBlock(places[image::kCode].length), dataBlock(places[image::kData].length);
  uint8_t* code = codeBlock.Place(at(image::kCode), places[image::kCode].length);
  uint8_t* data = dataBlock.Place(at(image::kData), places[image::kData].length);
  LoadedBlocks b{code, places[image::kCode].length, Low(code), data, places[image::kData].length, Low(data)};
  AcceptAll resolver(b.codeAddress);
  if (!LinkCode(b, at(image::kCodeFixups), places[image::kCodeFixups].length, resolver, error))
    return "fixups: " + error;
  if (!RelocateData(b, at(image::kDataFixups), places[image::kDataFixups].length, error)) return "relocation: " + error;
  uint32_t entry = 0;
  if (!EntryAddress(b, entry, error)) return "entry: " + error;
  const char* refused = ReadProject({reinterpret_cast<uintptr_t>(data), b.dataLength},
                                    {reinterpret_cast<uintptr_t>(code), b.codeLength});
  return refused ? refused : "read whole";
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    Bytes file = FileBytes(argv[i]);
    std::printf("%s|%s\n", argv[i], Check(file).c_str());
  }
  return 0;
}
