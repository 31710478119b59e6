#include "core/utc_time.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/test_files.h"

namespace {

// A day-by-day walk over four centuries (every month length and leap rule),
// at times of day wandering through the hours, minutes and milliseconds.
TEST(UtcTime, CalendarAndWrittenFormsAgreeWithKnownInstantsAndADayByDayWalk) {
  EXPECT_EQ(parsedTime("1970-01-01T00:00Z").milliseconds, 0);
  EXPECT_EQ(parsedTime("0001-01-01T00:00Z").milliseconds, -62135596800000);
  EXPECT_EQ(parsedTime("9999-12-31T23:59:59.999Z").milliseconds, 253402300799999);
  EXPECT_EQ(parsedTime("1969-12-31T23:59:59.999Z").milliseconds, -1);
  EXPECT_EQ(formatCompactTime(parsedTime("2026-06-21T10:00Z")), "20260621T1000Z");
  EXPECT_EQ(formatCompactTime(parsedTime("2026-06-21T10:00:00.25Z")), "20260621T100000.250Z");

  const int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  CivilTime expected{1600, 1, 1};
  const UtcTime start = utcTimeFromCivil(expected);
  for (int64_t n = 0; n < 146097 + 366; ++n) {
    const UtcTime day{start.milliseconds + n * 86400000};
    const int64_t timeOfDay = n % 3 == 0 ? n * 60000 % 86400000 : n * 3600017 % 86400000;  // whole minutes or not
    const UtcTime t{day.milliseconds + timeOfDay};
    const CivilTime c = civilTime(t);
    ASSERT_TRUE(c.year == expected.year && c.month == expected.month && c.day == expected.day &&
                c.hour == timeOfDay / 3600000)
        << formatIsoTime(t);
    ASSERT_EQ(utcTimeFromCivil(c), t);
    ASSERT_EQ(parsedTime(formatIsoTime(t)), t) << formatIsoTime(t);
    ASSERT_EQ(parsedTime(formatCompactTime(t)), t) << formatCompactTime(t);
    bool leap = expected.year % 4 == 0 && (expected.year % 100 != 0 || expected.year % 400 == 0);
    if (++expected.day > kMonthDays[expected.month - 1] + (expected.month == 2 && leap)) {
      expected.day = 1;
      if (++expected.month > 12) expected.month = 1, ++expected.year;
    }
  }
  for (UtcTime t : {UtcTime{-62135596800000}, UtcTime{253402300799999}}) {
    EXPECT_EQ(parsedTime(formatIsoTime(t)), t) << formatIsoTime(t);
    EXPECT_EQ(parsedTime(formatCompactTime(t)), t) << formatCompactTime(t);
  }
}

// The forms users write, with offsets that move the date across the date line,
// a year end and a leap day.
TEST(UtcTime, ReadsTheUsualFormsAndAppliesTheOffset) {
  const struct { const char *text, *utc; } kCases[] = {
      {"2026-06-21T10:00:00+02:00", "2026-06-21T08:00:00Z"}, {"2026-06-21 10:00+0530", "2026-06-21T04:30:00Z"},
      {"20260621T100030-0100", "2026-06-21T11:00:30Z"}, {"2026-06-21t10:00:30.25-03", "2026-06-21T13:00:30.250Z"},
      {"2026-06-21T10:00:30,0004z", "2026-06-21T10:00:30Z"}, {"2026-12-31T23:59:59.9996Z", "2027-01-01T00:00:00Z"},
      {" \t2026-06-21T10:00Z \t", "2026-06-21T10:00:00Z"},
      {"2026-01-01T05:00+14:00", "2025-12-31T15:00:00Z"},  // Kiribati, a day ahead
      {"2025-12-31T20:00-11:00", "2026-01-01T07:00:00Z"},  // Niue, a day behind
      {"2000-02-29T12:00-00:00", "2000-02-29T12:00:00Z"}, {"0001-01-01T00:00-14:00", "0001-01-01T14:00:00Z"},
  };
  for (const auto& c : kCases) EXPECT_EQ(formatIsoTime(parsedTime(c.text)), c.utc) << c.text;
}

TEST(UtcTime, RefusesMalformedAndImpossibleTimesWithTheReason) {
  const struct { const char *text, *reason; } kCases[] = {
      {"2026-13-01T10:00Z", "month 13 is not"}, {"2025-02-29T10:00Z", "day 29"}, {"1900-02-29T10:00Z", "day 29"},
      {"2026-04-31T10:00Z", "day 31"}, {"2026-06-21T24:00Z", "hour 24"}, {"2026-06-21T23:61Z", "minute 61"},
      {"2026-06-21T23:59:60Z", "leap seconds"}, {"2026-06-21T10:00", "no UTC offset"},
      {"2026-06-21", "no time of day"}, {"2026-06-21T1:00Z", "expected hh:mm"},
      {"2026-6-21T10:00Z", "not a date and time"}, {"2026-06-21_10:00Z", "followed by T or a space"},
      {"0000-01-01T10:00Z", "year 0"}, {"10000-01-01T10:00Z", "years outside"},
      {"2026-06-21T10:00+14:30", "beyond +-14:00"}, {"2026-06-21T10:00+05:60", "offset minutes 60"},
      {"2026-06-21T10:00+05:3", "+hh:mm"}, {"2026-06-21T10:00 +02:00", "unexpected character"},
      {"2026-06-21T10:00/02:00", "unexpected '/'"}, {"2026-06-21T10:00Z junk", "unexpected text"},
      {"2026-06-21T10:00:00.Z", "no digits after"}, {"2026-06-21T10:00:00.1234567891Z", "more than 9 digits"},
      {"2026-06-21T10:00:5Z", "two digits"}, {"0001-01-01T00:30+01:00", "outside the years"},
      {"9999-12-31T23:30-01:00", "outside the years"}, {"   ", "empty"},
  };
  for (const auto& c : kCases) {
    UtcTime t{42};
    std::string error;
    EXPECT_FALSE(parseIsoTime(c.text, t, error)) << c.text;
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.text << " gave: " << error;
    EXPECT_EQ(t.milliseconds, 42) << c.text;
  }
}

// Every one-character insertion, deletion and truncation of valid texts:
// refused with a reason, or read as an instant that reads back the same.
TEST(UtcTime, DamagedTextsAreRefusedOrReadConsistently) {
  const std::string kReplacements = "0123456789-+:.,TZ tz/\x7f";
  for (const std::string valid : {"2026-06-21T10:00:30.250+05:30", "20240229T235959Z"})
    for (size_t i = 0; i <= valid.size(); ++i)
      for (size_t what = 0; what <= kReplacements.size() + 1; ++what) {
        std::string text = valid;
        if (what < kReplacements.size())
          text.insert(i, 1, kReplacements[what]);
        else if (what > kReplacements.size())
          text = valid.substr(0, i);
        else if (i < valid.size())
          text.erase(i, 1);
        UtcTime t;
        std::string error;
        if (parseIsoTime(text, t, error))
          EXPECT_EQ(parsedTime(formatIsoTime(t)), t) << text;
        else
          EXPECT_FALSE(error.empty()) << text;
      }
}

TEST(UtcTime, RangesIncludeTheEndOnAStepAndRefuseBadSteps) {
  const UtcTime from = parsedTime("2026-06-21T00:00Z");
  const UtcTime limit{from.milliseconds + (kMaxRangeTimes - 1) * 60000};
  std::vector<UtcTime> times;
  std::string error;
  const struct { UtcTime to; double stepMinutes; int64_t count; } kExpanded[] = {
      {parsedTime("2026-06-22T00:00Z"), 10, 145}, {parsedTime("2026-06-21T00:25Z"), 10, 3}, {from, 60, 1},
      {parsedTime("2026-06-21T00:01Z"), 0.1, 11}, {limit, 1, kMaxRangeTimes}};
  for (const auto& c : kExpanded) {
    ASSERT_TRUE(expandTimeRange(from, c.to, c.stepMinutes, times, error)) << error;
    ASSERT_EQ(static_cast<int64_t>(times.size()), c.count) << formatIsoTime(c.to);
    EXPECT_EQ(times.front(), from);
    EXPECT_EQ(times.back().milliseconds - from.milliseconds, std::llround(c.stepMinutes * 60000) * (c.count - 1));
  }

  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const struct { UtcTime to; double step; const char* reason; } kRefused[] = {
      {limit, 0, "positive"},
      {limit, -10, "positive"},
      {limit, nan, "positive"},
      {limit, inf, "positive"},
      {limit, 1e-6, "shorter than a millisecond"},
      {{limit.milliseconds + 60000}, 1, "more than the limit of 1000000"},
      {{from.milliseconds - 1}, 10, "before its start"},
  };
  for (const auto& c : kRefused) {
    times.assign(3, from);
    EXPECT_FALSE(expandTimeRange(from, c.to, c.step, times, error)) << c.reason;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_TRUE(times.empty());
  }
}

TEST(UtcTime, ListsSkipCommentsAndBlankLinesAndNameTheFirstBadLine) {
  std::vector<UtcTime> times;
  std::string error;
  ASSERT_TRUE(parseTimeList("# a June day in Oslo\n\n2026-06-21T10:00+02:00\r\n   \t\n  # noon\n"
                            "20260621T1200Z\n2026-06-21T10:00+02:00",
                            times, error))
      << error;
  ASSERT_EQ(times.size(), 3u);  // the repeat is kept, in order
  EXPECT_EQ(formatIsoTime(times[0]), "2026-06-21T08:00:00Z");
  EXPECT_EQ(formatIsoTime(times[1]), "2026-06-21T12:00:00Z");
  EXPECT_EQ(times[2], times[0]);

  const struct { const char *text, *error; } bad[] = {
      {"2026-06-21T10:00Z\n\n2026-06-21T10:00\n", "line 3: no UTC offset"},
      {"2026-06-21T10:00Z 2026-06-21T11:00Z\n", "line 1: unexpected"},
      {"\n# nothing\n", "no time in the list"},
  };
  for (const auto& c : bad) {
    times = {UtcTime{1}};
    EXPECT_FALSE(parseTimeList(c.text, times, error)) << c.text;
    EXPECT_EQ(error.compare(0, std::string(c.error).size(), c.error), 0) << error;
    EXPECT_EQ(times.size(), 1u);  // left alone
  }
  // The bad line is quoted, shortened and made printable.
  EXPECT_FALSE(parseTimeList(std::string("x\x1b[2J") + std::string(100, 'y'), times, error));
  EXPECT_EQ(error.find('\x1b'), std::string::npos);
  EXPECT_LT(error.size(), 160u);
}

}  // namespace
