// Reading just enough of a PE file to append an image to it: where its last
// section ends, and where the bytes of the PICKLE locator resource lie. Every
// offset is checked against the file before use; the file is never searched
// for byte patterns.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct PeFacts {
  uint32_t endOfSections = 0;   // file offset just past the last section's raw data
  uint32_t locatorOffset = 0;   // file offset of the locator resource's bytes
  uint32_t locatorSize = 0;
};

// Fills `facts` from a 32-bit PE program, or returns false with `error` set.
bool ReadPeFacts(const std::vector<uint8_t>& file, PeFacts& facts, std::string& error);
