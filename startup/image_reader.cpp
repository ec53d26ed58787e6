// Reads the application image with the compatibility file calls; see
// image_reader.h.
#include "startup/image_reader.h"

#include <windows.h>

#include <cstring>

#include "sdk/image_seal.h"
#include "sdk/le_bytes.h"
#include "startup/load_messages.h"

namespace {

bool Fail(std::string& message, const std::string& what) {
  message = kImageUnreadable + what;
  return false;
}

// An open file in the compatibility API, closed on every path.
class CompatFile {
 public:
  explicit CompatFile(const char* path) : file_(_lopen(path, OF_READ)) {}
  CompatFile(const CompatFile&) = delete;
  CompatFile& operator=(const CompatFile&) = delete;
  ~CompatFile() { Close(); }

  bool IsOpen() const { return file_ != HFILE_ERROR; }
  void Close() {
    if (IsOpen()) _lclose(file_);
    file_ = HFILE_ERROR;
  }
  // The file's size, leaving the position at `restore`.
  uint32_t Size(uint32_t restore) {
    LONG size = _llseek(file_, 0, FILE_END);
    _llseek(file_, static_cast<LONG>(restore), FILE_BEGIN);
    return size < 0 ? 0 : static_cast<uint32_t>(size);
  }
  bool Seek(uint32_t offset) {
    return _llseek(file_, static_cast<LONG>(offset), FILE_BEGIN) == static_cast<LONG>(offset);
  }
  // Reads exactly `length` bytes, in pieces _lread can take.
  bool ReadAll(uint8_t* into, uint32_t length) {
    while (length > 0) {
      UINT piece = length > 0x10000000u ? 0x10000000u : length;
      UINT got = _lread(file_, into, piece);
      if (got != piece) return false;
      into += piece;
      length -= piece;
    }
    return true;
  }

 private:
  HFILE file_;
};

std::string InFolder(const std::string& folder, const char* file) {
  if (folder.empty()) return file;
  char last = folder.back();
  return (last == '\\' || last == '/') ? folder + file : folder + "\\" + file;
}

bool ReadWholeFile(const std::string& folder, const char* name, image::Block which,
                   ImageBlocks& blocks, std::string& message) {
  CompatFile file(InFolder(folder, name).c_str());
  if (!file.IsOpen()) return Fail(message, std::string(name) + " is missing.");
  uint32_t size = file.Size(0);
  if (!blocks.Allocate(which, size))
    return Fail(message, std::string("there is not enough memory for ") + BlockName(which) + ".");
  if (!file.ReadAll(blocks.Bytes(which), size))
    return Fail(message, std::string(name) + " could not be read in full.");
  return true;
}

// Verifies the seal at `at`, right after the fourth block, when there is
// one: without its tag the image goes on unsealed (see image_seal.h).
bool CheckSeal(CompatFile& file, uint64_t at, const ImageBlocks& blocks, std::string& message) {
  uint8_t seal[sizeof(image::Seal)];
  if (at + sizeof seal > file.Size(0) || !file.Seek(static_cast<uint32_t>(at)) || !file.ReadAll(seal, sizeof seal) ||
      memcmp(seal, image::kSealTag, sizeof image::kSealTag) != 0)
    return true;
  const uint8_t* bytes[image::kBlockCount];
  uint32_t lengths[image::kBlockCount];
  for (int i = 0; i < image::kBlockCount; ++i) {
    bytes[i] = blocks.Bytes(static_cast<image::Block>(i));
    lengths[i] = blocks.Length(static_cast<image::Block>(i));
  }
  if (ReadU32LE(seal + offsetof(image::Seal, crc)) == image::ImageCrc(bytes, lengths)) return true;
  return Fail(message, "the program file is damaged. Please install the program again.");
}

}  // namespace

bool ImageBlocks::Allocate(image::Block which, uint32_t length) {
  Free(which);
  // Never zero bytes: an empty block still needs an address of its own.
  SIZE_T bytes = length ? length : 1;
  void* p = which == image::kCode
                ? VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE)
                : HeapAlloc(GetProcessHeap(), 0, bytes);
  bytes_[which] = static_cast<uint8_t*>(p);
  lengths_[which] = p ? length : 0;
  return p != nullptr;
}

void ImageBlocks::Free(image::Block which) {
  if (!bytes_[which]) return;
  if (which == image::kCode)
    VirtualFree(bytes_[which], 0, MEM_RELEASE);
  else
    HeapFree(GetProcessHeap(), 0, bytes_[which]);
  bytes_[which] = nullptr;
  lengths_[which] = 0;
}

void ImageBlocks::ReleaseFixups() {
  Free(image::kCodeFixups);
  Free(image::kDataFixups);
}

void ImageBlocks::Release() {
  ReleaseFixups();
  if (kept_) return;
  Free(image::kCode);
  Free(image::kData);
}

bool ReadAppendedImage(const char* path, uint32_t imageOffset, ImageBlocks& blocks,
                       std::string& message) {
  CompatFile file(path);
  if (!file.IsOpen()) return Fail(message, "the program file could not be opened.");
  LengthReader readLength = [](void* f, uint64_t at, uint32_t& length) {
    auto* source = static_cast<CompatFile*>(f);
    uint8_t prefix[4];
    if (at > 0xFFFFFFFFu || !source->Seek(static_cast<uint32_t>(at)) || !source->ReadAll(prefix, 4))
      return false;
    length = ReadU32LE(prefix);
    return true;
  };
  BlockPlace places[image::kBlockCount];
  if (!PlaceAppendedBlocks(file.Size(imageOffset), imageOffset, readLength, &file, places, message))
    return false;
  for (int i = 0; i < image::kBlockCount; ++i) {
    auto which = static_cast<image::Block>(i);
    if (!blocks.Allocate(which, places[i].length))
      return Fail(message, std::string("there is not enough memory for ") + BlockName(which) + ".");
    if (!file.Seek(static_cast<uint32_t>(places[i].offset)) ||
        !file.ReadAll(blocks.Bytes(which), places[i].length))
      return Fail(message, std::string(BlockName(which)) + " could not be read in full.");
  }
  return CheckSeal(file, places[image::kDataFixups].offset + places[image::kDataFixups].length, blocks, message);
}

bool ReadSeparateImage(const std::string& folder, ImageBlocks& blocks, std::string& message) {
  return ReadWholeFile(folder, image::kCodeFile, image::kCode, blocks, message) &&
         ReadWholeFile(folder, image::kDataFile, image::kData, blocks, message) &&
         ReadWholeFile(folder, image::kCodeFixupsFile, image::kCodeFixups, blocks, message) &&
         ReadWholeFile(folder, image::kDataFixupsFile, image::kDataFixups, blocks, message);
}
