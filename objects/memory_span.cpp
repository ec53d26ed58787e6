// SpanReader; see memory_span.h.
#include "objects/memory_span.h"

#include "objects/strings.h"

uint32_t SpanReader::Word() {
  if (!ok_ || !span_.Holds(at_, 4)) return Fail();
  uint32_t w = *reinterpret_cast<const uint32_t*>(at_);
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

uint32_t SpanReader::Count(uint32_t size) {
  uint32_t n = Word();
  if (ok_ && !span_.HoldsArray(at_, n, size)) return Fail();
  return n;
}

std::string_view SpanReader::Text() {
  uint32_t address = Word();
  if (!ok_ || address == 0) return {};
  const auto* s = reinterpret_cast<const StringRecord*>(address);
  if (!span_.Holds(address, sizeof(StringRecord)) ||
      !span_.Holds(reinterpret_cast<uintptr_t>(s->buffer), uint64_t{s->length} + 2)) {
    Fail();
    return {};
  }
  return StringView(s);
}
