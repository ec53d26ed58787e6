// Civil dates and times of the Date class as pure arithmetic over the
// system's file-time count (100-nanosecond units since 1 January 1601, kept
// in local time), so that every rule can be checked on the host.
#pragma once
#include <cstdint>

struct DateFields {
  int32_t year, month, day;  // month 1..12, day 1..31
  int32_t hour, minute, second;
};

inline constexpr int64_t kFileTicksPerSecond = 10000000;

// The fields of a file time (fractions of a second are dropped).
DateFields FieldsOfFileTime(int64_t fileTime);
// The file time of `fields`, normalised the way a calendar reads them: a
// month of 13 is January of the next year, day 31 of a 30-day month is the
// 1st of the next, second 60 the next minute, and the same backwards for
// values below the range.
int64_t FileTimeOfFields(const DateFields& fields);

// Sunday = 1 ... Saturday = 7.
int32_t DayOfWeek(int64_t fileTime);
// 1 for 1 January.
int32_t DayOfYear(int64_t fileTime);
// Weeks counted from Sunday; the week holding 1 January is week 1.
int32_t WeekOfYear(int64_t fileTime);

// Seconds since 1 January 1904 00:00 and back.
double SecondsSince1904(int64_t fileTime);
int64_t FileTimeOfSecondsSince1904(double seconds);

// One field of a date (0 year, 1 month, 2 day, 3 hour, 4 minute, 5 second,
// 6 day of week, 7 day of year, 8 week of year; others 0), and setting one
// of the first six, normalised as above and without fractions of a second.
// Setting another field changes nothing.
int32_t DateField(int64_t fileTime, int32_t field);
int64_t WithDateField(int64_t fileTime, int32_t field, int32_t value);

// `f` with field 0..5 (year .. second) set to `value`, not normalised;
// another field changes nothing.
DateFields WithField(DateFields f, int32_t field, int32_t value);

// Fields set one at a time are kept as set and normalised only when the date
// is read, so that the order of setting does not matter (31 January, then
// month 4, then day 10 is 10 April, not 10 May). A Date keeps them in the 8
// bytes that otherwise hold its time: the year in 16 bits, each other field
// in 8, all signed. False when a value does not fit (the caller then
// normalises at once).
bool PackDateFields(const DateFields& f, uint8_t (&out)[8]);
DateFields UnpackDateFields(const uint8_t (&in)[8]);
