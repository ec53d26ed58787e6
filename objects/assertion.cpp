// The assertion hook and the image damage handler; see assertion.h.
#include "objects/assertion.h"

namespace {
AssertionRecorder gRecorder = nullptr;
AssertionRecorder gDamageHandler = nullptr;
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

bool ImageCheck(bool holds, const char* what) {
  if (RuntimeCheck(holds, what)) return true;
  if (gDamageHandler) gDamageHandler(what);
  return false;
}

AssertionRecorder SetImageDamageHandler(AssertionRecorder handler) {
  AssertionRecorder previous = gDamageHandler;
  gDamageHandler = handler;
  return previous;
}
