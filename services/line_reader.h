// Line reading over the 1024-byte buffer a TextInputStream carries inside
// the object. The file is reached through a read function, so that the
// rules for line ends split across two reads can be checked on the host.
// A read that fails ends the file there for good: the reader hands out what
// it had and remembers the failure, so that a caller can tell a file it got
// whole from one it got only the start of.
#pragma once
#include <cstdint>
#include <string>

inline constexpr uint32_t kLineBufferSize = 1024;

struct LineBuffer {
  uint8_t bytes[kLineBufferSize];
  uint32_t position;  // next unread byte
  uint32_t count;     // bytes in the buffer
  uint32_t failed;    // nonzero once a read failed; nothing is read after it
};

// What a read function answers for a read that failed.
inline constexpr uint32_t kReadFailed = 0xFFFFFFFFu;

// Reads up to `size` bytes into `into`; returns how many came (0 at the end
// of the file), or kReadFailed on an error.
using ReadFunction = uint32_t (*)(void* file, uint8_t* into, uint32_t size);

// The next line without its terminator: CR, LF and CR LF each end a line.
// A last line without a terminator, or one cut short by a failed read, is
// returned as it is.
std::string ReadLine(LineBuffer& buffer, ReadFunction read, void* file);
// Everything from the read position to the end of the file (or to a failed read).
std::string ReadRest(LineBuffer& buffer, ReadFunction read, void* file);
// True when the buffer is used up and the file has nothing more, or a read failed.
bool AtEnd(LineBuffer& buffer, ReadFunction read, void* file);
