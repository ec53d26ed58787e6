// The mutations; see mutator.h.
#include "tests/fuzz/mutator.h"

#include <algorithm>

namespace {

void PutU32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4 && at + i < b.size(); ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// The bytes of a packed integer at `at`, and where it ends.
size_t PackedEnd(const Bytes& b, size_t at) {
  while (at < b.size() && (b[at] & 0x80)) ++at;
  return std::min(at + 1, b.size());
}

int32_t PackedValue(const Bytes& b, size_t at) {
  if (at >= b.size()) return 0;
  uint8_t first = b[at];
  uint32_t magnitude = first & 0x3F;
  uint32_t shift = 6;
  for (size_t i = at; i < b.size() && (b[i] & 0x80) && i + 1 < b.size(); ++i, shift += 7)
    if (shift < 32) magnitude |= uint32_t{b[i + 1] & 0x7Fu} << shift;
  return (first & 0x40) ? static_cast<int32_t>(0u - magnitude) : static_cast<int32_t>(magnitude);
}

}  // namespace

void PutPacked(Bytes& b, int32_t value) {
  bool negative = value < 0;
  uint32_t magnitude = negative ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  uint8_t first = static_cast<uint8_t>((magnitude & 0x3F) | (negative ? 0x40 : 0));
  magnitude >>= 6;
  if (magnitude) first |= 0x80;
  b.push_back(first);
  while (magnitude) {
    uint8_t next = magnitude & 0x7F;
    magnitude >>= 7;
    if (magnitude) next |= 0x80;
    b.push_back(next);
  }
}

std::vector<size_t> PackedIntegerStarts(const Bytes& b) {
  std::vector<size_t> starts;
  size_t at = 0;
  while (at < b.size()) {
    starts.push_back(at);
    int32_t value = PackedValue(b, at);
    at = PackedEnd(b, at);
    // A small positive integer may be a string's length: skip its bytes.
    if (value > 0 && value < 256 && at + static_cast<size_t>(value) <= b.size()) at += value;
  }
  return starts;
}

uint32_t Mutator::EdgeWord(uint32_t blockSize) {
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

void Mutator::EdgeAt(Bytes& b, size_t at, uint32_t blockSize) {
  if (at < b.size()) PutU32(b, at, EdgeWord(blockSize));
}

void Mutator::Blind(Bytes& b, const Bytes* other) {
  size_t n = b.size();
  switch (Below(9)) {
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
    case 6: {
      if (!n) break;
      size_t at = Below(n), len = 1 + Below(std::min<size_t>(n - at, 64));
      Bytes piece(b.begin() + at, b.begin() + at + len);
      b.insert(b.begin() + Below(n + 1), piece.begin(), piece.end());
      break;
    }
    case 7: {
      if (!n) break;
      size_t at = Below(n), len = 1 + Below(std::min<size_t>(n - at, 64));
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

void Mutator::Stream(Bytes& b) {
  std::vector<size_t> starts = PackedIntegerStarts(b);
  if (starts.empty()) return Blind(b);
  size_t pick = Below(starts.size());
  size_t at = starts[pick], end = PackedEnd(b, at);
  switch (Below(4)) {
    case 0: {  // an edge value where an integer was
      static const int32_t kEdges[] = {0, -1, 1, 63, 64, 127, 255, 256, 0x7FFFFFFF,
                                       INT32_MIN, -64, 100000, 0x3FFFFFFF};
      Bytes packed;
      int32_t value = OneIn(4) ? static_cast<int32_t>(b.size() - at + Below(8) - 4)
                               : kEdges[Below(sizeof kEdges / sizeof kEdges[0])];
      PutPacked(packed, value);
      if (OneIn(8)) packed.back() |= 0x80;  // a continuation that never ends
      b.erase(b.begin() + at, b.begin() + end);
      b.insert(b.begin() + at, packed.begin(), packed.end());
      break;
    }
    case 1:  // the stream cut where a token starts
      b.resize(at);
      break;
    case 2: {  // a token repeated
      size_t next = pick + 1 < starts.size() ? starts[pick + 1] : b.size();
      Bytes piece(b.begin() + at, b.begin() + next);
      b.insert(b.begin() + next, piece.begin(), piece.end());
      break;
    }
    default: {  // a token dropped
      size_t next = pick + 1 < starts.size() ? starts[pick + 1] : b.size();
      b.erase(b.begin() + at, b.begin() + next);
      break;
    }
  }
}
