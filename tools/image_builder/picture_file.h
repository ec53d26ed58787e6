// Pictures for the image, from checked-in PPM files (binary "P6", 8 bits per
// channel): converted to the 16-bit pixels the runtime's pictures hold, five
// bits per channel with red highest (0x7FFF is white).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Picture16 {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint16_t> pixels;  // row by row, top row first
};

bool DecodePpm(const std::vector<uint8_t>& file, Picture16& picture, std::string& error);
bool ReadPictureFile(const std::string& path, Picture16& picture, std::string& error);
