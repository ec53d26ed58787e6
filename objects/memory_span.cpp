// SpanReader; see memory_span.h.
#include "objects/memory_span.h"

#include "sdk/le_bytes.h"

uint32_t SpanReader::Word() {
  if (!ok_ || !span_.Holds(at_, 4)) return Fail();
  // A damaged address need not be aligned: read the bytes.
  uint32_t w = ReadU32LE(reinterpret_cast<const uint8_t*>(at_));
  at_ += 4;
  return w;
}

const uint8_t* SpanReader::Bytes(uint32_t length) {
  if (!ok_ || !span_.Holds(at_, length)) {
    Fail();
    return nullptr;
  }
  auto* p = reinterpret_cast<const uint8_t*>(at_);
  at_ += length;
  return p;
}

uint32_t SpanReader::Count(uint32_t size, uint32_t limit) {
  uint32_t n = Word();
  if (ok_ && (n > limit || !span_.HoldsArray(at_, n, size))) return Fail();
  return n;
}

std::string_view SpanReader::Text() {
  uint32_t address = Word();
  if (!ok_ || address == 0) return {};
  // The StringRecord's words as the image stores them (count, buffer,
  // buffer size, length), read as 32-bit words on any host; the text
  // follows the buffer's first byte.
  if (!span_.Holds(address, 16)) {
    Fail();
    return {};
  }
  uint32_t buffer = ReadU32LE(reinterpret_cast<const uint8_t*>(address + 4));
  uint32_t length = ReadU32LE(reinterpret_cast<const uint8_t*>(address + 12));
  if (!span_.Holds(buffer, uint64_t{length} + 2)) {
    Fail();
    return {};
  }
  return {reinterpret_cast<const char*>(buffer + 1), length};
}
