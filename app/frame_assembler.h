// Frames from the handheld, assembled from whatever chunks the line hands
// them over in. The handheld sends each piece of writing as STX, text, ETX;
// the desktop polls, so one chunk may hold the end of a frame, whole frames
// and the start of the next, or only a byte of one. Deciding what is a frame
// by where a chunk starts or ends glues quick frames together, so the bytes
// are taken one by one here instead: STX opens a frame wherever it stands,
// ETX closes it, and each whole frame comes out on its own, in order.
//
// Pure code over bytes: compiled into the application image (which has no
// standard library) and into the native tests and fuzzers alike.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Bytes with a meaning on the line from the handheld.
enum FrameByte : uint8_t {
  kFrameCommandMark = 0x01,  // first byte of a command frame
  kFrameStart = 0x02,        // STX
  kFrameEnd = 0x03,          // ETX
  kFrameBackspace = 0x08,
};

// The longest frame kept. A longer run without ETX is not writing: a line at
// the wrong speed gives exactly that, and it must not grow without end.
inline constexpr size_t kFrameLimit = 64 * 1024;

struct FrameAssembler {
  uint32_t length;   // bytes of the frame being assembled
  bool overlong;     // a run past the limit is being skipped up to its next STX or ETX
  char bytes[kFrameLimit];
};

// What a whole frame does to the text it goes into, as typing its bytes
// would: `erasures` characters before the insertion point go, then `bytes`
// (no backspace is left in them) goes in. Over a selection the frame's
// first keystroke takes the selection: a typed character replaces it, and
// a first backspace (`firstErases`) deletes it instead of a character.
struct FrameText {
  const char* bytes;
  size_t length;
  size_t erasures;
  bool firstErases;
  bool command;  // a command frame (first byte 0x01), as it came
};

// Where the assembler hands over what it makes: `frame` gets each whole
// frame that had any bytes, `dropped` hears once for each run that passed
// kFrameLimit without an ETX.
struct FrameSink {
  void* context;
  void (*frame)(void* context, const FrameText& text);
  void (*dropped)(void* context);
};

// Forgets the frame half assembled (its end will never come, or will come
// as something else: the line closed, game mode took over).
void FrameReset(FrameAssembler* assembler);

// Takes the next bytes from the line. Bytes before any STX count as a frame
// too (an ETX completes them), as the handheld's older software sends them.
void FrameFeed(FrameAssembler* assembler, const char* bytes, size_t length, const FrameSink& sink);

// A frame's body in its typed form; the body is rewritten in place and
// `bytes` points into it.
FrameText FrameTyped(char* body, size_t length);
