// The stored line settings are small indices chosen in the designer; any
// value outside a table falls back to the common case rather than failing.
#include "services/serial_settings.h"

namespace {

constexpr uint32_t kBaudRates[] = {300,  600,   1200,  1800,  2400,  3600,  4800,
                                   7200, 9600, 14400, 19200, 28800, 38400, 57600};
constexpr int32_t kBaudCount = sizeof(kBaudRates) / sizeof(kBaudRates[0]);

uint8_t ByteSize(int16_t bits) {
  switch (bits) {
    case 0: return 5;
    case 1: return 6;
    case 2: return 7;
    default: return 8;
  }
}

uint8_t Parity(int16_t parity) { return parity == 1 || parity == 2 ? static_cast<uint8_t>(parity) : 0; }

uint8_t StopBits(int16_t stop) { return stop == 1 || stop == 2 ? static_cast<uint8_t>(stop) : 0; }

}  // namespace

uint32_t BaudRateForIndex(int32_t index) {
  if (index < 0 || index >= kBaudCount) return 57600;
  return kBaudRates[index];
}

LineSettings LineSettingsFor(int16_t baud, int16_t bits, int16_t parity, int16_t stop) {
  return {BaudRateForIndex(baud), ByteSize(bits), Parity(parity), StopBits(stop)};
}
