// The resource archive: items addressed by index from 1, located through a
// big-endian table at the archive's start. It lives in the program file, or in
// "data3.dat" when the image came from separate files.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// One archive file, opened on the first lookup and kept open afterwards.
class ResourceArchive {
 public:
  ResourceArchive(std::string path, uint32_t archiveOffset)
      : path_(std::move(path)), offset_(archiveOffset) {}
  ResourceArchive(const ResourceArchive&) = delete;
  ResourceArchive& operator=(const ResourceArchive&) = delete;
  ~ResourceArchive() { Close(); }

  // Gives the open file and the absolute file offset of item `index`, or
  // false when there is no such item (or no archive, or no file).
  bool Find(int32_t index, HFILE& file, uint32_t& offset);
  void Close();

 private:
  bool ReadWordAt(uint32_t offset, uint32_t& value);

  std::string path_;
  uint32_t offset_;
  HFILE file_ = HFILE_ERROR;
  uint32_t size_ = 0;
  bool tried_ = false;
};

// The process's archive as the image locator describes it.
bool FindArchiveItem(int32_t index, HFILE& file, uint32_t& offset);
