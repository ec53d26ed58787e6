// Mutating real inputs for the readers' fuzz tests. Every change is drawn
// from one seeded generator, so a run with the same seed and count is the
// same run. Besides blind changes (bits, bytes, words, lengths) the mutator
// knows the shapes of the image's records: words that hold offsets, packed
// integers and strings of description streams.
#pragma once
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "sdk/le_bytes.h"

using Bytes = std::vector<uint8_t>;

// The image reader's LengthReader over a program file held in Bytes: the
// little-endian word at `at`, false past the end.
inline bool LengthInBytes(void* file, uint64_t at, uint32_t& length) {
  const auto* bytes = static_cast<const Bytes*>(file);
  if (at + 4 > bytes->size()) return false;
  length = ReadU32LE(bytes->data() + at);
  return true;
}

class Mutator {
 public:
  explicit Mutator(uint64_t seed) : rng_(seed) {}

  uint32_t Below(uint32_t n) { return n ? static_cast<uint32_t>(rng_() % n) : 0; }
  bool OneIn(uint32_t n) { return Below(n) == 0; }

  // A word that a reader will take as a count, a size or an offset into a
  // block of `blockSize` bytes: 0, all ones, near the block's end, past it,
  // a sign boundary, or anything.
  uint32_t EdgeWord(uint32_t blockSize);

  // One blind change: a bit flipped, a byte set, an aligned word set to an
  // edge value, the end cut off, bytes inserted, a piece repeated or
  // dropped, or a piece of `other` spliced in.
  void Blind(Bytes& b, const Bytes* other = nullptr);

  // Sets the 4-byte little-endian word at `at` to an edge value.
  void EdgeAt(Bytes& b, size_t at, uint32_t blockSize);

  // Structure-aware changes of a description stream (packed integers and
  // strings, as DescriptionStream reads them): a packed integer replaced by
  // an edge value, a string's length changed, a token dropped or repeated,
  // the stream cut at a token's edge.
  void Stream(Bytes& b);

 private:
  std::mt19937_64 rng_;
};

// The positions at which packed integers start in `b`, read the way a
// description stream reads them (each integer taken as a count or a length,
// a string's bytes skipped when the integer before them could be a length).
std::vector<size_t> PackedIntegerStarts(const Bytes& b);

void PutPacked(Bytes& b, int32_t value);
