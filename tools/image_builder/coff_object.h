// Reading the i386 COFF object files the cross compiler writes, as plain
// values the linker can walk without touching the file again. Object files
// are untrusted input (a build can hand over anything), so every offset and
// count read from the file is checked against the file before it is used, and
// the values handed out obey simple invariants: a symbol's section number
// names an existing section, a relocation's symbol index names a symbol slot.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace coff {

inline constexpr uint16_t kMachineI386 = 0x014C;

// Section characteristics.
inline constexpr uint32_t kCode = 0x00000020;
inline constexpr uint32_t kUninitializedData = 0x00000080;
inline constexpr uint32_t kLinkInfo = 0x00000200;
inline constexpr uint32_t kLinkRemove = 0x00000800;
inline constexpr uint32_t kLinkComdat = 0x00001000;
inline constexpr uint32_t kAlignMask = 0x00F00000;
inline constexpr uint32_t kRelocationOverflow = 0x01000000;
inline constexpr uint32_t kDiscardable = 0x02000000;

// Relocation types the image can express.
inline constexpr uint16_t kDir32 = 0x0006;
inline constexpr uint16_t kRel32 = 0x0014;

// Storage classes.
inline constexpr uint8_t kExternal = 2;
inline constexpr uint8_t kStatic = 3;
inline constexpr uint8_t kWeakExternal = 105;

// Section numbers below 1.
inline constexpr int16_t kUndefinedSection = 0;
inline constexpr int16_t kAbsoluteSection = -1;
inline constexpr int16_t kDebugSection = -2;

// COMDAT selection, from the section symbol's aux record.
inline constexpr uint8_t kSelectNoDuplicates = 1;
inline constexpr uint8_t kSelectAny = 2;
inline constexpr uint8_t kSelectSameSize = 3;
inline constexpr uint8_t kSelectExactMatch = 4;
inline constexpr uint8_t kSelectAssociative = 5;
inline constexpr uint8_t kSelectLargest = 6;

struct Relocation {
  uint32_t offset;  // from the start of the section
  uint32_t symbol;  // index into Object::symbols
  uint16_t type;
};

struct Section {
  std::string name;
  uint32_t characteristics = 0;
  uint32_t size = 0;           // in the image; for uninitialized data no bytes are stored
  uint32_t alignment = 1;      // a power of two
  std::vector<uint8_t> bytes;  // `size` bytes, or none for uninitialized data
  std::vector<Relocation> relocations;
  // From the aux record of the section's own symbol, when it has one.
  uint8_t comdatSelection = 0;
  uint16_t associatedSection = 0;  // 1-based, for kSelectAssociative
  uint32_t checksum = 0;
};

struct Symbol {
  std::string name;
  uint32_t value = 0;
  int16_t section = 0;  // 1-based section number, or one of the numbers below 1
  uint8_t storageClass = 0;
  bool isAux = false;         // this slot holds an aux record of the symbol before it
  uint32_t weakDefault = 0;   // weak externals: index of the symbol used when nothing else defines it
};

struct Object {
  std::vector<Section> sections;
  std::vector<Symbol> symbols;  // one entry per symbol-table slot, aux slots included
};

// Parses `bytes`; false with `error` saying what is wrong (without the file
// name, which the caller knows).
bool ReadObject(const std::vector<uint8_t>& bytes, Object& object, std::string& error);

}  // namespace coff
