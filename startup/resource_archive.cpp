// ResourceArchive and FindArchiveItem; see resource_archive.h. The archive
// table is read from the file at each lookup, but every count and offset is
// checked against the file's size first.
#include "startup/resource_archive.h"

#include "objects/process_globals.h"
#include "sdk/image_format.h"
#include "sdk/le_bytes.h"
#include "startup/archive_layout.h"

bool ResourceArchive::ReadWordAt(uint32_t offset, uint32_t& value) {
  uint8_t word[4];
  if (uint64_t{offset} + 4 > size_) return false;
  if (_llseek(file_, static_cast<LONG>(offset), FILE_BEGIN) != static_cast<LONG>(offset))
    return false;
  if (_lread(file_, word, 4) != 4) return false;
  value = ReadU32BE(word);
  return true;
}

bool ResourceArchive::Find(int32_t index, HFILE& file, uint32_t& offset) {
  if (offset_ == image::kNoArchive) return false;
  if (!tried_) {
    tried_ = true;
    file_ = _lopen(path_.c_str(), OF_READ);
    if (file_ != HFILE_ERROR) {
      LONG size = _llseek(file_, 0, FILE_END);
      size_ = size < 0 ? 0 : static_cast<uint32_t>(size);
    }
  }
  if (file_ == HFILE_ERROR) return false;
  ArchiveWordReader read = [](void* self, uint32_t at, uint32_t& value) {
    return static_cast<ResourceArchive*>(self)->ReadWordAt(at, value);
  };
  if (!LocateArchiveItem(offset_, size_, index, read, this, offset)) return false;
  file = file_;
  return true;
}

void ResourceArchive::Close() {
  if (file_ != HFILE_ERROR) _lclose(file_);
  file_ = HFILE_ERROR;
  tried_ = false;
}

namespace {

std::string ArchivePath() {
  if (gArchiveOffset == 0) return image::kArchiveFile;
  char path[1024];
  DWORD n = GetModuleFileNameA(gModuleHandle, path, sizeof path);
  return (n == 0 || n >= sizeof path) ? std::string() : std::string(path, n);
}

}  // namespace

bool FindArchiveItem(int32_t index, HFILE& file, uint32_t& offset) {
  static ResourceArchive archive(ArchivePath(), gArchiveOffset);
  return archive.Find(index, file, offset);
}
