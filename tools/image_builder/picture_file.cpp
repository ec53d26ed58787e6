// PPM pictures; see picture_file.h.
#include "tools/image_builder/picture_file.h"

#include <cctype>
#include <fstream>
#include <iterator>

namespace {

// Reads the next header number, skipping white space and "#" comments.
bool HeaderNumber(const std::vector<uint8_t>& f, size_t& at, uint32_t& value) {
  for (;;) {
    while (at < f.size() && std::isspace(f[at])) ++at;
    if (at < f.size() && f[at] == '#') {
      while (at < f.size() && f[at] != '\n') ++at;
      continue;
    }
    break;
  }
  if (at >= f.size() || !std::isdigit(f[at])) return false;
  uint64_t v = 0;
  while (at < f.size() && std::isdigit(f[at]) && v < 0x10000000) v = v * 10 + (f[at++] - '0');
  value = static_cast<uint32_t>(v);
  return true;
}

uint16_t To16(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
}

}  // namespace

bool DecodePpm(const std::vector<uint8_t>& f, Picture16& picture, std::string& error) {
  size_t at = 2;
  uint32_t maxValue = 0;
  if (f.size() < 2 || f[0] != 'P' || f[1] != '6' || !HeaderNumber(f, at, picture.width) ||
      !HeaderNumber(f, at, picture.height) || !HeaderNumber(f, at, maxValue) || maxValue != 255) {
    error = "not a binary PPM picture with 8 bits per channel";
    return false;
  }
  ++at;  // the single white-space byte after the header
  uint64_t count = uint64_t{picture.width} * picture.height;
  if (count > 0x1000000 || at + count * 3 > f.size()) {
    error = "the picture's pixels are cut short";
    return false;
  }
  picture.pixels.resize(count);
  for (uint64_t i = 0; i < count; ++i, at += 3) picture.pixels[i] = To16(f[at], f[at + 1], f[at + 2]);
  return true;
}

bool ReadPictureFile(const std::string& path, Picture16& picture, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (DecodePpm(bytes, picture, error)) return true;
  error = path + ": " + error;
  return false;
}
