// Reading records that the application image stores in its data block. The
// loader has turned their stored offsets into addresses; a damaged image can
// still hold addresses that point anywhere, so every read is checked against
// the block it must lie in before it is made.
#pragma once
#include <cstdint>
#include <string_view>

#include "sdk/runtime_records.h"

// A range of the process's memory that stored addresses must point into.
struct MemorySpan {
  uintptr_t start = 0;
  uintptr_t length = 0;
  bool Holds(uintptr_t address, uint64_t bytes) const {
    return address >= start && bytes <= length && address - start <= length - bytes;
  }
  // `count` elements of `size` bytes each at `address`.
  bool HoldsArray(uintptr_t address, uint64_t count, uint32_t size) const {
    return Holds(address, count * size);
  }
};

// Reads a stored record's words in order. After the first read that would
// leave the span every read yields 0 and Ok() turns false.
class SpanReader {
 public:
  SpanReader(uintptr_t address, MemorySpan span) : at_(address), span_(span) {}

  bool Ok() const { return ok_; }
  bool Holds(uintptr_t address, uint64_t bytes) const { return span_.Holds(address, bytes); }
  uint32_t Word();
  // `length` bytes at the current position, or null when they do not fit.
  const uint8_t* Bytes(uint32_t length);
  // A count of entries of `size` bytes each that must fit after it, and be
  // at most `limit`.
  uint32_t Count(uint32_t size, uint32_t limit);
  // The text of the stored StringRecord whose address comes next; "" for null.
  std::string_view Text();

 protected:
  uint32_t Fail() {
    ok_ = false;
    return 0;
  }
  uintptr_t Here() const { return at_; }

 private:
  uintptr_t at_;
  MemorySpan span_;
  bool ok_ = true;
};
