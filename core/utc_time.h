// UTC instants: reading ISO 8601 date-times, writing them back, and the
// instants of a time range.
//
// An instant is a count of milliseconds since 1970-01-01T00:00:00Z on the
// proleptic Gregorian calendar, without leap seconds (POSIX time): every day
// has 86 400 seconds. Milliseconds keep a written fractional second (to the
// nearest millisecond) while staying an exact integer, so equal texts give
// equal instants and a range's steps never drift.
//
// Instants are limited to the years 1 to 9999 in UTC: from
// 0001-01-01T00:00:00Z to 9999-12-31T23:59:59.999Z.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct UtcTime {
  int64_t milliseconds = 0;  // since 1970-01-01T00:00:00Z

  bool operator==(UtcTime o) const { return milliseconds == o.milliseconds; }
  bool operator!=(UtcTime o) const { return milliseconds != o.milliseconds; }
  bool operator<(UtcTime o) const { return milliseconds < o.milliseconds; }
};

// The calendar date and time of day of an instant in UTC.
struct CivilTime {
  int year = 1970, month = 1, day = 1;  // month 1..12, day 1..31
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Converts between an instant and its UTC calendar date and time. The fields
// given to utcTimeFromCivil must form a valid date and time (as parseIsoTime
// checks); it does no checking of its own.
CivilTime civilTime(UtcTime time);
UtcTime utcTimeFromCivil(const CivilTime& civil);

// Reads a date and time of day with its UTC offset:
//
//   DATE SEPARATOR TIME OFFSET
//   DATE       YYYY-MM-DD or YYYYMMDD
//   SEPARATOR  'T', 't' or one space
//   TIME       hh:mm, hh:mm:ss, hhmm or hhmmss, the seconds optionally
//              followed by '.' or ',' and 1 to 9 digits of fraction (rounded
//              to the nearest millisecond)
//   OFFSET     'Z' or 'z' (UTC), or +hh:mm, -hh:mm, +hhmm, -hhmm, +hh, -hh
//
// e.g. "2026-06-21T10:00Z", "2026-06-21T10:00:00+02:00", "2026-06-21 10:00+0530",
// "20260621T1000Z". Spaces and tabs around the whole text are ignored.
//
// A time without an offset is refused: it could be UTC or the local time of
// the site or of the computer, and guessing wrong would move the sun by
// hours. Also refused: dates that do not exist (month 13, 30 February),
// hour 24, minutes or seconds past 59 (leap seconds are not counted), years
// outside 1..9999, offsets beyond +-14:00, and an instant outside the range
// above once the offset is applied.
//
// On success sets `time` and returns true; otherwise leaves `time` alone,
// sets `error` to the reason in a few words (without the text itself, for
// the caller to quote) and returns false.
bool parseIsoTime(const std::string& text, UtcTime& time, std::string& error);

// "2026-06-21T10:00:00Z" (".250" before the Z when the milliseconds are not
// zero): for headers and messages. parseIsoTime reads it back exactly.
std::string formatIsoTime(UtcTime time);

// "20260621T1000Z", with the seconds ("20260621T100030Z") only when they are
// not zero and the milliseconds ("20260621T100030.250Z") only when those are
// not: for the {time} of file name patterns. Distinct instants give distinct
// names, with no character a file system refuses; parseIsoTime reads it back
// exactly.
std::string formatCompactTime(UtcTime time);

// The most instants a range may expand to: a year at one-minute steps
// (527 040 in a leap year) fits.
constexpr int64_t kMaxRangeTimes = 1000000;

// The instants from, from + step, from + 2 step, ... up to and including `to`
// when it falls on a step. `stepMinutes` may be fractional; it is rounded to
// the nearest millisecond, and the instants are exact multiples of that from
// `from`. Refuses a step that is not a positive finite number of at least one
// millisecond, `to` before `from`, and a range of more than kMaxRangeTimes
// instants: then returns false with `error` set and `times` empty.
bool expandTimeRange(UtcTime from, UtcTime to, double stepMinutes, std::vector<UtcTime>& times,
                     std::string& error);

// A list of times as a text file holds them: one time per line as
// parseIsoTime reads it, lines ending in LF or CRLF. Blank lines (spaces and
// tabs only) and lines whose first other character is '#' are comments and
// skipped, so a list can be annotated and spaced out. The times are kept in
// the order given, repeats included. At most kMaxRangeTimes times.
//
// On success fills `times` and returns true; otherwise sets `error` to
// "line N: reason: 'TEXT'" (the text cut to 60 characters and stripped of
// unprintable ones) for the first bad line and returns false. A text with
// no time at all is refused ("no time in the list").
bool parseTimeList(const std::string& text, std::vector<UtcTime>& times, std::string& error);
