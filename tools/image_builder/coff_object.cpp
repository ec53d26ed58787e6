// The COFF reader; see coff_object.h. Positions are computed in 64 bits so
// that a huge count or offset in a damaged file cannot wrap around into a
// range that passes the bounds check.
#include "tools/image_builder/coff_object.h"

#include <cstddef>
#include <cstring>

#include "sdk/le_bytes.h"

namespace coff {
namespace {

constexpr uint32_t kFileHeaderSize = 20;
constexpr uint32_t kSectionHeaderSize = 40;
constexpr uint32_t kRelocationSize = 10;
constexpr uint32_t kSymbolSize = 18;
constexpr uint32_t kDefaultAlignment = 16;

bool Fail(std::string& error, std::string message) {
  error = std::move(message);
  return false;
}

bool Fits(const std::vector<uint8_t>& file, uint64_t offset, uint64_t length) {
  return offset <= file.size() && length <= file.size() - offset;
}

// The string table follows the symbol table; its first u32 is its own size,
// so valid name offsets start at 4.
struct StringTable {
  const uint8_t* bytes = nullptr;
  uint32_t size = 0;

  bool Get(uint64_t offset, std::string& out, std::string& error) const {
    if (offset < 4 || offset >= size) return Fail(error, "a name lies outside the string table");
    const void* end = std::memchr(bytes + offset, 0, size - offset);
    if (!end) return Fail(error, "a name in the string table is not terminated");
    out.assign(reinterpret_cast<const char*>(bytes + offset),
               static_cast<const char*>(end) - reinterpret_cast<const char*>(bytes + offset));
    return true;
  }
};

// Short names fill up to 8 bytes and are not terminated when they use all 8.
std::string ShortName(const uint8_t* p) {
  size_t n = 0;
  while (n < 8 && p[n] != 0) ++n;
  return std::string(reinterpret_cast<const char*>(p), n);
}

bool ReadStringTable(const std::vector<uint8_t>& file, uint64_t start, StringTable& table,
                     std::string& error) {
  // A file that ends with the symbol table simply has no long names.
  if (file.size() - start < 4) return true;
  uint32_t size = ReadU32LE(file.data() + start);
  if (size < 4) return true;
  if (!Fits(file, start, size)) return Fail(error, "the string table runs past the end of the file");
  table.bytes = file.data() + start;
  table.size = size;
  return true;
}

// Section names longer than 8 bytes are "/" and a decimal string-table offset.
bool SectionName(const uint8_t* p, const StringTable& strings, std::string& name,
                 std::string& error) {
  std::string raw = ShortName(p);
  if (raw.empty() || raw[0] != '/') {
    name = raw;
    return true;
  }
  if (raw.size() < 2) return Fail(error, "a section name is malformed");
  uint64_t offset = 0;
  for (size_t i = 1; i < raw.size(); ++i) {
    if (raw[i] < '0' || raw[i] > '9') return Fail(error, "section name " + raw + " is not supported");
    offset = offset * 10 + static_cast<uint64_t>(raw[i] - '0');
  }
  return strings.Get(offset, name, error);
}

bool SectionAlignment(uint32_t characteristics, uint32_t& alignment) {
  uint32_t field = (characteristics & kAlignMask) >> 20;
  if (field == 15) return false;
  alignment = field == 0 ? kDefaultAlignment : 1u << (field - 1);
  return true;
}

bool ReadRelocations(const std::vector<uint8_t>& file, const uint8_t* header, uint32_t symbolCount,
                     Section& section, std::string& error) {
  uint32_t sectionAddress = ReadU32LE(header + 12);
  uint64_t start = ReadU32LE(header + 24);
  uint64_t count = ReadU16LE(header + 32);
  uint64_t first = 0;
  // More than 65,534 relocations: the real count (which includes this first,
  // placeholder entry) is in the first entry's address field.
  if ((section.characteristics & kRelocationOverflow) && count == 0xFFFF) {
    if (!Fits(file, start, kRelocationSize))
      return Fail(error, "the relocations of " + section.name + " lie outside the file");
    count = ReadU32LE(file.data() + start);
    if (count == 0) return Fail(error, "the relocation count of " + section.name + " is malformed");
    first = 1;
  }
  if (!Fits(file, start, count * kRelocationSize))
    return Fail(error, "the relocations of " + section.name + " lie outside the file");
  section.relocations.reserve(count - first);
  for (uint64_t i = first; i < count; ++i) {
    const uint8_t* p = file.data() + start + i * kRelocationSize;
    uint32_t address = ReadU32LE(p);
    uint32_t symbol = ReadU32LE(p + 4);
    if (address < sectionAddress)
      return Fail(error, "a relocation of " + section.name + " lies before its section");
    if (symbol >= symbolCount)
      return Fail(error, "a relocation of " + section.name + " names a symbol that does not exist");
    section.relocations.push_back({address - sectionAddress, symbol, ReadU16LE(p + 8)});
  }
  return true;
}

bool ReadSection(const std::vector<uint8_t>& file, const uint8_t* header, const StringTable& strings,
                 uint32_t symbolCount, Section& section, std::string& error) {
  if (!SectionName(header, strings, section.name, error)) return false;
  section.characteristics = ReadU32LE(header + 36);
  section.size = ReadU32LE(header + 16);
  if (!SectionAlignment(section.characteristics, section.alignment))
    return Fail(error, "section " + section.name + " has an invalid alignment");
  if (!(section.characteristics & kUninitializedData)) {
    uint64_t start = ReadU32LE(header + 20);
    if (!Fits(file, start, section.size))
      return Fail(error, "the contents of " + section.name + " lie outside the file");
    section.bytes.assign(file.begin() + static_cast<std::ptrdiff_t>(start),
                         file.begin() + static_cast<std::ptrdiff_t>(start + section.size));
  }
  return ReadRelocations(file, header, symbolCount, section, error);
}

// The aux record of a section's own symbol carries its COMDAT selection.
void ReadSectionAux(const uint8_t* aux, Section& section) {
  section.checksum = ReadU32LE(aux + 8);
  section.associatedSection = ReadU16LE(aux + 12);
  section.comdatSelection = aux[14];
}

bool IsSectionSymbol(const Symbol& symbol, uint8_t auxCount, const Object& object) {
  return symbol.storageClass == kStatic && auxCount > 0 && symbol.value == 0 && symbol.section > 0 &&
         object.sections[symbol.section - 1].name == symbol.name;
}

bool ReadSymbols(const uint8_t* table, uint32_t count, const StringTable& strings, Object& object,
                 std::string& error) {
  object.symbols.resize(count);
  std::vector<bool> auxSeen(object.sections.size(), false);
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* p = table + static_cast<uint64_t>(i) * kSymbolSize;
    Symbol& symbol = object.symbols[i];
    if (ReadU32LE(p) != 0) {
      symbol.name = ShortName(p);
    } else if (!strings.Get(ReadU32LE(p + 4), symbol.name, error)) {
      return false;
    }
    symbol.value = ReadU32LE(p + 8);
    symbol.section = static_cast<int16_t>(ReadU16LE(p + 12));
    symbol.storageClass = p[16];
    uint8_t auxCount = p[17];
    if (symbol.section > static_cast<int32_t>(object.sections.size()) || symbol.section < kDebugSection)
      return Fail(error, "symbol " + symbol.name + " names a section that does not exist");
    if (auxCount >= count - i) return Fail(error, "the aux records of " + symbol.name + " run past the symbol table");
    const uint8_t* aux = p + kSymbolSize;
    if (IsSectionSymbol(symbol, auxCount, object) && !auxSeen[symbol.section - 1]) {
      auxSeen[symbol.section - 1] = true;
      ReadSectionAux(aux, object.sections[symbol.section - 1]);
    }
    if (symbol.storageClass == kWeakExternal) {
      if (auxCount == 0) return Fail(error, "weak symbol " + symbol.name + " has no default");
      symbol.weakDefault = ReadU32LE(aux);
      if (symbol.weakDefault >= count) return Fail(error, "the default of weak symbol " + symbol.name + " does not exist");
    }
    for (uint8_t a = 0; a < auxCount; ++a) object.symbols[i + 1 + a].isAux = true;
    i += auxCount;
  }
  return true;
}

}  // namespace

