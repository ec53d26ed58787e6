// Finding the port the handheld is on, for the port popups of the setup
// assistant and the Preferences window. Users seldom know which COM number
// a cable or USB adapter got, but they can write on the handheld: Detect
// listens on every port of the popup at once and selects the one a frame
// arrives on. Both windows carry the same three controls for it (see
// make_project.py): the button "Button_Detect", the progress line
// "Text_Detect" and the timer "Timer_Detect".
#pragma once
#include "app/globals.h"
#include "app/port_rows.h"

// The line settings a port is listened with, as the Serial control keeps them.
struct LineChoice {
  int16_t baud, bits, stop, parity;
  uint8_t xon, cts, dtr;
};

// The main line's settings.
LineChoice CurrentLine();
// Gives `line` the settings (its port stays).
void ApplyLine(SerialObject* line, const LineChoice& choice);

// A window's port popup: its control name, the row its first port stands
// in (the assistant's row 0 is "Choose...") and the ports of its rows.
struct PortPopup {
  StringRecord* name;
  int32_t firstRow;
  const PortRows* rows;
};

// The Detect button's click: starts listening on every port of the popup
// with these settings, or, while this window listens, cancels (the popup
// stays as it was). One window listens at a time: a start in another
// cancels that one first.
void DetectClicked(ObjectRecord* window, const PortPopup& popup, const LineChoice& line);

// For the window's Close: ends its listening, if any, as a cancel does.
void DetectStop(ObjectRecord* window);
