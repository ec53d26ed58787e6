// The comparisons over the collation table; see collation.h.
#include "objects/collation.h"

#include "objects/strings.h"

bool CollateEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Collate(static_cast<uint8_t>(a[i])) != Collate(static_cast<uint8_t>(b[i]))) return false;
  return true;
}

int CollateCompare(std::string_view a, std::string_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    uint8_t x = Collate(static_cast<uint8_t>(a[i])), y = Collate(static_cast<uint8_t>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool StringsEqualIgnoringCase(const StringRecord* a, const StringRecord* b) {
  return a == b || CollateEqual(StringView(a), StringView(b));
}
