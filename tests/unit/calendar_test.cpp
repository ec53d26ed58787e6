// Date arithmetic against dates worked out independently.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "services/calendar.h"

namespace {

int64_t At(int32_t y, int32_t mo, int32_t d, int32_t h = 0, int32_t mi = 0, int32_t s = 0) {
  return FileTimeOfFields({y, mo, d, h, mi, s});
}

std::vector<int32_t> Ymdhms(const DateFields& f) { return {f.year, f.month, f.day, f.hour, f.minute, f.second}; }

TEST(Calendar, FieldsWeekdaysWeeksAndSecondsSince1904) {
  // Weeks start on Sunday; 1 January is in week 1.
  const struct {
    DateFields f;
    int32_t dayOfWeek, dayOfYear, week;
    double seconds;
  } rows[] = {
      {{1904, 1, 1, 0, 0, 0}, 6, 1, 1, 0},
      {{1903, 12, 31, 23, 59, 59}, 5, 365, 53, -1},
      {{1905, 1, 1, 0, 0, 0}, 1, 1, 1, 31622400},  // 1904 was a leap year
      {{1601, 1, 1, 0, 0, 0}, 2, 1, 1, -9561628800.0},
      {{1900, 3, 1, 12, 34, 56}, 5, 60, 9, -121001104.0},  // a century year is no leap year
      {{2017, 1, 8, 0, 0, 0}, 1, 8, 2, 3566678400.0},
      {{2022, 1, 2, 0, 0, 0}, 1, 2, 2, 3723926400.0},  // a Saturday's year: week 2 at once
      {{2024, 2, 29, 23, 59, 58}, 5, 60, 9, 3792095998.0},
      {{2024, 12, 31, 0, 0, 0}, 3, 366, 53, 3818448000.0},
      {{2400, 2, 29, 12, 0, 0}, 3, 60, 10, 15657451200.0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << r.f.year << "-" << r.f.month << "-" << r.f.day);
    int64_t t = FileTimeOfFields(r.f);
    EXPECT_EQ(Ymdhms(FieldsOfFileTime(t)), Ymdhms(r.f));
    EXPECT_EQ(std::vector<int32_t>({DateField(t, 6), DateField(t, 7), DateField(t, 8), DateField(t, 9)}),
              std::vector<int32_t>({r.dayOfWeek, r.dayOfYear, r.week, 0}));
    EXPECT_EQ(SecondsSince1904(t), r.seconds);
    EXPECT_EQ(FileTimeOfSecondsSince1904(r.seconds), t);
  }
}

TEST(Calendar, SettingAFieldNormalisesTheDate) {
  int64_t t = At(2026, 4, 30, 10, 20, 30);
  const struct { int32_t field, value; int64_t expected; } rows[] = {
      {1, 13, At(2027, 1, 30, 10, 20, 30)}, {1, 0, At(2025, 12, 30, 10, 20, 30)},
      {3, -1, At(2026, 4, 29, 23, 20, 30)}, {6, 3, t},  // day of week is read only
  };
  for (const auto& r : rows) EXPECT_EQ(WithDateField(t, r.field, r.value), r.expected) << r.field;
  // A fraction of a second (a date made from the clock) goes with any setting.
  EXPECT_EQ(WithDateField(t + 4567890, 4, 20), t);
}

// A Date keeps its fields as set, packed into 8 bytes: what fits comes back
// unchanged, what does not is refused.
TEST(Calendar, PackedFieldsComeBackAsSetOrAreRefused) {
  const struct { DateFields f; bool fits; } rows[] = {
      {{-32768, -128, 127, 0, -1, 59}, true}, {{32767, 0, 0, 0, 0, 0}, true},  {{32768, 1, 1, 0, 0, 0}, false},
      {{2024, 128, 1, 0, 0, 0}, false},       {{2024, 1, -129, 0, 0, 0}, false}, {{2024, 1, 1, 0, 0, 1000}, false}};
  for (const auto& r : rows) {
    uint8_t packed[8];
    ASSERT_EQ(PackDateFields(r.f, packed), r.fits) << r.f.year << " " << r.f.month;
    if (!r.fits) continue;
    EXPECT_EQ(Ymdhms(UnpackDateFields(packed)), Ymdhms(r.f));
  }
}

}  // namespace
