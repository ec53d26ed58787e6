// A scratch folder for tests that need real files, removed with everything
// in it (read-only and hidden files and sub-folders too).
#pragma once
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
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
  ~TempFolder() { Remove(path_); }

  const std::string& Path() const { return path_; }
  std::string Write(const std::string& name, std::string_view bytes) {
    std::string file = path_ + "\\" + name;
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
  }
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    return Write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }
  // The file's bytes, or "<missing>".
  std::string Read(const std::string& name) const {
    std::ifstream in(path_ + "\\" + name, std::ios::binary);
    if (!in) return "<missing>";
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // The names in the folder in the system's order, or sorted.
  std::vector<std::string> Names(bool sorted = true) const { return Names(path_, sorted); }

 private:
  static std::vector<std::string> Names(const std::string& dir, bool sorted) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
      std::string name = found.cFileName;
      if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    if (sorted) std::sort(names.begin(), names.end());
    return names;
  }
  static void Remove(const std::string& dir) {
    for (const std::string& name : Names(dir, false)) {
      std::string path = dir + "\\" + name;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (!DeleteFileA(path.c_str())) Remove(path);
    }
    RemoveDirectoryA(dir.c_str());
  }

  static inline int counter_ = 0;
  std::string path_;
};
