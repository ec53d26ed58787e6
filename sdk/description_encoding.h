// Writing the packed integers and packed strings of description streams (the
// settings, window, control and menu descriptions of an image). The image
// builder writes with these; the runtime reads with DescriptionStream.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

// First byte: bit 7 = more follows, bit 6 = negative, bits 0-5 = the low
// magnitude bits; each further byte: bit 7 = more, bits 0-6 = 7 more bits.
inline void PutPackedInt(std::vector<uint8_t>& out, int32_t value) {
  bool negative = value < 0 && value != INT32_MIN;
  uint32_t magnitude = negative ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  uint8_t first = static_cast<uint8_t>((magnitude & 0x3F) | (negative ? 0x40 : 0));
  magnitude >>= 6;
  out.push_back(static_cast<uint8_t>(first | (magnitude ? 0x80 : 0)));
  while (magnitude) {
    uint8_t next = static_cast<uint8_t>(magnitude & 0x7F);
    magnitude >>= 7;
    out.push_back(static_cast<uint8_t>(next | (magnitude ? 0x80 : 0)));
  }
}

inline void PutPackedString(std::vector<uint8_t>& out, std::string_view text) {
  PutPackedInt(out, static_cast<int32_t>(text.size()));
  out.insert(out.end(), text.begin(), text.end());
}

inline void PutWordBigEndian(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}
