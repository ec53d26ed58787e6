// Text encodings, named by the classic text-encoding numbers that compiled
// code and stored preferences use, and the Windows code pages behind them.
#pragma once
#include <cstdint>

// Code pages the system does not know: the runtime converts them to and from
// Shift-JIS (932) itself.
inline constexpr uint32_t kEucJpCodePage = 900000;
inline constexpr uint32_t kIso2022JpCodePage = 900001;
inline constexpr uint32_t kShiftJisCodePage = 932;
inline constexpr uint32_t kUtf16CodePage = 1200;

// The code page of an encoding base (the format matters only for the Unicode
// bases); 0 when the base has none. Whether the system accepts the code page
// is for the caller to ask.
uint32_t CodePageForEncoding(uint32_t base, uint32_t format);

// Shift-JIS and the runtime's two Japanese codes: converters between them
// need no system code page.
bool IsJapaneseFamily(uint32_t codePage);
