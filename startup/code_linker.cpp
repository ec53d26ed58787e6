// The two link passes of the loader; see code_linker.h. Errors in the stored
// records (a record cut short, an offset outside its block) are reported in the
// same words as the loader's other image errors, so the user sees one kind of
// message whatever part of the image is damaged.
#include "startup/code_linker.h"

#include <vector>

#include "sdk/image_format.h"
#include "sdk/le_bytes.h"
#include "startup/load_messages.h"

namespace {

bool Damaged(std::string& message, const char* what) {
  message = kImageUnreadable;
  message += what;
  return false;
}

// True when [offset, offset + 4) lies inside a block of `length` bytes.
bool WordFits(uint64_t offset, uint32_t length) { return offset + 4 <= length; }

// The bytes of one block that a pass has linked so far. A stored image links
// each word once; a word linked twice (two records naming one site, chains
// that meet, a fixup stream shifted by damage) would be left holding a sum
// no linker meant, so it is refused instead.
class LinkedWords {
 public:
  explicit LinkedWords(uint32_t length) : linked_(length) {}
  // Marks the word at `offset` (which fits the block); false when any of its
  // bytes was linked already.
  bool Claim(uint32_t offset) {
    for (uint32_t i = offset; i < offset + 4; ++i)
      if (linked_[i]) return false;
    for (uint32_t i = offset; i < offset + 4; ++i) linked_[i] = true;
    return true;
  }

 private:
  std::vector<bool> linked_;
};

// A data reference's operand is an offset into the data block (its end
// included, as a pointer past a last array may be).
bool ApplyDataReference(const LoadedBlocks& b, uint32_t site, LinkedWords& linked, std::string& message) {
  if (!WordFits(site, b.codeLength))
    return Damaged(message, "a data reference points outside the code block.");
  if (!linked.Claim(site)) return Damaged(message, "a word of the code block is linked twice.");
  uint8_t* p = b.code + site;
  uint32_t offset = ReadU32LE(p);
  if (offset > b.dataLength) return Damaged(message, "a data reference points outside the data block.");
  WriteU32LE(p, offset + b.dataAddress);
  return true;
}

// Claims every site of the chain from `head` before anything is linked: the
// chains of member imports are linked only later, but their sites must be
// known now to keep every other record off them.
bool ClaimChain(const LoadedBlocks& b, uint32_t head, LinkedWords& linked, std::string& message) {
  for (uint32_t site = head; site != 0; site = ReadU32LE(b.code + site)) {
    if (!WordFits(site, b.codeLength))
      return Damaged(message, "a call site lies outside the code block.");
    if (!linked.Claim(site)) return Damaged(message, "a word of the code block is linked twice.");
  }
  return true;
}

bool ApplyImport(const LoadedBlocks& b, uint32_t head, std::string_view name,
                 ImportResolver& resolver, std::string& message) {
  ImportName import = ClassifyImport(name);
  if (import.kind == ImportKind::Member) return resolver.Defer(import, head, message);
  uint32_t target = 0;
  if (!resolver.Resolve(import, target, message)) return false;
  return LinkCallChain(b, head, target, message);
}

// Adds `base` to `count` consecutive words starting at `cursor`. Each word
// holds an offset into the block at `base`, `targetLength` bytes long (its
// end included). The cursor only moves on, so no word is relocated twice.
bool RelocateRun(const LoadedBlocks& b, uint64_t& cursor, uint32_t count, uint32_t base,
                 uint32_t targetLength, std::string& message) {
  if (cursor + 4ull * count > b.dataLength)
    return Damaged(message, "a data fixup points outside the data block.");
  for (uint32_t i = 0; i < count; ++i, cursor += 4) {
    uint8_t* p = b.data + cursor;
    uint32_t offset = ReadU32LE(p);
    if (offset > targetLength) return Damaged(message, "a relocated word points outside its block.");
    WriteU32LE(p, offset + base);
  }
  return true;
}

}  // namespace

