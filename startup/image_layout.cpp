// Where the image lies: the PICKLE locator and the appended blocks; see
// image_reader.h. Pure, apart from the file reading, so that both can be
// fuzzed on the host.
#include <cstring>

#include "sdk/le_bytes.h"
#include "startup/image_reader.h"
#include "startup/load_messages.h"

namespace {

const char* const kBlockNames[image::kBlockCount] = {"the code block", "the code fixup block",
                                                     "the data block", "the data fixup block"};

bool Fail(std::string& message, const std::string& what) {
  message = kImageUnreadable + what;
  return false;
}

}  // namespace

const char* BlockName(image::Block which) { return kBlockNames[which]; }

bool DecodeLocator(const void* bytes, uint32_t size, image::Locator& locator) {
  if (!bytes || size < sizeof(image::Locator)) return false;
  const auto* p = static_cast<const uint8_t*>(bytes);
  if (memcmp(p, image::kPlaceholderTag, sizeof image::kPlaceholderTag) == 0) return false;
  locator.imageOffset = ReadU32LE(p);
  locator.archiveOffset = ReadU32LE(p + 4);
  return true;
}

bool PlaceAppendedBlocks(uint64_t fileSize, uint32_t imageOffset, LengthReader readLength, void* file,
                         BlockPlace (&places)[image::kBlockCount], std::string& message) {
  uint64_t pos = imageOffset;
  if (pos > fileSize) return Fail(message, "the image begins past the end of the program file.");
  for (int i = 0; i < image::kBlockCount; ++i) {
    uint32_t length = 0;
    if (pos + 4 > fileSize || !readLength(file, pos, length))
      return Fail(message, std::string("the length of ") + kBlockNames[i] + " is missing.");
    pos += 4;
    if (pos + length > fileSize)
      return Fail(message, std::string(kBlockNames[i]) + " runs past the end of the program file.");
    places[i] = {pos, length};
    pos += length;
  }
  return true;
}
