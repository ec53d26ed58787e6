// ReadPeFacts; see pe_resources.h. The resource directory is three levels
// deep: type (here the name "PICKLE"), id (101), language (1033); the leaf
// gives the resource's address, which the section table turns into a file
// offset.
#include "tools/image_builder/pe_resources.h"

#include "sdk/image_format.h"
#include "sdk/le_bytes.h"

namespace {

struct Section {
  uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
};

class PeReader {
 public:
  PeReader(const std::vector<uint8_t>& f, std::string& error) : f_(f), error_(error) {}

  bool Fail(const std::string& what) {
    error_ = what;
    return false;
  }
  bool Has(uint64_t offset, uint64_t length) const { return offset + length <= f_.size(); }
  uint16_t U16(uint32_t at) const { return ReadU16LE(f_.data() + at); }
  uint32_t U32(uint32_t at) const { return ReadU32LE(f_.data() + at); }

  bool ReadHeaders() {
    if (!Has(0, 0x40) || f_[0] != 'M' || f_[1] != 'Z') return Fail("not a Windows program");
    uint32_t pe = U32(0x3C);
    if (!Has(pe, 24) || U32(pe) != 0x00004550) return Fail("no PE header");
    uint16_t sections = U16(pe + 6), optionalSize = U16(pe + 20);
    uint32_t optional = pe + 24;
    if (!Has(optional, optionalSize) || optionalSize < 96 + 8 * 3 || U16(optional) != 0x10B)
      return Fail("not a 32-bit PE program");
    if (U32(optional + 92) < 3) return Fail("no resource directory");
    resourceRva_ = U32(optional + 96 + 8 * 2);
    uint32_t table = optional + optionalSize;
    if (!Has(table, uint64_t{sections} * 40)) return Fail("section table cut short");
    for (uint16_t i = 0; i < sections; ++i) {
      uint32_t s = table + 40u * i;
      sections_.push_back({U32(s + 12), U32(s + 8), U32(s + 20), U32(s + 16)});
    }
    return true;
  }

  uint32_t EndOfSections() const {
    uint64_t end = 0;
    for (const Section& s : sections_)
      if (s.rawSize && uint64_t{s.rawOffset} + s.rawSize > end) end = uint64_t{s.rawOffset} + s.rawSize;
    return static_cast<uint32_t>(end);
  }

  bool RvaToOffset(uint32_t rva, uint32_t length, uint32_t& offset) {
    for (const Section& s : sections_) {
      uint32_t span = s.virtualSize > s.rawSize ? s.rawSize : s.virtualSize;
      if (span == 0) span = s.rawSize;
      if (rva >= s.virtualAddress && uint64_t{rva} + length <= uint64_t{s.virtualAddress} + span) {
        offset = s.rawOffset + (rva - s.virtualAddress);
        if (Has(offset, length)) return true;
      }
    }
    return Fail("an address in the resources lies outside every section");
  }

  // Finds the entry of a resource directory matching a name or an id and
  // gives its target, relative to the resource section.
  bool FindEntry(uint32_t dir, const char* name, uint32_t id, uint32_t& target, bool& isDir) {
    uint32_t at;
    if (!RvaToOffset(resourceRva_ + dir, 16, at)) return false;
    uint32_t count = uint32_t{U16(at + 12)} + U16(at + 14);
    if (!RvaToOffset(resourceRva_ + dir + 16, count * 8, at)) return false;
    for (uint32_t i = 0; i < count; ++i) {
      uint32_t key = U32(at + 8 * i), value = U32(at + 8 * i + 4);
      bool named = key & 0x80000000u;
      if (name ? !(named && NameIs(key & 0x7FFFFFFFu, name)) : (named || key != id)) continue;
      target = value & 0x7FFFFFFFu;
      isDir = value & 0x80000000u;
      return true;
    }
    return Fail("the program has no PICKLE resource 101 in language 1033");
  }

  bool NameIs(uint32_t rel, const char* name) {
    uint32_t at;
    if (!RvaToOffset(resourceRva_ + rel, 2, at)) return false;
    uint16_t length = U16(at);
    if (length != std::string(name).size() || !RvaToOffset(resourceRva_ + rel + 2, length * 2u, at))
      return false;
    for (uint16_t i = 0; i < length; ++i)
      if (U16(at + 2 * i) != static_cast<uint8_t>(name[i])) return false;
    return true;
  }

  bool FindLocator(uint32_t& offset, uint32_t& size) {
    uint32_t types, ids, leaf;
    bool dir1 = false, dir2 = false, dir3 = true;
    if (!FindEntry(0, image::kLocatorType, 0, types, dir1) || !dir1 ||
        !FindEntry(types, nullptr, image::kLocatorId, ids, dir2) || !dir2 ||
        !FindEntry(ids, nullptr, image::kLocatorLanguage, leaf, dir3) || dir3)
      return error_.empty() ? Fail("malformed resource directory") : false;
    uint32_t at;
    if (!RvaToOffset(resourceRva_ + leaf, 16, at)) return false;
    size = U32(at + 4);
    return RvaToOffset(U32(at), size, offset);
  }

 private:
  const std::vector<uint8_t>& f_;
  std::string& error_;
  std::vector<Section> sections_;
  uint32_t resourceRva_ = 0;
};

}  // namespace

bool ReadPeFacts(const std::vector<uint8_t>& file, PeFacts& facts, std::string& error) {
  PeReader pe(file, error);
  if (!pe.ReadHeaders()) return false;
  facts.endOfSections = pe.EndOfSections();
  return pe.FindLocator(facts.locatorOffset, facts.locatorSize);
}
