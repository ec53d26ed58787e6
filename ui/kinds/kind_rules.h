// The pure rules of the built-in control kinds, kept free of Win32 so that
// they are also tested natively: how a popup's InitialValue and a tab
// panel's TabDefinition become rows and tabs, the indeterminate progress
// bar's sweep, and whether a control lies on a tab panel.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sdk/ui_layouts.h"

// Splits `text` at every `separator`: each piece before a separator is an
// item, empty ones included; the piece after the last separator is one only
// when it is not empty. "" gives none; "a" gives one.
std::vector<std::string> SplitItems(std::string_view text, char separator);

// The sweeping block of an indeterminate progress bar: it sits at
// x = 8 x position and moves one step per run, forwards until the position
// reaches width / 8, which turns it back to width / 8 - 1, then backwards
// until it falls below 0, which turns it forwards again at 1.
struct Sweep {
  int32_t position = 0;
  bool forwards = true;
};
void StepSweep(Sweep& sweep, int32_t width);

// True when `inner` lies entirely inside `outer` (edges may touch).
bool LiesInside(const ShortRect& inner, const ShortRect& outer);
