// Line settings of a serial object, as stored in its fields, turned into the
// values the system's device control block takes. Pure, for the host.
#pragma once
#include <cstdint>

struct LineSettings {
  uint32_t baudRate;
  uint8_t byteSize;  // 5..8
  uint8_t parity;    // NOPARITY 0, ODDPARITY 1, EVENPARITY 2
  uint8_t stopBits;  // ONESTOPBIT 0, ONE5STOPBITS 1, TWOSTOPBITS 2
};

// Baud index 0..13 → 300 … 57600; any other index, negative ones too, 57600.
uint32_t BaudRateForIndex(int32_t index);
LineSettings LineSettingsFor(int16_t baud, int16_t bits, int16_t parity, int16_t stop);
