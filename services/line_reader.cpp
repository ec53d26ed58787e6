// A refill replaces the whole buffer, so a carriage return that ends one
// read and the line feed that starts the next must be matched across the
// refill; that is the one subtle case here.
#include "services/line_reader.h"

namespace {

// Replaces the buffer with the file's next bytes; false at the end. After a
// failed read nothing more is read: a later read that worked would go on
// past the bytes that were lost.
bool Refill(LineBuffer& b, ReadFunction read, void* file) {
  b.position = 0;
  b.count = 0;
  if (b.failed) return false;
  uint32_t got = read(file, b.bytes, kLineBufferSize);
  if (got == kReadFailed) {
    b.failed = 1;
    return false;
  }
  b.count = got;
  return got > 0;
}

bool Exhausted(const LineBuffer& b) { return b.position >= b.count; }

bool IsLineEnd(uint8_t byte) { return byte == '\r' || byte == '\n'; }

void TakeUnread(LineBuffer& b, std::string& into, uint32_t end) {
  into.append(reinterpret_cast<const char*>(b.bytes + b.position), end - b.position);
  b.position = end;
}

}  // namespace

std::string ReadLine(LineBuffer& b, ReadFunction read, void* file) {
  std::string line;
  for (;;) {
    uint32_t end = b.position;
    while (end < b.count && !IsLineEnd(b.bytes[end])) ++end;
    TakeUnread(b, line, end);
    if (end < b.count) break;
    if (!Refill(b, read, file)) return line;
  }
  bool carriageReturn = b.bytes[b.position++] == '\r';
  if (!carriageReturn) return line;
  if (Exhausted(b) && !Refill(b, read, file)) return line;
  if (b.bytes[b.position] == '\n') ++b.position;
  return line;
}

std::string ReadRest(LineBuffer& b, ReadFunction read, void* file) {
  std::string rest;
  TakeUnread(b, rest, b.count);
  while (Refill(b, read, file)) TakeUnread(b, rest, b.count);
  return rest;
}

bool AtEnd(LineBuffer& b, ReadFunction read, void* file) {
  return Exhausted(b) && !Refill(b, read, file);
}