ImportName ClassifyImport(std::string_view name) {
  if (name.size() < 1 || name[0] != '!') return {ImportKind::Runtime, {}, name, {}};
  if (name.size() < 2 || name[1] != 'X') return {ImportKind::Member, {}, {}, name.substr(1)};
  std::string_view rest = name.substr(2);
  size_t bang = rest.find('!');
  if (bang == std::string_view::npos) return {ImportKind::Library, {}, rest, {}};
  return {ImportKind::Library, rest.substr(0, bang), rest.substr(bang + 1), {}};
}

bool LinkCallChain(const LoadedBlocks& b, uint32_t head, uint32_t target, std::string& message) {
  // Sites are 5-byte instructions that cannot overlap, so a longer chain
  // can only be a loop.
  uint32_t limit = b.codeLength / 5 + 1;
  for (uint32_t site = head, n = 0; site != 0; ++n) {
    if (n == limit) return Damaged(message, "a chain of call sites does not end.");
    if (!WordFits(site, b.codeLength))
      return Damaged(message, "a call site lies outside the code block.");
    uint8_t* p = b.code + site;
    uint32_t next = ReadU32LE(p);
    WriteU32LE(p, target - (b.codeAddress + site + 4));
    site = next;
  }
  return true;
}

bool LinkCode(const LoadedBlocks& b, const uint8_t* fixups, uint32_t length,
              ImportResolver& resolver, std::string& message) {
  LinkedWords linked(b.codeLength);
  uint64_t p = 0;
  while (p < length) {
    uint8_t type = fixups[p++];
    if (type == image::kDataReferenceRecord) {
      if (p + 4 > length) return Damaged(message, "a code fixup record is cut short.");
      uint32_t site = ReadU32LE(fixups + p);
      p += 4;
      if (!ApplyDataReference(b, site, linked, message)) return false;
    } else if (type == image::kImportRecord) {
      if (p + 5 > length) return Damaged(message, "a code fixup record is cut short.");
      uint32_t head = ReadU32LE(fixups + p);
      uint8_t n = fixups[p + 4];
      p += 5;
      if (p + n > length) return Damaged(message, "a code fixup record is cut short.");
      std::string_view name(reinterpret_cast<const char*>(fixups + p), n);
      p += n;
      // The claim walks the chain before it is linked (or deferred), so a
      // loop ends there as a word linked twice.
      if (!ClaimChain(b, head, linked, message)) return false;
      if (!ApplyImport(b, head, name, resolver, message)) return false;
    }
    // Any other type byte is a record with no fields: the next byte is a type.
  }
  return true;
}

bool RelocateData(const LoadedBlocks& b, const uint8_t* fixups, uint32_t length,
                  std::string& message) {
  uint64_t cursor = 0;
  for (uint32_t i = 0; i < length / 2; ++i) {
    uint16_t w = ReadU16LE(fixups + 2 * i);
    if ((w & image::kAdvanceMask) == image::kAdvance) {
      cursor += (w & 0x0FFFu) + 1;
      continue;
    }
    uint32_t count = (w & image::kRunCountMask) + 1u;
    switch (w & image::kRunMask) {
      case image::kCodeRun:
      case image::kCodeRunAlt:
        if (!RelocateRun(b, cursor, count, b.codeAddress, b.codeLength, message)) return false;
        break;
      case image::kDataRun:
        if (!RelocateRun(b, cursor, count, b.dataAddress, b.dataLength, message)) return false;
        break;
      default:
        break;  // not a fixup word: ignored, the cursor stays
    }
  }
  return true;
}

bool EntryAddress(const LoadedBlocks& b, uint32_t& entry, std::string& message) {
  if (b.dataLength < image::kEntryOffsetField + 4) {
    message = std::string(kImageUnreadable) + "the data block holds no entry function.";
    return false;
  }
  entry = ReadU32LE(b.data + image::kEntryOffsetField);
  if (entry - b.codeAddress >= b.codeLength) {
    message = std::string(kImageUnreadable) + "the entry function lies outside the code block.";
    return false;
  }
  return true;
}
