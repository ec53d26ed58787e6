// The description stream's packed values and the settings read through it.
#include "services/settings.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>

#include "sdk/description_encoding.h"
#include "objects/description_stream.h"

namespace {

using Bytes = std::vector<uint8_t>;

int32_t ReadPacked(const Bytes& b) {
  DescriptionStream s(b.data(), static_cast<uint32_t>(b.size()));
  int32_t v = s.PackedInt();
  EXPECT_TRUE(s.AtEnd());
  return v;
}

// Bytes by hand (the first byte: sign in bit 6 and six bits; each later one
// seven more, low first; a set top bit: another follows), then the encoder.
TEST(DescriptionStream, PackedIntegersReadAsWrittenByHandAndByTheEncoder) {
  const std::pair<Bytes, int32_t> rows[] = {
      {{0x89, 0x01}, 73}, {{0x41}, -1}, {{0x00}, 0}, {{0x13}, 19}, {{0x45}, -5},
      // A magnitude of 0x80000000 stands for itself, with or without the sign.
      {{0x80, 0x80, 0x80, 0x80, 0x10}, INT32_MIN}, {{0xC0, 0x80, 0x80, 0x80, 0x10}, INT32_MIN}};
  for (const auto& [bytes, value] : rows) EXPECT_EQ(ReadPacked(bytes), value) << value;
  for (int32_t v : {0, 1, -1, 63, 64, -64, 8191, 8192, 1 << 20, -(1 << 27), INT32_MAX, INT32_MIN + 1, INT32_MIN}) {
    Bytes b;
    PutPackedInt(b, v);
    EXPECT_EQ(ReadPacked(b), v) << "encoded " << v;
  }
}

TEST(DescriptionStream, ReadingPastTheEndYieldsNothingAndSaysSo) {
  Bytes b = {0x05, 'a', 'b'};  // a string of 5 with only 2 bytes
  DescriptionStream s(b.data(), 3);
  EXPECT_EQ(s.PackedString(), "");
  EXPECT_TRUE(s.Overrun());
  EXPECT_EQ(s.PackedInt(), 0);
  Bytes cut = {0x80};  // "another byte follows", but none does
  DescriptionStream t(cut.data(), 1);
  EXPECT_EQ(t.PackedInt(), 0);
  EXPECT_TRUE(t.Overrun());
  Bytes negative = {0x41, 'x'};  // a negative length is an empty string
  DescriptionStream u(negative.data(), 2);
  EXPECT_EQ(u.PackedString(), "");
  EXPECT_FALSE(u.Overrun());
  EXPECT_EQ(u.Byte(), 'x');
}

TEST(Settings, TheDeliveredValuesAreReadToTheirLastByte) {
  Bytes b = {1};
  PutWordBigEndian(b, 0);
  PutWordBigEndian(b, 1);
  PutPackedInt(b, 2);
  for (const char* s : {"text/plain", "????", "TEXT", ".ascii;.text;.txt", "", "", "", ""})
    PutPackedString(b, s);
  PutPackedInt(b, 5);
  for (const char* s : {"", "", "", "", "An exception of class %1 was not handled."}) PutPackedString(b, s);
  b.push_back(0);
  PutPackedString(b, "Vellory Server");
  AppSettings s;
  ASSERT_TRUE(ParseSettings(b.data(), static_cast<uint32_t>(b.size()), s));
  EXPECT_EQ(s.optionFlag, 1);
  EXPECT_EQ(s.languageCode, 1u);
  ASSERT_EQ(s.fileTypes.size(), 2u);
  EXPECT_EQ(s.fileTypes[0].extensions, ".ascii;.text;.txt");
  EXPECT_EQ(s.messages.size(), 5u);
  EXPECT_FALSE(s.multipleDocuments);
  EXPECT_EQ(s.title, "Vellory Server");
  // Without the title's last byte the stream is cut short.
  AppSettings cut;
  EXPECT_FALSE(ParseSettings(b.data(), static_cast<uint32_t>(b.size()) - 1, cut));
  EXPECT_EQ(cut.messages.size(), 5u);
  // A huge damaged count stops at the end of the bytes.
  b = {0};
  PutWordBigEndian(b, 0);
  PutWordBigEndian(b, 13);
  PutPackedInt(b, INT32_MAX);
  PutPackedString(b, "text/plain");
  AppSettings damaged;
  EXPECT_FALSE(ParseSettings(b.data(), static_cast<uint32_t>(b.size()), damaged));
  EXPECT_TRUE(damaged.fileTypes.empty());
  EXPECT_EQ(damaged.languageCode, 13u);
}

}  // namespace
