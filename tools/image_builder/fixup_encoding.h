// Writing the two fixup streams of an image from plain lists: the code
// fixups (import records and data-reference records) and the data fixup
// words. Kept apart from the linker so the byte encodings can be checked on
// their own against the loader that reads them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One import: the chain of its call sites starts at `head`.
struct ImportChain {
  std::string name;
  uint32_t head;
};

// Import records in the given order, then one data-reference record per
// site. False when a name does not fit its one length byte.
bool EncodeCodeFixups(const std::vector<ImportChain>& imports,
                      const std::vector<uint32_t>& dataReferences, std::vector<uint8_t>& out,
                      std::string& error);

enum class PointerKind { Code, Data };

// A u32 in the data block that holds an offset into the code or data block.
struct DataPointer {
  uint32_t offset;
  PointerKind kind;
};

// Advance and run words for the pointers, in any order. Runs merge
// consecutive pointers of one kind; advances may land anywhere, so pointers
// need not be aligned. False when two pointers overlap.
bool EncodeDataFixups(std::vector<DataPointer> pointers, std::vector<uint8_t>& out, std::string& error);
