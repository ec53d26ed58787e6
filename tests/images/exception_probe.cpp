// A program that raises an exception nobody catches, of the built-in class
// named on its command line. Only a real process can show what a user sees
// at the top of the walk: the message naming the class (none for
// EndException, the normal way to end) and exit status 0.
#include <windows.h>

#include <string>

#include "objects/builtin_classes.h"
#include "objects/exceptions.h"
#include "objects/objects.h"
#include "objects/runtime_messages.h"
#include "objects/small_heap.h"
#include "objects/strings.h"

namespace {

std::string Trimmed(const char* text) {
  std::string s(text ? text : "");
  size_t first = s.find_first_not_of(" \t\"");
  size_t last = s.find_last_not_of(" \t\"");
  return first == std::string::npos ? "" : s.substr(first, last - first + 1);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  InitAllocatorLock();
  RegisterBuiltInClasses();
  StringRecord* unhandled =
      NewString("An exception of class %1 was not handled.\rThe application must shut down.");
  StringRecord* messages[] = {nullptr, nullptr, nullptr, nullptr, unhandled};
  SetRuntimeMessages(messages, 5);
  RuntimeUnlockString(unhandled);
  RuntimeRaiseException(NewObjectOfClass(FindBuiltInClass(Trimmed(commandLine))));
}
