// The rows of a port popup and the ports they stand for. Ports beyond the
// first four come and go with the adapters plugged in, so a row number is
// no port number: each popup keeps the port of every row it was given.
// Port numbers are as stored (0 is COM1).
#pragma once
#include "sdk/vellory.h"

struct PortRows {
  static constexpr int32_t kMax = 257;
  int16_t port[kMax];
  int32_t count;

  // The row (0 = the first port row) of a stored port number, or -1.
  int32_t RowOf(int16_t stored) const {
    for (int32_t row = 0; row < count; ++row)
      if (port[row] == stored) return row;
    return -1;
  }
  // The port of a row, or `otherwise` for a row that is none of them.
  int16_t PortAt(int32_t row, int16_t otherwise) const {
    return row >= 0 && row < count ? port[row] : otherwise;
  }
};

// Adds a row per port the system offers, named as the port is, in number
// order, and one for `stored` too when the system lacks it (so that a port
// of an adapter now unplugged can be kept); records them in `rows`. The
// event loop runs after each row.
void AddSerialPortRows(ObjectRecord* popup, PortRows& rows, int16_t stored);
