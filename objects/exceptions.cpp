// Raising exceptions. Until the frame walk over compiled code's record lists
// is in place every raise takes the unhandled path: the user is told which
// class went unhandled (nothing for EndException, the normal way to end),
// and the process ends with status 0.
#include "objects/exceptions.h"

#include <windows.h>

#include "objects/builtin_classes.h"
#include "objects/objects.h"
#include "objects/runtime_messages.h"
#include "objects/strings.h"
#include "ui/message_box.h"

namespace {

const int kUnhandledExceptionMessage = 4;

[[noreturn]] void EndUnhandled(ObjectRecord* exception) {
  std::string_view name = StringView(exception->cls->name);
  if (name != "EndException") {
    std::string text =
        UnhandledExceptionText(StringView(RuntimeMessage(kUnhandledExceptionMessage)), name);
    ShowRuntimeMessage(text.c_str());
  }
  ExitProcess(0);
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

void RaiseNewException(const char* className) {
  RuntimeRaiseException(NewObjectOfClass(FindBuiltInClass(className)));
}

extern "C" {

void RuntimeRaiseException(ObjectRecord* exception) {
  RuntimeLockObject(exception);
  EndUnhandled(exception);
}

void RuntimeNilObject() { RaiseNewException("NilObjectException"); }

}  // extern "C"
