// Linking a loaded code block and relocating its data block. Both passes are
// pure functions over bytes: the blocks' load addresses are given as 32-bit
// values, so the same code runs in the 32-bit program and in native host tests,
// and every offset read from a fixup stream is checked against its block
// before anything is read or written there.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Where the blocks are and at which addresses the program sees them.
struct LoadedBlocks {
  uint8_t* code;
  uint32_t codeLength;
  uint32_t codeAddress;  // code base as the linked code sees it
  uint8_t* data;
  uint32_t dataLength;
  uint32_t dataAddress;  // data base as the linked code sees it
};

// The three forms an import name takes.
enum class ImportKind { Runtime, Library, Member };

struct ImportName {
  ImportKind kind;
  std::string_view library;  // Library: between "!X" and the next "!"
  std::string_view routine;  // Library: after that "!"; Runtime: the name
  std::string_view member;   // Member: the name without its leading "!"
};

// Splits an import name into its form and parts. A library name without a
// second "!" gives an empty library and the whole remainder as the routine.
ImportName ClassifyImport(std::string_view name);

// Answers the imports of a code block. Resolve gives the address a call-site
// chain must reach, or returns false with `message` set to what the user
// should be told. Defer takes a member import whose chain is linked later;
// it too may refuse with a message.
class ImportResolver {
 public:
  virtual bool Resolve(const ImportName& import, uint32_t& address, std::string& message) = 0;
  virtual bool Defer(const ImportName& import, uint32_t head, std::string& message) = 0;

 protected:
  ~ImportResolver() = default;
};

// Links the call sites chained from `head` (each 4-byte operand holds the next
// site's offset, 0 ends the chain) to `target`: each operand becomes
// target - (site address + 4). A head of 0 is an empty chain. False with a
// message when a site lies outside the code block or the chain does not end.
bool LinkCallChain(const LoadedBlocks& blocks, uint32_t head, uint32_t target, std::string& message);

// Applies the code fixups in order: data references get the data base added,
// import chains are linked through `resolver`, unknown record types are
// skipped one byte at a time. Stops at the first failure with `message` set:
// a site outside the code block, a word two records (or chains) link, a data
// reference whose operand lies outside the data block.
bool LinkCode(const LoadedBlocks& blocks, const uint8_t* fixups, uint32_t length,
              ImportResolver& resolver, std::string& message);

// Applies the data fixup words (a trailing odd byte is ignored). False with a
// message when a relocated word would lie outside the data block, or holds
// an offset outside the block it is relocated to.
bool RelocateData(const LoadedBlocks& blocks, const uint8_t* fixups, uint32_t length,
                  std::string& message);

// The entry function's address, read from the relocated data block. False
// with a message when the block is too short to hold it or it lies outside
// the code block: a damaged image must not be jumped into.
bool EntryAddress(const LoadedBlocks& blocks, uint32_t& entry, std::string& message);
