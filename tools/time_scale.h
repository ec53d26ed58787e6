// How many times slower this machine runs the tests than the one their time
// limits were set on: VELLORY_TIME_SCALE (CTest hands it to every test; 3 in
// the emulated test machine), 1 when unset or out of reason. The UI driver
// and the handheld simulator stretch what they wait for by it.
#pragma once
#include <cstdint>
#include <cstdlib>

inline uint32_t TimeScale() {
  const char* text = std::getenv("VELLORY_TIME_SCALE");
  long scale = text ? std::strtol(text, nullptr, 10) : 1;
  return scale > 1 && scale < 100 ? static_cast<uint32_t>(scale) : 1;
}
