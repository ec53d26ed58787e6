// What the stored settings of a serial line mean to the system: the line
// settings and flow control as the device control block takes them, the
// time a write may take, and port numbers as device names. Pure, for the
// host.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct LineSettings {
  uint32_t baudRate;
  uint8_t byteSize;  // 5..8
  uint8_t parity;    // NOPARITY 0, ODDPARITY 1, EVENPARITY 2
  uint8_t stopBits;  // ONESTOPBIT 0, ONE5STOPBITS 1, TWOSTOPBITS 2
};

// Flow control in the device control block's terms.
struct FlowSettings {
  bool outX, inX;        // XON/XOFF in both directions
  bool outxCtsFlow;      // output waits for CTS
  uint8_t rtsControl;    // RTS_CONTROL_ENABLE 1, RTS_CONTROL_HANDSHAKE 2
  uint8_t dtrControl;    // DTR_CONTROL_DISABLE 0, DTR_CONTROL_ENABLE 1
  uint16_t xonLim, xoffLim;  // free / used bytes of the input queue that send XON / XOFF
  char xonChar, xoffChar;
};

// Baud index 0..13 → 300 … 57600; any other index, negative ones too, 57600.
uint32_t BaudRateForIndex(int32_t index);
LineSettings LineSettingsFor(int16_t baud, int16_t bits, int16_t parity, int16_t stop);
// The three stored flags: XON → XON/XOFF both ways, CTS → CTS handshake with
// RTS as its partner (RTS held on otherwise), DTR → DTR held on, else off.
FlowSettings FlowSettingsFor(bool xon, bool cts, bool dtr);

// Milliseconds a write of `bytes` may take before it counts as refused: the
// time the bytes need on the line (start bit, data, parity, stop bits),
// rounded up, plus two seconds of slack.
uint32_t WriteTimeLimitMs(const LineSettings& line, uint32_t bytes);

constexpr int kHighestPort = 256;
// The number of a port name: "COM12" (any case) → 12. 0 for anything else,
// numbers outside 1..kHighestPort included.
int PortNumberOfName(std::string_view name);
std::string PortName(int number);    // "COM12"
std::string DevicePath(int number);  // "\\.\COM12": the form COM10 and up need
// The ports to offer: COM1 to COM4 and every name in `listed` that is a port,
// by number, each once.
std::vector<int> PortList(const std::vector<std::string>& listed);
