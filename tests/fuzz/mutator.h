// Mutating real inputs for the readers' fuzz tests, every change drawn from
// one seeded generator (the same seed and count make the same run): blind
// changes, and changes that know words holding offsets and the packed
// integers and strings of description streams.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "sdk/description_encoding.h"
#include "sdk/le_bytes.h"
#include "ui/description_stream.h"

using Bytes = std::vector<uint8_t>;

// The image reader's LengthReader over a program file held in Bytes: the
// little-endian word at `at`, false past the end.
inline bool LengthInBytes(void* file, uint64_t at, uint32_t& length) {
  const auto* bytes = static_cast<const Bytes*>(file);
  if (at + 4 > bytes->size()) return false;
  length = ReadU32LE(bytes->data() + at);
  return true;
}

inline void PutU32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4 && at + i < b.size(); ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Where the packed integer at `at` ends.
inline size_t PackedEnd(const Bytes& b, size_t at) {
  DescriptionStream s(b.data() + at, static_cast<uint32_t>(b.size() - at));
  s.PackedInt();
  return b.size() - s.Remaining();
}

// The positions at which packed integers start in `b`, read the way a
// description stream reads them.
inline std::vector<size_t> PackedIntegerStarts(const Bytes& b) {
  std::vector<size_t> starts;
  DescriptionStream s(b.data(), static_cast<uint32_t>(b.size()));
  while (!s.AtEnd()) {
    starts.push_back(b.size() - s.Remaining());
    int32_t value = s.PackedInt();
    // A small positive integer may be a string's length: skip its bytes.
    if (value > 0 && value < 256 && static_cast<uint32_t>(value) <= s.Remaining())
      for (int32_t i = 0; i < value; ++i) s.Byte();
  }
  return starts;
}

class Mutator {
 public:
  explicit Mutator(uint64_t seed) : rng_(seed) {}

  uint32_t Below(uint32_t n) { return n ? static_cast<uint32_t>(rng_() % n) : 0; }
  bool OneIn(uint32_t n) { return Below(n) == 0; }

  // A word that a reader will take as a count, a size or an offset into a
  // block of `blockSize` bytes: 0, all ones, near the block's end, past it,
  // a sign boundary, or anything.
  uint32_t EdgeWord(uint32_t blockSize) {
    switch (Below(10)) {
      case 0: return 0;
      case 1: return 0xFFFFFFFF;
      case 2: return blockSize;
      case 3: return blockSize - 1 - Below(4);
      case 4: return blockSize + 1 + Below(8);
      case 5: return 0x7FFFFFFF + Below(3);
      case 6: return 0xFFFFFFFF - Below(16);
      case 7: return 1u << Below(32);
      case 8: return Below(blockSize + 1);
      default: return static_cast<uint32_t>(rng_());
    }
  }

  // One blind change: a bit flipped, a byte set, a word set to an edge
  // value, the end cut off, bytes inserted, a piece repeated or dropped, or
  // a piece of `other` spliced in.
  void Blind(Bytes& b, const Bytes* other = nullptr) {
    size_t n = b.size();
    switch (uint32_t kind = Below(9)) {
      case 0:
        if (n) b[Below(n)] ^= static_cast<uint8_t>(1u << Below(8));
        break;
      case 1:
        if (n) b[Below(n)] = static_cast<uint8_t>(rng_());
        break;
      case 2:
        if (n >= 4) EdgeAt(b, Below(n / 4) * 4, static_cast<uint32_t>(n));
        break;
      case 3:
        if (n >= 4) EdgeAt(b, Below(n - 3), static_cast<uint32_t>(n));
        break;
      case 4:
        b.resize(Below(n + 1));
        break;
      case 5: {
        size_t at = Below(n + 1), count = 1 + Below(16);
        for (size_t i = 0; i < count; ++i) b.insert(b.begin() + at, static_cast<uint8_t>(rng_()));
        break;
      }
      case 6:
      case 7: {
        if (!n) break;
        size_t at = Below(n), len = 1 + Below(std::min<size_t>(n - at, 64));
        Bytes piece(b.begin() + at, b.begin() + at + len);
        if (kind == 6)
          b.insert(b.begin() + Below(n + 1), piece.begin(), piece.end());
        else
          b.erase(b.begin() + at, b.begin() + at + len);
        break;
      }
      default: {
        if (!other || other->empty() || !n) break;
        size_t from = Below(other->size()), len = 1 + Below(std::min<size_t>(other->size() - from, 64));
        size_t at = Below(n);
        for (size_t i = 0; i < len && at + i < n; ++i) b[at + i] = (*other)[from + i];
        break;
      }
    }
  }

  // Sets the 4-byte little-endian word at `at` to an edge value.
  void EdgeAt(Bytes& b, size_t at, uint32_t blockSize) {
    if (at < b.size()) PutU32(b, at, EdgeWord(blockSize));
  }

  // One change of a description stream's tokens: a packed integer (a count
  // or a string's length) replaced by an edge value, the stream cut where a
  // token starts, a token repeated or dropped.
  void Stream(Bytes& b) {
    std::vector<size_t> starts = PackedIntegerStarts(b);
    if (starts.empty()) return Blind(b);
    size_t pick = Below(starts.size());
    size_t at = starts[pick], end = PackedEnd(b, at);
    size_t next = pick + 1 < starts.size() ? starts[pick + 1] : b.size();
    switch (Below(4)) {
      case 0: {  // an edge value where an integer was
        static const int32_t kEdges[] = {0, -1, 1, 63, 64, 127, 255, 256, 0x7FFFFFFF,
                                         INT32_MIN, -64, 100000, 0x3FFFFFFF};
        Bytes packed;
        int32_t value = OneIn(4) ? static_cast<int32_t>(b.size() - at + Below(8) - 4)
                                 : kEdges[Below(sizeof kEdges / sizeof kEdges[0])];
        PutPackedInt(packed, value);
        if (OneIn(8)) packed.back() |= 0x80;  // a continuation that never ends
        b.erase(b.begin() + at, b.begin() + end);
        b.insert(b.begin() + at, packed.begin(), packed.end());
        break;
      }
      case 1:  // the stream cut where a token starts
        b.resize(at);
        break;
      case 2: {  // a token repeated
        Bytes piece(b.begin() + at, b.begin() + next);
        b.insert(b.begin() + next, piece.begin(), piece.end());
        break;
      }
      default:  // a token dropped
        b.erase(b.begin() + at, b.begin() + next);
        break;
    }
  }

 private:
  std::mt19937_64 rng_;
};
