// Date arithmetic. On Windows (under Wine) the fields are compared with the
// system's own FileTimeToSystemTime over dates spread across four centuries;
// on the host, the rules that the Date class promises are checked by
// example.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "services/calendar.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

int64_t At(int32_t y, int32_t mo, int32_t d, int32_t h = 0, int32_t mi = 0, int32_t s = 0) {
  return FileTimeOfFields({y, mo, d, h, mi, s});
}

TEST(Calendar, SecondsCountFromTheStartOf1904) {
  EXPECT_EQ(SecondsSince1904(At(1904, 1, 1)), 0.0);
  EXPECT_EQ(SecondsSince1904(At(1904, 1, 2)), 86400.0);
  EXPECT_EQ(SecondsSince1904(At(1903, 12, 31, 23, 59, 59)), -1.0);
  // 1904 was a leap year: 366 days to 1905.
  EXPECT_EQ(SecondsSince1904(At(1905, 1, 1)), 366.0 * 86400);
  int64_t t = At(2026, 12, 6, 22, 5, 7);
  EXPECT_EQ(FileTimeOfSecondsSince1904(SecondsSince1904(t)), t);
}

TEST(Calendar, WeeksStartOnSundayAndTheWeekOfJanuaryFirstIsOne) {
  // 1 January 2017 was a Sunday.
  EXPECT_EQ(DayOfWeek(At(2017, 1, 1)), 1);
  EXPECT_EQ(WeekOfYear(At(2017, 1, 1)), 1);
  EXPECT_EQ(WeekOfYear(At(2017, 1, 7)), 1);
  EXPECT_EQ(WeekOfYear(At(2017, 1, 8)), 2);
  // 1 January 2022 was a Saturday: the next day already starts week 2.
  EXPECT_EQ(DayOfWeek(At(2022, 1, 1)), 7);
  EXPECT_EQ(WeekOfYear(At(2022, 1, 2)), 2);
  EXPECT_EQ(DayOfYear(At(2024, 12, 31)), 366);
  EXPECT_EQ(DayOfYear(At(2023, 12, 31)), 365);
  EXPECT_EQ(DateField(At(2023, 3, 1), 7), 60);
  EXPECT_EQ(DateField(At(2023, 3, 1), 9), 0);
}

TEST(Calendar, SettingAFieldNormalisesTheDate) {
  int64_t t = At(2026, 4, 30, 10, 20, 30);
  EXPECT_EQ(WithDateField(t, 1, 13), At(2027, 1, 30, 10, 20, 30));
  EXPECT_EQ(WithDateField(t, 2, 31), At(2026, 5, 1, 10, 20, 30));
  EXPECT_EQ(WithDateField(t, 1, 0), At(2025, 12, 30, 10, 20, 30));
  EXPECT_EQ(WithDateField(t, 5, 60), At(2026, 4, 30, 10, 21, 0));
  EXPECT_EQ(WithDateField(t, 3, -1), At(2026, 4, 29, 23, 20, 30));
  EXPECT_EQ(WithDateField(t, 6, 3), t);  // day of week is read only
  // A fraction of a second (a date made from the clock) goes with any setting.
  EXPECT_EQ(WithDateField(t + 4567890, 4, 20), t);
  // A preference reader sets the six fields of a new date one by one.
  int64_t built = At(2000, 1, 1);
  const int32_t values[] = {2024, 2, 29, 23, 59, 58};
  for (int32_t field = 0; field < 6; ++field) built = WithDateField(built, field, values[field]);
  EXPECT_EQ(FieldsOfFileTime(built).day, 29);
  EXPECT_EQ(built, At(2024, 2, 29, 23, 59, 58));
}

// Fields set one by one are kept as set, packed into the Date's 8 bytes, and
// normalised once when read: the order of setting does not matter.
TEST(Calendar, FieldsKeptAsSetNameTheDateWhateverTheOrder) {
  const int32_t orders[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
  const int32_t values[] = {2024, 4, 10};
  for (const auto& order : orders) {
    DateFields f = FieldsOfFileTime(At(2023, 1, 31, 8));
    for (int32_t field : order) {
      f = WithField(f, field, values[field]);
      uint8_t packed[8];
      ASSERT_TRUE(PackDateFields(f, packed));
      f = UnpackDateFields(packed);
    }
    EXPECT_EQ(FileTimeOfFields(f), At(2024, 4, 10, 8)) << order[0] << order[1] << order[2];
  }
  struct Row {
    DateFields f;
    bool fits;
  };
  const Row rows[] = {{{-32768, -128, 127, 0, -1, 59}, true}, {{32767, 0, 0, 0, 0, 0}, true},
                      {{32768, 1, 1, 0, 0, 0}, false},       {{2024, 128, 1, 0, 0, 0}, false},
                      {{2024, 1, -129, 0, 0, 0}, false},     {{2024, 1, 1, 0, 0, 1000}, false}};
  for (const Row& r : rows) {
    uint8_t packed[8];
    ASSERT_EQ(PackDateFields(r.f, packed), r.fits) << r.f.year << " " << r.f.month;
    if (!r.fits) continue;
    DateFields back = UnpackDateFields(packed);
    EXPECT_EQ(back.year, r.f.year);
    EXPECT_EQ(back.month, r.f.month);
    EXPECT_EQ(back.day, r.f.day);
    EXPECT_EQ(back.minute, r.f.minute);
    EXPECT_EQ(back.second, r.f.second);
  }
  EXPECT_EQ(WithField(FieldsOfFileTime(At(2023, 1, 31)), 6, 3).day, 31) << "only fields 0 to 5";
}

#ifdef _WIN32
TEST(Calendar, FieldsAgreeWithTheSystemAcrossCenturies) {
  std::mt19937_64 random(1904);
  const int64_t span = At(2400, 1, 1) - At(1601, 1, 1);
  for (int i = 0; i < 20000; ++i) {
    int64_t t = static_cast<int64_t>(random() % static_cast<uint64_t>(span));
    FILETIME ft = {static_cast<DWORD>(t), static_cast<DWORD>(t >> 32)};
    SYSTEMTIME st;
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &st));
    DateFields f = FieldsOfFileTime(t);
    ASSERT_EQ(f.year, st.wYear) << t;
    ASSERT_EQ(f.month, st.wMonth) << t;
    ASSERT_EQ(f.day, st.wDay) << t;
    ASSERT_EQ(f.hour, st.wHour) << t;
    ASSERT_EQ(f.minute, st.wMinute) << t;
    ASSERT_EQ(f.second, st.wSecond) << t;
    ASSERT_EQ(DayOfWeek(t), st.wDayOfWeek + 1) << t;
    st.wMilliseconds = 0;
    FILETIME back;
    ASSERT_TRUE(SystemTimeToFileTime(&st, &back));
    int64_t whole = (int64_t{back.dwHighDateTime} << 32) | back.dwLowDateTime;
    ASSERT_EQ(FileTimeOfFields(f), whole) << t;
  }
}
#endif

}  // namespace
