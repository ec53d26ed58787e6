// The far end of a virtual cable as the application benchmarks' helpers
// open it: 8 data bits, no parity, one stop bit, no flow control (a
// pseudo-terminal has no lines to hand-shake with), and reads that return
// at once with whatever has arrived, so that a helper can time what it sees
// with its own short sleeps.
#pragma once

#include <windows.h>

#include <string>

namespace bench {

inline HANDLE OpenCable(const std::string& port) {
  std::string device = "\\\\.\\" + port;
  HANDLE cable = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             0, nullptr);
  if (cable == INVALID_HANDLE_VALUE) return cable;
  DCB dcb = {};
  dcb.DCBlength = sizeof dcb;
  GetCommState(cable, &dcb);
  dcb.BaudRate = CBR_38400;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = dcb.fOutX = dcb.fInX = FALSE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  SetCommState(cable, &dcb);
  COMMTIMEOUTS timeouts = {};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  SetCommTimeouts(cable, &timeouts);
  return cable;
}

}  // namespace bench
