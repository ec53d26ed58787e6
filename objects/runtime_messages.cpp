// The runtime message table; see runtime_messages.h.
#include "objects/runtime_messages.h"

#include <vector>

#include "objects/strings.h"

namespace {
std::vector<StringRef>& Messages() {
  static std::vector<StringRef> messages;
  return messages;
}
}  // namespace

StringRecord* RuntimeMessage(int32_t index) {
  const auto& table = Messages();
  if (index < 0 || static_cast<size_t>(index) >= table.size()) return nullptr;
  return table[index].get();
}

void SetRuntimeMessages(StringRecord* const* messages, int32_t count) {
  auto& table = Messages();
  table.clear();
  for (int32_t i = 0; i < count; ++i) table.push_back(StringRef::Borrow(messages[i]));
}
