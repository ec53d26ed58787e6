// Reading the byte streams in which the image stores window, control and menu
// descriptions and the application settings: packed integers, packed strings,
// single bytes and big-endian words. Pure and bounds-checked: reading past the
// end yields zeros and empty strings and marks the stream as overrun, so a
// damaged description can never make the reader leave its bytes.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

class DescriptionStream {
 public:
  DescriptionStream(const uint8_t* bytes, uint32_t length) : p_(bytes), end_(bytes + length) {}

  // A packed integer: first byte bit 7 = more follows, bit 6 = negative,
  // bits 0-5 = the low magnitude bits; each next byte adds 7 bits. A
  // magnitude of exactly 0x80000000 stands for itself.
  int32_t PackedInt();
  // A packed-integer length, then that many bytes; empty for a length < 1.
  std::string_view PackedString();
  uint8_t Byte();
  uint32_t WordBigEndian();

  bool Overrun() const { return overrun_; }
  bool AtEnd() const { return p_ == end_; }
  uint32_t Remaining() const { return static_cast<uint32_t>(end_ - p_); }

 private:
  bool Take(uint32_t n);

  const uint8_t* p_;
  const uint8_t* end_;
  bool overrun_ = false;
};

// Reads a whole window description as the window is built from it (its
// property count and class, the properties, each control's class, count and
// properties, then the data bindings) without acting on it. True when it
// ends exactly where its bytes do: a description cut short or run long is
// damage, found before anything is made from it. `controlClasses`, when
// given, receives the class index of each control, in order.
bool WindowDescriptionReadsWhole(const uint8_t* bytes, uint32_t length,
                                 std::vector<int32_t>* controlClasses = nullptr);
