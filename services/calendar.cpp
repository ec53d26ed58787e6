// Day counts use the proleptic Gregorian calendar, as the system's file
// times do. Days are counted from 1 March of year 0 in 400-year eras, which
// keeps leap days at the end of each counted year and the arithmetic free
// of tables.
#include "services/calendar.h"

#include <cmath>

namespace {

constexpr int64_t kSecondsPerDay = 86400;
// Days from 1 March of year 0 to 1 January 1601.
constexpr int64_t kEpoch1601 = 584694;

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Days since 1 January 1601 of a civil date (month may be any value: it is
// carried into the year first).
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year += FloorDiv(month - 1, 12);
  month = month - 1 - FloorDiv(month - 1, 12) * 12 + 1;
  year -= month <= 2;
  int64_t era = FloorDiv(year, 400);
  int64_t yearOfEra = year - era * 400;
  int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - kEpoch1601;
}

struct Civil {
  int64_t year, month, day;
};

Civil CivilFromDays(int64_t days) {
  int64_t z = days + kEpoch1601;
  int64_t era = FloorDiv(z, 146097);
  int64_t dayOfEra = z - era * 146097;
  int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  int64_t mp = (5 * dayOfYear + 2) / 153;
  int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
  int64_t month = mp < 10 ? mp + 3 : mp - 9;
  return {yearOfEra + era * 400 + (month <= 2), month, day};
}

int64_t DaysOf(int64_t fileTime) { return FloorDiv(fileTime, kFileTicksPerSecond * kSecondsPerDay); }

int64_t FileTime1904() { return DaysFromCivil(1904, 1, 1) * kSecondsPerDay * kFileTicksPerSecond; }

}  // namespace

DateFields FieldsOfFileTime(int64_t fileTime) {
  int64_t days = DaysOf(fileTime);
  int64_t seconds = FloorDiv(fileTime, kFileTicksPerSecond) - days * kSecondsPerDay;
  Civil c = CivilFromDays(days);
  return {static_cast<int32_t>(c.year), static_cast<int32_t>(c.month), static_cast<int32_t>(c.day),
          static_cast<int32_t>(seconds / 3600), static_cast<int32_t>(seconds / 60 % 60),
          static_cast<int32_t>(seconds % 60)};
}

int64_t FileTimeOfFields(const DateFields& f) {
  int64_t days = DaysFromCivil(f.year, f.month, 1) + f.day - 1;
  int64_t seconds = days * kSecondsPerDay + int64_t{f.hour} * 3600 + int64_t{f.minute} * 60 + f.second;
  return seconds * kFileTicksPerSecond;
}

int32_t DayOfWeek(int64_t fileTime) {
  // 1 January 1601 was a Monday.
  int64_t fromSunday = (DaysOf(fileTime) + 1) % 7;
  if (fromSunday < 0) fromSunday += 7;
  return static_cast<int32_t>(fromSunday + 1);
}

int32_t DayOfYear(int64_t fileTime) {
  int64_t days = DaysOf(fileTime);
  return static_cast<int32_t>(days - DaysFromCivil(CivilFromDays(days).year, 1, 1) + 1);
}

int32_t WeekOfYear(int64_t fileTime) {
  int64_t days = DaysOf(fileTime);
  int64_t january1 = DaysFromCivil(CivilFromDays(days).year, 1, 1);
  int64_t january1FromSunday = DayOfWeek(january1 * kSecondsPerDay * kFileTicksPerSecond) - 1;
  return static_cast<int32_t>((days - january1 + january1FromSunday) / 7 + 1);
}

double SecondsSince1904(int64_t fileTime) {
  // Dividing keeps whole seconds exact, which multiplying by 1e-7 does not.
  return static_cast<double>(fileTime - FileTime1904()) / kFileTicksPerSecond;
}

int64_t FileTimeOfSecondsSince1904(double seconds) {
  return FileTime1904() + static_cast<int64_t>(std::llround(seconds * kFileTicksPerSecond));
}

int32_t DateField(int64_t fileTime, int32_t field) {
  DateFields f = FieldsOfFileTime(fileTime);
  switch (field) {
    case 0: return f.year;
    case 1: return f.month;
    case 2: return f.day;
    case 3: return f.hour;
    case 4: return f.minute;
    case 5: return f.second;
    case 6: return DayOfWeek(fileTime);
    case 7: return DayOfYear(fileTime);
    case 8: return WeekOfYear(fileTime);
    default: return 0;
  }
}

DateFields WithField(DateFields f, int32_t field, int32_t value) {
  if (field < 0 || field > 5) return f;
  int32_t* slots[] = {&f.year, &f.month, &f.day, &f.hour, &f.minute, &f.second};
  *slots[field] = value;
  return f;
}

int64_t WithDateField(int64_t fileTime, int32_t field, int32_t value) {
  if (field < 0 || field > 5) return fileTime;
  // Whole seconds: a date built field by field must not keep the fraction
  // of the moment it was made, which its total seconds would show.
  return FileTimeOfFields(WithField(FieldsOfFileTime(fileTime), field, value));
}

bool PackDateFields(const DateFields& f, uint8_t (&out)[8]) {
  auto small = [](int32_t v) { return v >= -128 && v <= 127; };
  if (f.year < -32768 || f.year > 32767) return false;
  if (!small(f.month) || !small(f.day) || !small(f.hour) || !small(f.minute) || !small(f.second))
    return false;
  out[0] = static_cast<uint8_t>(f.year & 0xFF);
  out[1] = static_cast<uint8_t>((f.year >> 8) & 0xFF);
  out[2] = static_cast<uint8_t>(f.month);
  out[3] = static_cast<uint8_t>(f.day);
  out[4] = static_cast<uint8_t>(f.hour);
  out[5] = static_cast<uint8_t>(f.minute);
  out[6] = static_cast<uint8_t>(f.second);
  out[7] = 0;
  return true;
}

DateFields UnpackDateFields(const uint8_t (&in)[8]) {
  auto s8 = [](uint8_t b) { return static_cast<int32_t>(static_cast<int8_t>(b)); };
  int32_t year = static_cast<int16_t>(static_cast<uint16_t>(in[0] | (in[1] << 8)));
  return {year, s8(in[2]), s8(in[3]), s8(in[4]), s8(in[5]), s8(in[6])};
}
