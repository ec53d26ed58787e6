// Raising exceptions. The unwinder needs an unbroken chain of frame pointers
// from the raise up to compiled code and a known frame to start from, so the
// functions that begin a walk are kept out of line with frames of their own
// and never leave through a sibling call. An exception nobody catches ends the
// program: the user is told which class went unhandled (nothing for
// EndException, the normal way to end), the runtime shuts down and the
// process exits with status 0.
#include "objects/exceptions.h"

#include <windows.h>

#include "objects/builtin_classes.h"
#include "objects/fatal_hooks.h"
#include "objects/objects.h"
#include "objects/runtime_messages.h"
#include "objects/strings.h"
#include "objects/unwinder.h"

// A real frame whose saved frame pointer and return address the walk can
// start from.
#define VS_WALK_START \
  __attribute__((noinline, optimize("no-omit-frame-pointer", "no-optimize-sibling-calls")))

namespace {

const int kUnhandledExceptionMessage = 4;

[[noreturn]] void EndUnhandled(std::string_view className) {
  if (className != "EndException") {
    std::string text =
        UnhandledExceptionText(StringView(RuntimeMessage(kUnhandledExceptionMessage)), className);
    ShowFatalMessage(text.c_str());
  }
  ShutDownBeforeExit();
  ExitProcess(0);
}

// `frame` is the frame of the function that started the raise; it stays
// live while the walk runs below it.
[[noreturn]] void RaiseFromFrame(ObjectRecord* exception, void* frame) {
  UnwindTarget target = UnwindFrames(exception, frame);
  if (target.handled) ContinueInHandler(target);
  EndUnhandled(StringView(exception->cls->name));
}

// Raises an exception whose one reference the raise takes over.
[[noreturn]] VS_WALK_START void RaiseOwned(ObjectRecord* exception) {
  RaiseFromFrame(exception, __builtin_frame_address(0));
}

}  // namespace

std::string UnhandledExceptionText(std::string_view message, std::string_view className) {
  std::string text;
  for (size_t i = 0; i < message.size(); ++i) {
    if (message[i] == '%' && i + 1 < message.size() && message[i + 1] == '1') {
      text += className;
      ++i;
    } else {
      text += message[i];
    }
  }
  return text;
}

VS_WALK_START void RaiseNewException(const char* className) {
  ObjectRecord* exception = NewObjectOfClass(FindBuiltInClass(className));
  // Without its class there is no object a handler could take.
  if (!exception) EndUnhandled(className);
  RaiseOwned(exception);
}

VS_WALK_START void RaiseNilObjectException() { RaiseNewException("NilObjectException"); }
VS_WALK_START void RaiseIllegalCastException() { RaiseNewException("IllegalCastException"); }
VS_WALK_START void RaiseOutOfBoundsException() { RaiseNewException("OutOfBoundsException"); }
VS_WALK_START void RaiseTypeMismatchException() { RaiseNewException("typeMismatchException"); }
VS_WALK_START void RaiseEndException() { RaiseNewException("EndException"); }

extern "C" {

VS_WALK_START void RuntimeRaiseException(ObjectRecord* exception) {
  // Raising nil uses nil.
  if (!exception) RaiseNilObjectException();
  RuntimeLockObject(exception);
  RaiseFromFrame(exception, __builtin_frame_address(0));
}

VS_WALK_START void RuntimeNilObject() { RaiseNilObjectException(); }

void RuntimeReraiseException() {}

void RuntimeStackCheck() {}

}  // extern "C"
