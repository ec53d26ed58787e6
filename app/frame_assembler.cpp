// No library calls: this file is linked into the application image, which
// reaches nothing but the runtime's entry points.
#include "app/frame_assembler.h"

namespace {

void Complete(FrameAssembler* a, const FrameSink& sink) {
  if (!a->length) return;
  FrameText text = FrameTyped(a->bytes, a->length);
  a->length = 0;
  sink.frame(sink.context, text);
}

// A byte of text: kept, or the run it belongs to is too long and goes.
void Collect(FrameAssembler* a, char byte, const FrameSink& sink) {
  if (a->overlong) return;
  if (a->length < kFrameLimit) {
    a->bytes[a->length++] = byte;
    return;
  }
  a->length = 0;
  a->overlong = true;
  sink.dropped(sink.context);
}

}  // namespace

void FrameReset(FrameAssembler* assembler) {
  assembler->length = 0;
  assembler->overlong = false;
}

void FrameFeed(FrameAssembler* assembler, const char* bytes, size_t length, const FrameSink& sink) {
  for (size_t i = 0; i < length; ++i) {
    uint8_t byte = static_cast<uint8_t>(bytes[i]);
    if (byte == kFrameStart) {
      FrameReset(assembler);
    } else if (byte == kFrameEnd) {
      if (!assembler->overlong) Complete(assembler, sink);
      FrameReset(assembler);
    } else {
      Collect(assembler, bytes[i], sink);
    }
  }
}

FrameText FrameTyped(char* body, size_t length) {
  FrameText text = {body, length, 0, false, false};
  if (!length) return text;
  if (static_cast<uint8_t>(body[0]) == kFrameCommandMark) {
    text.command = true;
    return text;
  }
  text.firstErases = static_cast<uint8_t>(body[0]) == kFrameBackspace;
  // The kept bytes are built in place behind the read position: they never
  // outrun it.
  size_t kept = 0;
  for (size_t i = 0; i < length; ++i) {
    if (static_cast<uint8_t>(body[i]) != kFrameBackspace)
      body[kept++] = body[i];
    else if (kept)
      --kept;
    else
      ++text.erasures;
  }
  text.length = kept;
  return text;
}
