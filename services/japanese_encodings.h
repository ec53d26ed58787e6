// The runtime's own converters between Shift-JIS and the two other Japanese
// encodings the handheld world uses, EUC-JP and ISO-2022-JP. The system has
// no code pages for them that behave alike everywhere, so the runtime maps
// through the JIS X 0208 code itself: all three spell the same character set.
// Pure functions over bytes; a sequence with no counterpart becomes "?".
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

std::string EucJpToShiftJis(std::string_view euc);
std::string ShiftJisToEucJp(std::string_view sjis);
std::string Iso2022JpToShiftJis(std::string_view iso);
// Ends in single-byte mode, and returns to it before every line end, so that
// each line can be read on its own.
std::string ShiftJisToIso2022Jp(std::string_view sjis);

// Which of the three `text` most likely is, by the bytes each one alone
// uses: the encoding base 0x820 (ISO-2022-JP), 0x920 (EUC-JP) or 0xA01
// (Shift-JIS); 0 for text without a byte above 0x7F.
uint32_t GuessJapaneseBase(std::string_view text);
