// The runtime's own converters between Shift-JIS and the two other Japanese
// encodings the handheld world uses, EUC-JP and ISO-2022-JP. The system has
// no code pages for them that behave alike everywhere, so the runtime maps
// through the JIS X 0208 code itself: all three spell the same character set.
// Pure functions over bytes; a sequence with no counterpart becomes "?".
#pragma once
#include <string>
#include <string_view>

std::string EucJpToShiftJis(std::string_view euc);
std::string ShiftJisToEucJp(std::string_view sjis);
std::string Iso2022JpToShiftJis(std::string_view iso);
// Ends in single-byte mode, and returns to it before every line end, so that
// each line can be read on its own.
std::string ShiftJisToIso2022Jp(std::string_view sjis);
