// port-holder [--try] COMn: another program holding a serial port, as a
// terminal would, so that the application finds it in use. It opens the port
// for exclusive use (no sharing, as Windows opens communications devices),
// says "held" and keeps it until ended; with --try it ends at once, which
// tells whether the system lets a second program open a port one holds.
// A port it cannot open: "busy N" (N the system's error code), exit 1.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  bool once = argc == 3 && std::strcmp(argv[1], "--try") == 0;
  if (argc != 2 && !once) {
    std::fprintf(stderr, "usage: port-holder [--try] COMn\n");
    return 2;
  }
  HANDLE port = CreateFileA(argv[argc - 1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  if (port == INVALID_HANDLE_VALUE) {
    std::printf("busy %lu\n", static_cast<unsigned long>(GetLastError()));
    return 1;
  }
  std::printf("held\n");
  std::fflush(stdout);
  if (once) return CloseHandle(port) ? 0 : 1;
  for (;;) Sleep(1000);
}
