// Decoding the PICKLE resource; see image_reader.h. Apart from the file
// reading so that it can be fuzzed on the host.
#include <cstring>

#include "sdk/le_bytes.h"
#include "startup/image_reader.h"

bool DecodeLocator(const void* bytes, uint32_t size, image::Locator& locator) {
  if (!bytes || size < sizeof(image::Locator)) return false;
  const auto* p = static_cast<const uint8_t*>(bytes);
  if (memcmp(p, image::kPlaceholderTag, sizeof image::kPlaceholderTag) == 0) return false;
  locator.imageOffset = ReadU32LE(p);
  locator.archiveOffset = ReadU32LE(p + 4);
  return true;
}
