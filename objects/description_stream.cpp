// DescriptionStream; see description_stream.h.
#include "objects/description_stream.h"

bool DescriptionStream::Take(uint32_t n) {
  if (Remaining() >= n) return true;
  overrun_ = true;
  p_ = end_;
  return false;
}

uint8_t DescriptionStream::Byte() { return Take(1) ? *p_++ : 0; }

uint32_t DescriptionStream::WordBigEndian() {
  if (!Take(4)) return 0;
  uint32_t w = (uint32_t{p_[0]} << 24) | (uint32_t{p_[1]} << 16) | (uint32_t{p_[2]} << 8) | p_[3];
  p_ += 4;
  return w;
}

int32_t DescriptionStream::PackedInt() {
  uint8_t b = Byte();
  bool negative = b & 0x40;
  uint32_t magnitude = b & 0x3F;
  for (uint32_t shift = 6; (b & 0x80) && !overrun_; shift += 7) {
    b = Byte();
    if (shift < 32) magnitude |= uint32_t{b & 0x7Fu} << shift;
  }
  if (magnitude == 0x80000000u || !negative) return static_cast<int32_t>(magnitude);
  return static_cast<int32_t>(0u - magnitude);
}

std::string_view DescriptionStream::PackedString() {
  int32_t n = PackedInt();
  if (n < 1 || !Take(static_cast<uint32_t>(n))) return {};
  std::string_view s(reinterpret_cast<const char*>(p_), static_cast<uint32_t>(n));
  p_ += n;
  return s;
}

namespace {

void SkipPairs(DescriptionStream& s, int32_t count) {
  for (int32_t i = 0; i < count && !s.Overrun(); ++i) s.PackedString(), s.PackedString();
}

}  // namespace

bool WindowDescriptionReadsWhole(const uint8_t* bytes, uint32_t length,
                                 std::vector<int32_t>* controlClasses) {
  DescriptionStream s(bytes, length);
  int32_t properties = s.PackedInt();
  s.PackedInt();  // the window's class
  SkipPairs(s, properties);
  int32_t controls = s.PackedInt();
  for (int32_t i = 0; i < controls && !s.Overrun(); ++i) {
    int32_t cls = s.PackedInt();
    if (controlClasses) controlClasses->push_back(cls);
    SkipPairs(s, s.PackedInt());
  }
  int32_t bindings = s.PackedInt();
  for (int32_t i = 0; i < bindings && !s.Overrun(); ++i) {
    s.PackedInt(), s.PackedString(), s.PackedInt(), s.PackedString();
    s.PackedInt(), s.PackedString(), s.PackedString();
  }
  return !s.Overrun() && s.AtEnd();
}
