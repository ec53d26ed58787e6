// SkipProgramName; see command_line.h. Pure, so it is tested on the host.
#include "startup/command_line.h"

const char* SkipProgramName(const char* p) {
  bool quoted = false;
  for (; *p; ++p) {
    if (*p == '"') quoted = !quoted;
    else if (!quoted && (*p == ' ' || *p == '\t')) break;
  }
  while (*p && static_cast<unsigned char>(*p) <= ' ') ++p;
  return p;
}
