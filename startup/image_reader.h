// Reading the four blocks of the application image into memory, from the
// program file (appended form) or from the .dat files beside it. Every length
// is checked against what the file holds before memory is taken for it, and a
// failure names the missing piece in the words the user will see.
#pragma once
#include <cstdint>
#include <string>

#include "sdk/image_format.h"

// The four blocks while they are being loaded. Owns their memory until
// Keep() hands the code and data blocks over to the process for good; the
// fixup blocks are always released by Release(), which is idempotent.
class ImageBlocks {
 public:
  ImageBlocks() = default;
  ImageBlocks(const ImageBlocks&) = delete;
  ImageBlocks& operator=(const ImageBlocks&) = delete;
  ~ImageBlocks() { Release(); }

  // Takes memory for block `which` (executable for the code block).
  bool Allocate(image::Block which, uint32_t length);
  uint8_t* Bytes(image::Block which) const { return bytes_[which]; }
  uint32_t Length(image::Block which) const { return lengths_[which]; }

  void ReleaseFixups();
  void Keep() { kept_ = true; }  // code and data stay for the process
  void Release();

 private:
  void Free(image::Block which);

  uint8_t* bytes_[image::kBlockCount] = {};
  uint32_t lengths_[image::kBlockCount] = {};
  bool kept_ = false;
};

// Reads the appended form: starting at `imageOffset` of the file at `path`,
// four blocks of u32 length and bytes, and verifies their seal when they
// have one (sdk/image_seal.h).
bool ReadAppendedImage(const char* path, uint32_t imageOffset, ImageBlocks& blocks,
                       std::string& message);

// Reads the separate-file form from `folder` ("" = the current directory):
// code1.dat, data1.dat, code2.dat, data2.dat, in that order.
bool ReadSeparateImage(const std::string& folder, ImageBlocks& blocks, std::string& message);

// Where a block of the appended form lies in the program file.
struct BlockPlace {
  uint64_t offset;
  uint32_t length;
};
// Reads the 4-byte little-endian length at `at` of `file`.
using LengthReader = bool (*)(void* file, uint64_t at, uint32_t& length);

// Places the four blocks of the appended form, each a u32 length and its
// bytes, from `imageOffset` of a file of `fileSize` bytes. False with the
// message the user will see when a length or a block does not fit.
bool PlaceAppendedBlocks(uint64_t fileSize, uint32_t imageOffset, LengthReader readLength, void* file,
                         BlockPlace (&places)[image::kBlockCount], std::string& message);

// "the code block" and so on, as messages name the blocks.
const char* BlockName(image::Block which);

// Decodes the 8 bytes of the PICKLE resource. False when the locator is
// missing, short or still the "PICK" placeholder: the .dat files are used.
bool DecodeLocator(const void* bytes, uint32_t size, image::Locator& locator);
