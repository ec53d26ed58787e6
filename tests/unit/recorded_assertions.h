// The caller errors the runtime reports while a test runs, recorded in order
// rather than sent to the program's hook, which is put back afterwards.
#pragma once
#include <string>
#include <vector>

#include "objects/assertion.h"

struct RecordedAssertions {
  inline static std::vector<std::string> seen;
  const AssertionRecorder previous = SetAssertionRecorder([](const char* what) { seen.push_back(what); });
  RecordedAssertions() { seen.clear(); }
  ~RecordedAssertions() { SetAssertionRecorder(previous); }
};
