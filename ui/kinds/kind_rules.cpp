// The control kinds' pure rules; see kind_rules.h.
#include "ui/kinds/kind_rules.h"

std::vector<std::string> SplitItems(std::string_view text, char separator) {
  std::vector<std::string> items;
  size_t start = 0;
  for (size_t at = text.find(separator); at != std::string_view::npos;
       at = text.find(separator, start)) {
    items.emplace_back(text.substr(start, at - start));
    start = at + 1;
  }
  if (start < text.size()) items.emplace_back(text.substr(start));
  return items;
}

void StepSweep(Sweep& sweep, int32_t width) {
  int32_t end = width / 8;
  if (sweep.forwards) {
    if (++sweep.position >= end) {
      sweep.position = end - 1;
      sweep.forwards = false;
    }
    return;
  }
  if (--sweep.position < 0) {
    sweep.position = 1;
    sweep.forwards = true;
  }
}

bool LiesInside(const ShortRect& inner, const ShortRect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}
