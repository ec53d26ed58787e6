// The test applications' trace lines: vt::Trace("Open ", name, " ", 3)
// joins its pieces (text, strings, numbers as Str writes them) into one line
// of trace.log, which each test compares with its expected file.
#pragma once
#include "sdk/vellory.h"

namespace vt {

// What the test applications name unqualified, with `using namespace vt`.
using vs::Field;
using vs::Ref;
using vs::String;

template <size_t N>
vs::String Piece(const char (&text)[N]) {
  return vs::String::Adopt(ZORBBuildString(text, N - 1));
}
inline vs::String Piece(StringRecord* s) { return vs::String::Borrow(s); }
inline vs::String Piece(const vs::String& s) { return s; }
inline vs::String Piece(int32_t n) { return vs::String::Adopt(StringStr(n)); }

template <typename... P>
vs::String Line(const P&... pieces) {
  vs::String line;
  ((line = line + Piece(pieces)), ...);
  return line;
}

template <typename... P>
void Trace(const P&... pieces) {
  lineTrace(Line(pieces...).get());
}

// Start-up, the main window (into *slot) and the pump, to the program's end.
inline void RunMainWindow(const uint32_t* project, const uint8_t* window, ObjectRecord** slot) {
  RuntimeInit(project);
  RuntimeCreateWindow(window, slot);
  RuntimeRun();
  Trace("run ended");
}

}  // namespace vt
