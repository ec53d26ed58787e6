// The assertion hook; see assertion.h.
#include "objects/assertion.h"

namespace {
AssertionRecorder gRecorder = nullptr;
}

bool RuntimeCheck(bool holds, const char* what) {
  if (!holds && gRecorder) gRecorder(what);
  return holds;
}

AssertionRecorder SetAssertionRecorder(AssertionRecorder recorder) {
  AssertionRecorder previous = gRecorder;
  gRecorder = recorder;
  return previous;
}
