// file-holder PATH share|lock MS: another program holding a file for a
// while, as a backup, an indexer or a virus checker does. "share" opens it
// for reading without sharing it (others' opens fail with a sharing
// violation); "lock" opens it shared and locks everything after its first
// 1024 bytes (others' reads of that part fail with a lock violation). It
// says "holding" once it holds the file, and lets go after MS milliseconds.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc != 4 || (std::strcmp(argv[2], "share") != 0 && std::strcmp(argv[2], "lock") != 0)) {
    std::fprintf(stderr, "usage: file-holder PATH share|lock MS\n");
    return 2;
  }
  bool lock = std::strcmp(argv[2], "lock") == 0;
  DWORD sharing = lock ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE : 0;
  HANDLE file = CreateFileA(argv[1], GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::printf("cannot open %lu\n", static_cast<unsigned long>(GetLastError()));
    return 1;
  }
  if (lock && !LockFile(file, 1024, 0, 0x7FFFFFFF, 0)) {
    std::printf("cannot lock %lu\n", static_cast<unsigned long>(GetLastError()));
    return 1;
  }
  std::printf("holding\n");
  std::fflush(stdout);
  Sleep(static_cast<DWORD>(std::atol(argv[3])));
  CloseHandle(file);
  return 0;
}
