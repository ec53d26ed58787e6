// The project record, its classes and items damaged in place: the real data
// block relocated below 4 GB, as start-up reads it. Damage that start-up can
// meet is a few stored words changed, so an input names words and their new
// values rather than being a whole data block: most of a damaged copy would
// never be read, and copying 700 KB per input would drown the reads.
//
// An input is up to kMaxDamage records of two little-endian words, `pick`
// and `value`: pick's low 30 bits choose one of the words start-up reads
// first (the project record and its lists, class descriptors and their
// names' lengths, items), its top two bits how `value` changes it:
// 0 xor, 1 and 3 replace, 2 replace with the data block's address + value.
#pragma once
#include "tests/fuzz/real_seeds.h"

class InPlaceImage {
 public:
  static constexpr size_t kMaxDamage = 4;
  static constexpr uint32_t kXor = 0, kReplace = 1, kFromData = 2;

  // Places and relocates `s`'s blocks and adds their settings and menu bar
  // items to `s`; aborts when the real blocks do not relocate.
  explicit InPlaceImage(RealSeeds& s);

  // Whether the real image reads whole, as the program needs it to.
  bool ReadsWhole();
  // Applies `damage`, reads the project with `read`, and undoes it.
  void Run(const Bytes& damage, bool (*read)(MemorySpan data, MemorySpan code) = ReadProject);
  uint32_t DataLength() const { return static_cast<uint32_t>(data_span_.length); }

 private:
  static void Put(uint32_t at, uint32_t v) { WriteU32LE(reinterpret_cast<uint8_t*>(uintptr_t{at}), v); }
  void AddTargets(uint32_t record, const ProjectLists& lists, RealSeeds& s);

  LowBlock code_, data_;
  MemorySpan data_span_{}, code_span_{};
  std::vector<uint32_t> targets_;
  bool whole_ = false;
};
