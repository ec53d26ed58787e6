// A scratch folder for tests that need real files, removed with its contents.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class TempFolder {
 public:
  TempFolder() {
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    path_ = std::string(base) + "vellory-test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(counter_++);
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    for (const std::string& f : files_) DeleteFileA(f.c_str());
    RemoveDirectoryA(path_.c_str());
  }

  const std::string& Path() const { return path_; }
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string file = path_ + "\\" + name;
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (!bytes.empty()) WriteFile(h, bytes.data(), bytes.size(), &written, nullptr);
    CloseHandle(h);
    files_.push_back(file);
    return file;
  }

 private:
  static inline int counter_ = 0;
  std::string path_;
  std::vector<std::string> files_;
};
