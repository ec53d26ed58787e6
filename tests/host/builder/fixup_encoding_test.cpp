// The two fixup encoders on their own: exact words for the edge cases of the
// data fixups' format, and the limit of an import name's length.
#include "tools/image_builder/fixup_encoding.h"

#include <gtest/gtest.h>

#include "sdk/le_bytes.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Words = std::vector<uint16_t>;

Words DataWords(const std::vector<DataPointer>& pointers) {
  Bytes bytes;
  std::string error;
  EXPECT_TRUE(EncodeDataFixups(pointers, bytes, error)) << error;
  EXPECT_EQ(bytes.size() % 2, 0u);
  Words words;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) words.push_back(ReadU16LE(bytes.data() + i));
  return words;
}

DataPointer Code(uint32_t offset) { return {offset, PointerKind::Code}; }
DataPointer Data(uint32_t offset) { return {offset, PointerKind::Data}; }

std::vector<DataPointer> Consecutive(uint32_t first, size_t count, PointerKind kind) {
  std::vector<DataPointer> out;
  for (size_t i = 0; i < count; ++i) out.push_back({first + 4 * static_cast<uint32_t>(i), kind});
  return out;
}

// Words worked out by hand from the format: a run is 0x4000 (code) or 0x4200
// (data) plus its count less one, an advance 0x8000 plus its distance less one.
TEST(DataFixupEncoding, PointerLayoutsGiveTheirWords) {
  const struct { const char* what; std::vector<DataPointer> pointers; Words words; } rows[] = {
      {"no pointers", {}, {}},
      {"a code run then a data run", {Code(0), Data(4)}, {0x4000, 0x4200}},
      {"consecutive pointers of one kind merge", {Data(0), Data(4), Data(8), Code(12), Code(16)},
       {0x4202, 0x4001}},
      {"out of order: sorted first", {Data(8), Code(0), Data(4)}, {0x4000, 0x4201}},
      {"a gap of one whole advance", {Code(0), Data(4 + 4096)}, {0x4000, 0x8FFF, 0x4200}},
      {"a gap one past an advance", {Code(0), Data(4 + 4097)}, {0x4000, 0x8FFF, 0x8000, 0x4200}},
      {"three whole advances and a bit", {Data(3 * 4096 + 10)}, {0x8FFF, 0x8FFF, 0x8FFF, 0x8009, 0x4200}},
      // Cursor 0 -> 1 (advance 1), run of one to 5, advance 1 to 6.
      {"unaligned pointers", {Data(1), Code(6)}, {0x8000, 0x4200, 0x8000, 0x4000}},
      {"not four apart: a new run", {Data(0), Data(5)}, {0x4200, 0x8000, 0x4200}},
      {"a run of 512", Consecutive(0, 512, PointerKind::Data), {0x43FF}},
      {"a run of 513", Consecutive(0, 513, PointerKind::Code), {0x41FF, 0x4000}},
      {"a run of 1100", Consecutive(0, 1100, PointerKind::Data), {0x43FF, 0x43FF, 0x424B}},
  };
  for (const auto& r : rows) EXPECT_EQ(DataWords(r.pointers), r.words) << r.what;
}

// Overlapping pointers are refused; import names fit up to 255 bytes.
TEST(FixupEncoding, OverlapsAndLongNamesAreRefused) {
  Bytes out;
  std::string error;
  EXPECT_FALSE(EncodeDataFixups({Data(0), Code(2)}, out, error));
  EXPECT_NE(error.find("overlap"), std::string::npos) << error;
  EXPECT_FALSE(EncodeDataFixups({Data(8), Data(8)}, out, error));
  ASSERT_TRUE(EncodeCodeFixups({{std::string(255, 'n'), 9}}, {}, out, error)) << error;
  EXPECT_EQ(out.size(), 1u + 4 + 1 + 255);
  EXPECT_EQ(out[5], 255);
  EXPECT_FALSE(EncodeCodeFixups({{std::string(256, 'n'), 9}}, {}, out, error));
  EXPECT_NE(error.find("255"), std::string::npos) << error;
}

}  // namespace