bool ReadObject(const std::vector<uint8_t>& file, Object& object, std::string& error) {
  object = Object{};
  if (file.size() < kFileHeaderSize) return Fail(error, "the file is too short for a COFF header");
  const uint8_t* header = file.data();
  if (ReadU16LE(header) != kMachineI386) return Fail(error, "not an i386 COFF object file");
  uint32_t sectionCount = ReadU16LE(header + 2);
  uint64_t symbolTable = ReadU32LE(header + 8);
  uint32_t symbolCount = ReadU32LE(header + 12);
  uint64_t sectionTable = kFileHeaderSize + static_cast<uint64_t>(ReadU16LE(header + 16));
  if (!Fits(file, sectionTable, static_cast<uint64_t>(sectionCount) * kSectionHeaderSize))
    return Fail(error, "the section table lies outside the file");
  if (!Fits(file, symbolTable, static_cast<uint64_t>(symbolCount) * kSymbolSize))
    return Fail(error, "the symbol table lies outside the file");

  StringTable strings;
  if (symbolTable != 0 &&
      !ReadStringTable(file, symbolTable + static_cast<uint64_t>(symbolCount) * kSymbolSize, strings, error))
    return false;

  object.sections.resize(sectionCount);
  for (uint32_t s = 0; s < sectionCount; ++s) {
    const uint8_t* p = file.data() + sectionTable + static_cast<uint64_t>(s) * kSectionHeaderSize;
    if (!ReadSection(file, p, strings, symbolCount, object.sections[s], error)) return false;
  }
  return ReadSymbols(file.data() + symbolTable, symbolCount, strings, object, error);
}

}  // namespace coff
