// The stored line settings are small indices chosen in the designer; any
// value outside a table falls back to the common case rather than failing.
// Port names come from the system's own list, so any text may turn up there;
// only "COM" and a number in range counts.
#include "services/serial_settings.h"

#include <algorithm>

namespace {

constexpr uint32_t kBaudRates[] = {300,  600,   1200,  1800,  2400,  3600,  4800,
                                   7200, 9600, 14400, 19200, 28800, 38400, 57600};
constexpr int32_t kBaudCount = sizeof(kBaudRates) / sizeof(kBaudRates[0]);
constexpr int kAlwaysListed = 4;
constexpr uint32_t kWriteSlackMs = 2000;

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

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

uint32_t BaudRateForIndex(int32_t index) {
  if (index < 0 || index >= kBaudCount) return 57600;
  return kBaudRates[index];
}

LineSettings LineSettingsFor(int16_t baud, int16_t bits, int16_t parity, int16_t stop) {
  return {BaudRateForIndex(baud), ByteSize(bits), Parity(parity), StopBits(stop)};
}

FlowSettings FlowSettingsFor(bool xon, bool cts, bool dtr) {
  FlowSettings f = {};
  f.outX = f.inX = xon;
  f.outxCtsFlow = cts;
  f.rtsControl = cts ? 2 : 1;
  f.dtrControl = dtr ? 1 : 0;
  // With the usual 4 KiB input queue: XOFF once less than 1 KiB is free, XON
  // again once no more than 1 KiB waits.
  f.xonLim = 1024;
  f.xoffLim = 1024;
  f.xonChar = 0x11;
  f.xoffChar = 0x13;
  return f;
}

uint32_t WriteTimeLimitMs(const LineSettings& line, uint32_t bytes) {
  // Half stop bits count as a whole: a limit errs on the long side.
  uint64_t bitsPerByte = 1u + line.byteSize + (line.parity ? 1u : 0u) + (line.stopBits ? 2u : 1u);
  uint64_t baud = line.baudRate ? line.baudRate : 1;
  uint64_t lineMs = (bitsPerByte * bytes * 1000 + baud - 1) / baud;
  return static_cast<uint32_t>(std::min<uint64_t>(lineMs + kWriteSlackMs, 0xFFFFFFFEu));
}

int PortNumberOfName(std::string_view name) {
  if (name.size() < 4 || name.size() > 6) return 0;
  if (Upper(name[0]) != 'C' || Upper(name[1]) != 'O' || Upper(name[2]) != 'M') return 0;
  if (name[3] == '0') return 0;
  int number = 0;
  for (char c : name.substr(3)) {
    if (c < '0' || c > '9') return 0;
    number = number * 10 + (c - '0');
  }
  return number <= kHighestPort ? number : 0;
}

std::string PortName(int number) { return "COM" + std::to_string(number); }

std::string DevicePath(int number) { return "\\\\.\\" + PortName(number); }

std::vector<int> PortList(const std::vector<std::string>& listed) {
  std::vector<int> ports;
  for (int n = 1; n <= kAlwaysListed; ++n) ports.push_back(n);
  for (const std::string& name : listed)
    if (int n = PortNumberOfName(name)) ports.push_back(n);
  std::sort(ports.begin(), ports.end());
  ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
  return ports;
}
