// What the handheld says on the line, as bytes: frames of text between STX
// and ETX, a backspace frame, and the script language the simulator runs in
// tests. Pure functions, checked by the host tests.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr char kStx = '\x02';
inline constexpr char kEtx = '\x03';
inline constexpr char kBackspace = '\x08';

// STX text ETX.
std::string Frame(std::string_view text);
// `bytes` cut into pieces of at most `size` bytes (one piece when size is 0).
std::vector<std::string> Chunks(std::string_view bytes, size_t size);

// C-style escapes in script and command-line texts: \r \n \t \\ \xHH, and
// \s for a space (so that a text may begin or end with one). Empty when an
// escape is malformed.
std::optional<std::string> Unescape(std::string_view text);
// Bytes as a reader sees them: printable ASCII as is, CR and LF as <CR> and
// <LF> (LF also ends the line shown), other bytes as <xx>.
std::string Visible(std::string_view bytes);

// One step of a script.
struct ScriptStep {
  enum Kind { kSend, kRaw, kWait, kExpect, kExpectNothing, kTake, kSkipTo } kind;
  std::string bytes;      // kSend: the text; kRaw, kExpect, kSkipTo: the bytes
  size_t chunk = 0;       // kSend: chunk size (0: one write); kTake: how many bytes;
                          // kSkipTo: the most bytes that may come first
  uint32_t gapMs = 0;     // kSend: pause between chunks
  uint32_t timeoutMs = 0; // kWait: the pause; kExpect, kExpectNothing: how long
  int line = 0;           // in the script, for messages
};

struct Script {
  std::vector<ScriptStep> steps;
  std::string error;  // "line N: what is wrong", or empty
};

// Script lines ("#" starts a comment):
//   send TEXT                     a frame holding TEXT
//   send-chunked SIZE GAP_MS TEXT the frame written in SIZE-byte pieces
//   raw BYTES                     bytes as they are
//   wait MS
//   expect BYTES [TIMEOUT_MS]     these bytes come next (default 5000 ms)
//   expect-nothing MS             nothing comes for MS
//   take COUNT [TIMEOUT_MS]       COUNT bytes of any kind come (default 5000 ms):
//                                 a handheld that reads slowly
Script ParseScript(std::string_view text);
