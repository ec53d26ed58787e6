// Date objects: a local file time that is fixed the first time it is used,
// so that a new date read twice gives the same answer. The arithmetic is in
// services/calendar.cpp; this file reaches the system only for the current
// time and for the user's date and time formats.
#include "services/dates.h"

#include <windows.h>

#include <cstring>

#include "objects/checked_cast.h"
#include "objects/strings.h"
#include "sdk/service_layouts.h"
#include "sdk/vellory.h"
#include "services/calendar.h"

namespace {

int64_t CurrentLocalFileTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  FILETIME ft;
  SystemTimeToFileTime(&now, &ft);
  return static_cast<int64_t>((uint64_t{ft.dwHighDateTime} << 32) | ft.dwLowDateTime);
}

// isSet: 0 the current time on first use, 1 the time words hold the time,
// 2 they hold fields set one by one and not yet normalised (calendar.h).
constexpr uint8_t kTimeSet = 1, kFieldsPending = 2;

void Store(DateObject* d, int64_t time) {
  d->timeLow = static_cast<uint32_t>(time);
  d->timeHigh = static_cast<uint32_t>(static_cast<uint64_t>(time) >> 32);
  d->isSet = kTimeSet;
}

// The fields set one by one, kept in the time words (isSet kFieldsPending).
DateFields PendingFields(const DateObject* d) {
  uint8_t packed[8];
  memcpy(packed, &d->timeLow, 4);
  memcpy(packed + 4, &d->timeHigh, 4);
  return UnpackDateFields(packed);
}

// The date's time, taking the current time on first use and normalising
// fields set one by one.
int64_t TimeOf(DateObject* d) {
  if (!d->isSet) Store(d, CurrentLocalFileTime());
  if (d->isSet == kFieldsPending) Store(d, FileTimeOfFields(PendingFields(d)));
  return static_cast<int64_t>((uint64_t{d->timeHigh} << 32) | d->timeLow);
}

// Sets field 0..5 and keeps the fields as set when they fit the time words,
// else normalises at once.
void SetField(DateObject* d, int32_t field, int32_t value) {
  if (field < 0 || field > 5) return;
  DateFields f = d->isSet == kFieldsPending ? PendingFields(d)
                                            : FieldsOfFileTime(TimeOf(d));
  f = WithField(f, field, value);
  uint8_t packed[8];
  if (!PackDateFields(f, packed)) return Store(d, FileTimeOfFields(f));
  memcpy(&d->timeLow, packed, 4);
  memcpy(&d->timeHigh, packed + 4, 4);
  d->isSet = kFieldsPending;
}

SYSTEMTIME SystemTimeOf(int64_t time) {
  FILETIME ft = {static_cast<DWORD>(time), static_cast<DWORD>(static_cast<uint64_t>(time) >> 32)};
  SYSTEMTIME st = {};
  FileTimeToSystemTime(&ft, &st);
  return st;
}

StringRecord* Formatted(const SYSTEMTIME& st, bool date, DWORD flags) {
  char text[256];
  int n = date ? GetDateFormatA(LOCALE_USER_DEFAULT, flags, &st, nullptr, text, sizeof text)
               : GetTimeFormatA(LOCALE_USER_DEFAULT, flags, &st, nullptr, text, sizeof text);
  return NewString(n > 0 ? std::string_view(text, static_cast<size_t>(n - 1)) : std::string_view());
}

}  // namespace

extern "C" {

int32_t dateFieldGetter(ObjectRecord* date, uint32_t field) {
  DateObject* d = As<DateObject>(date);
  return d ? DateField(TimeOf(d), static_cast<int32_t>(field)) : 0;
}

void dateFieldSetter(ObjectRecord* date, uint32_t field, int32_t value) {
  if (DateObject* d = As<DateObject>(date)) SetField(d, static_cast<int32_t>(field), value);
}

StringRecord* dateStringGetter(ObjectRecord* date, uint32_t kind) {
  DateObject* d = As<DateObject>(date);
  if (!d) return nullptr;
  SYSTEMTIME st = SystemTimeOf(TimeOf(d));
  switch (kind) {
    case 0:
    case 2: return Formatted(st, true, DATE_SHORTDATE);
    case 1: return Formatted(st, true, DATE_LONGDATE);
    case 3: return Formatted(st, false, TIME_NOSECONDS);
    case 4: return Formatted(st, false, 0);
    default: return NewString("");
  }
}

double dateTotalSecondsGetter(ObjectRecord* date) {
  DateObject* d = As<DateObject>(date);
  return d ? SecondsSince1904(TimeOf(d)) : 0;
}

void dateTotalSecondsSetter(ObjectRecord* date, uint32_t, double seconds) {
  if (DateObject* d = As<DateObject>(date)) Store(d, FileTimeOfSecondsSince1904(seconds));
}

}  // extern "C"

const PropertyEntry kDateProperties[] = {
    {"Behavior", "Year", "Integer", CodeOf(dateFieldGetter), CodeOf(dateFieldSetter), 0},
    {"Behavior", "Month", "Integer", CodeOf(dateFieldGetter), CodeOf(dateFieldSetter), 1},
    {"Behavior", "Day", "Integer", CodeOf(dateFieldGetter), CodeOf(dateFieldSetter), 2},
    {"Behavior", "Hour", "Integer", CodeOf(dateFieldGetter), CodeOf(dateFieldSetter), 3},
    {"Behavior", "Minute", "Integer", CodeOf(dateFieldGetter), CodeOf(dateFieldSetter), 4},
    {"Behavior", "Second", "Integer", CodeOf(dateFieldGetter), CodeOf(dateFieldSetter), 5},
    {"Behavior", "DayOfWeek", "Integer", CodeOf(dateFieldGetter), nullptr, 6},
    {"Behavior", "DayOfYear", "Integer", CodeOf(dateFieldGetter), nullptr, 7},
    {"Behavior", "WeekOfYear", "Integer", CodeOf(dateFieldGetter), nullptr, 8},
    {"Behavior", "ShortDate", "String", CodeOf(dateStringGetter), nullptr, 0},
    {"Behavior", "LongDate", "String", CodeOf(dateStringGetter), nullptr, 1},
    {"Behavior", "AbbreviatedDate", "String", CodeOf(dateStringGetter), nullptr, 2},
    {"Behavior", "ShortTime", "String", CodeOf(dateStringGetter), nullptr, 3},
    {"Behavior", "LongTime", "String", CodeOf(dateStringGetter), nullptr, 4},
    {"Behavior", "TotalSeconds", "Double", CodeOf(dateTotalSecondsGetter),
     CodeOf(dateTotalSecondsSetter), 0},
};
const uint32_t kDatePropertyCount = sizeof(kDateProperties) / sizeof(kDateProperties[0]);
