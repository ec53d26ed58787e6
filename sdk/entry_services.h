// Entry points of the runtime's clipboard, text encodings and dates, as
// application code calls them; included by sdk/vellory.h.
#pragma once
#include <stdint.h>

#include "sdk/runtime_records.h"

extern "C" {

// --- Clipboard -------------------------------------------------------------------
// The object opens the system clipboard on first use and holds it until
// clipboardClose or its destruction. Its first setting empties the clipboard.
StringRecord* clipboardTextGetter(ObjectRecord* clipboard);
void clipboardTextSetter(ObjectRecord* clipboard, uint32_t param, StringRecord* text);
void clipboardSetText(ObjectRecord* clipboard, StringRecord* text);
bool clipboardTextAvailable(ObjectRecord* clipboard);
bool clipboardPictureAvailable(ObjectRecord* clipboard);
// Data under the clipboard format named `type` (registered when new).
bool clipboardMacDataAvailable(ObjectRecord* clipboard, StringRecord* type);
StringRecord* clipboardMacData(ObjectRecord* clipboard, StringRecord* type);
void clipboardAddMacData(ObjectRecord* clipboard, StringRecord* type, StringRecord* data);
// A Picture of the clipboard's bitmap, or nil; setting a picture does nothing.
ObjectRecord* clipboardPictureGetter(ObjectRecord* clipboard);
void clipboardPictureSetter(ObjectRecord* clipboard, uint32_t param, ObjectRecord* picture);
void clipboardClose(ObjectRecord* clipboard);

// --- TextEncoding and TextConverter -------------------------------------------
ObjectRecord* getTextEncoding(int32_t base, int32_t variant, int32_t format);
ObjectRecord* getInternetTextEncoding(StringRecord* name);
ObjectRecord* getFontTextEncoding(StringRecord* fontName);
StringRecord* textEncodingInternetName(ObjectRecord* encoding);
int32_t textEncodingBaseGetter(ObjectRecord* encoding);
int32_t textEncodingVariantGetter(ObjectRecord* encoding);
int32_t textEncodingFormatGetter(ObjectRecord* encoding);
// A converter between two encodings, or nil when either is nil or unknown.
ObjectRecord* getTextConverter(ObjectRecord* source, ObjectRecord* destination);
StringRecord* textConverterConvert(ObjectRecord* converter, StringRecord* text);
void textConverterClear(ObjectRecord* converter);
// Which of the Japanese encodings `text` is most likely in: a TextEncoding
// (Shift-JIS, EUC-JP or ISO-2022-JP), or nil for plain ASCII.
ObjectRecord* guessJapaneseEncoding(StringRecord* text);

// --- Date --------------------------------------------------------------------------
// Fields: 0 Year, 1 Month, 2 Day, 3 Hour, 4 Minute, 5 Second, 6 DayOfWeek,
// 7 DayOfYear, 8 WeekOfYear. Setting a field normalises the date.
int32_t dateFieldGetter(ObjectRecord* date, uint32_t field);
void dateFieldSetter(ObjectRecord* date, uint32_t field, int32_t value);
// Kinds: 0 ShortDate, 1 LongDate, 2 AbbreviatedDate, 3 ShortTime, 4 LongTime.
StringRecord* dateStringGetter(ObjectRecord* date, uint32_t kind);
double dateTotalSecondsGetter(ObjectRecord* date);
void dateTotalSecondsSetter(ObjectRecord* date, uint32_t param, double seconds);

// --- Serial -------------------------------------------------------------------------
// A line opens on first write when closed; reads return at once with what
// the driver holds. Errors of the device are not reported.
bool serialOpen(ObjectRecord* serial);
void serialReset(ObjectRecord* serial);
void serialClose(ObjectRecord* serial);
void serialWrite(ObjectRecord* serial, StringRecord* text);
void serialXmitWait(ObjectRecord* serial);
void serialLeaveDTROnClose(ObjectRecord* serial);
void serialTick(ObjectRecord* serial);
// The first `count` bytes received (all when fewer; "" for count <= 0).
StringRecord* serialRead(ObjectRecord* serial, int32_t count);
StringRecord* serialReadAll(ObjectRecord* serial);
void serialFlush(ObjectRecord* serial);
int32_t getSerialPortCount();
ObjectRecord* getSerialPort(ObjectRecord* receiver, int32_t index);

}  // extern "C"
