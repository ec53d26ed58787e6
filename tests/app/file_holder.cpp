// file-holder PATH MS: another program holding a file for a while, as a
// backup, an indexer or a virus checker does: it opens the file for
// reading without sharing it (others' opens fail with a sharing violation),
// says "holding", and lets go after MS milliseconds.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: file-holder PATH MS\n");
    return 2;
  }
  HANDLE file = CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::printf("cannot open %lu\n", static_cast<unsigned long>(GetLastError()));
    return 1;
  }
  std::printf("holding\n");
  std::fflush(stdout);
  Sleep(static_cast<DWORD>(std::atol(argv[2])));
  CloseHandle(file);
  return 0;
}
