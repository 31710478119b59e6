#include "core/utc_time.h"

#include <cmath>
#include <cstdio>

// Index
//   1. Calendar arithmetic
//   2. Reading ISO 8601
//   3. Writing ISO 8601
//   4. Time ranges
//   5. Lists of times

namespace {

constexpr int64_t kMillisecondsPerDay = 86400000;

// ---- 1. Calendar arithmetic ---------------------------------------------------
// Days from 1970-01-01 on the proleptic Gregorian calendar, after H. Hinnant,
// "chrono-Compatible Low-Level Date Algorithms" (days_from_civil and
// civil_from_days): the year is counted from 1 March so that the leap day
// ends it, and split into 400-year eras of 146 097 days.

int64_t daysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2;
  int64_t era = (year >= 0 ? year : year - 399) / 400;
  int64_t yearOfEra = year - era * 400;                                  // 0..399
  int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;  // 0..365
  int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

void civilFromDays(int64_t days, CivilTime& c) {
  days += 719468;
  int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  int64_t dayOfEra = days - era * 146097;  // 0..146096
  int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;  // 0 is March
  c.day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  c.month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  c.year = static_cast<int>(yearOfEra + era * 400 + (c.month <= 2));
}

int daysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// 0001-01-01T00:00:00Z and 10000-01-01T00:00:00Z.
const int64_t kEarliest = daysFromCivil(1, 1, 1) * kMillisecondsPerDay;
const int64_t kPastLatest = daysFromCivil(10000, 1, 1) * kMillisecondsPerDay;

// ---- 2. Reading ISO 8601 -------------------------------------------------------

// A cursor over the text that reads fixed-width digit fields.
struct Reader {
  const std::string& s;
  size_t at;
  size_t end;

  bool done() const { return at == end; }
  char peek() const { return at < end ? s[at] : '\0'; }
  bool isDigit(size_t i) const { return i < end && s[i] >= '0' && s[i] <= '9'; }
  bool accept(char c) {
    if (peek() != c) return false;
    ++at;
    return true;
  }
  // Exactly `width` digits, whatever follows.
  bool digits(int width, int& value) {
    int v = 0;
    for (int i = 0; i < width; ++i) {
      if (!isDigit(at + i)) return false;
      v = v * 10 + (s[at + i] - '0');
    }
    at += width;
    value = v;
    return true;
  }
  // Exactly `width` digits, not followed by another digit.
  bool number(int width, int& value) { return !isDigit(at + width) && digits(width, value); }
};

bool fail(std::string& error, const std::string& reason) {
  error = reason;
  return false;
}

// The date: YYYY-MM-DD or YYYYMMDD. Sets `basic` for the second form.
bool readDate(Reader& r, CivilTime& c, bool& basic, std::string& error) {
  const char* form = "not a date and time: expected YYYY-MM-DDThh:mm followed by Z or an offset";
  size_t yearDigits = 0;
  while (r.isDigit(r.at + yearDigits)) ++yearDigits;
  bool signedYear = r.peek() == '+' || r.peek() == '-';
  if (signedYear || (yearDigits > 4 && r.s[r.at + yearDigits] == '-'))
    return fail(error, "years outside 1..9999 are not accepted");
  if (!r.digits(4, c.year)) return fail(error, form);
  basic = r.isDigit(r.at);
  if (basic ? !r.digits(2, c.month) || !r.number(2, c.day)
            : !r.accept('-') || !r.number(2, c.month) || !r.accept('-') || !r.number(2, c.day))
    return fail(error, form);
  if (c.year < 1) return fail(error, "year 0 is not accepted: years run from 1 to 9999");
  if (c.month < 1 || c.month > 12) return fail(error, "month " + std::to_string(c.month) + " is not 1..12");
  if (c.day < 1 || c.day > daysInMonth(c.year, c.month))
    return fail(error, "day " + std::to_string(c.day) + " does not exist in month " + std::to_string(c.month) +
                           " of " + std::to_string(c.year));
  return true;
}

// The time of day: hh:mm[:ss[.fff]] or hhmm[ss[.fff]], after either form of
// the date.
bool readTimeOfDay(Reader& r, CivilTime& c, std::string& error) {
  const char* form = "no time of day: expected hh:mm after the date";
  if (!r.digits(2, c.hour)) return fail(error, form);
  bool extended = r.accept(':');
  if (!(extended ? r.number(2, c.minute) : r.digits(2, c.minute))) return fail(error, form);
  bool hasSeconds = extended ? r.accept(':') : r.isDigit(r.at);
  if (hasSeconds && !r.number(2, c.second)) return fail(error, "seconds need two digits");
  if (hasSeconds && (r.peek() == '.' || r.peek() == ',')) {
    ++r.at;
    int64_t fraction = 0, scale = 1;
    int count = 0;
    for (; r.isDigit(r.at); ++r.at, ++count) {
      if (count == 9) return fail(error, "more than 9 digits of fractional seconds");
      fraction = fraction * 10 + (r.s[r.at] - '0');
      scale *= 10;
    }
    if (count == 0) return fail(error, "no digits after the decimal sign of the seconds");
    // Rounded half up to milliseconds; 1000 carries into the next second.
    c.millisecond = static_cast<int>((fraction * 1000 * 2 + scale) / (2 * scale));
  }
  if (c.hour > 23) return fail(error, "hour " + std::to_string(c.hour) + " is not 0..23");
  if (c.minute > 59) return fail(error, "minute " + std::to_string(c.minute) + " is not 0..59");
  if (c.second > 59) return fail(error, "second " + std::to_string(c.second) + " is not 0..59 (leap seconds are not counted)");
  return true;
}

// The UTC offset in minutes: Z, or +-hh:mm, +-hhmm, +-hh.
bool readOffset(Reader& r, int& minutes, std::string& error) {
  if (r.done()) return fail(error, "no UTC offset: add Z for UTC or the offset, e.g. +02:00");
  if (r.accept('Z') || r.accept('z')) return true;
  int sign = r.accept('+') ? 1 : r.accept('-') ? -1 : 0;
  if (sign == 0) {
    char c = r.peek();
    bool printable = c > ' ' && c < 127;
    return fail(error, printable ? std::string("unexpected '") + c + "' after the time of day"
                                 : "unexpected character after the time of day");
  }
  int hours = 0, mins = 0;
  if (!r.digits(2, hours)) return fail(error, "the UTC offset must be +hh:mm, +hhmm or +hh");
  if (r.accept(':') ? !r.number(2, mins) : (!r.done() && !r.number(2, mins)))
    return fail(error, "the UTC offset must be +hh:mm, +hhmm or +hh");
  if (mins > 59) return fail(error, "offset minutes " + std::to_string(mins) + " are not 0..59");
  minutes = sign * (hours * 60 + mins);
  if (hours * 60 + mins > 14 * 60) return fail(error, "the UTC offset is beyond +-14:00");
  return true;
}

}  // namespace

CivilTime civilTime(UtcTime time) {
  int64_t ms = time.milliseconds;
  int64_t days = (ms >= 0 ? ms : ms - (kMillisecondsPerDay - 1)) / kMillisecondsPerDay;
  int64_t ofDay = ms - days * kMillisecondsPerDay;
  CivilTime c;
  civilFromDays(days, c);
  c.hour = static_cast<int>(ofDay / 3600000);
  c.minute = static_cast<int>(ofDay / 60000 % 60);
  c.second = static_cast<int>(ofDay / 1000 % 60);
  c.millisecond = static_cast<int>(ofDay % 1000);
  return c;
}

UtcTime utcTimeFromCivil(const CivilTime& c) {
  int64_t days = daysFromCivil(c.year, c.month, c.day);
  return {days * kMillisecondsPerDay + ((c.hour * 60 + c.minute) * 60 + c.second) * int64_t(1000) +
          c.millisecond};
}

bool parseIsoTime(const std::string& text, UtcTime& time, std::string& error) {
  size_t begin = text.find_first_not_of(" \t");
  size_t end = text.find_last_not_of(" \t");
  if (begin == std::string::npos) return fail(error, "empty time");
  Reader r{text, begin, end + 1};
  CivilTime c;
  bool basic = false;
  if (!readDate(r, c, basic, error)) return false;
  if (r.done()) return fail(error, "no time of day: expected T and hh:mm after the date");
  if (!r.accept('T') && !r.accept('t') && !r.accept(' '))
    return fail(error, "the date must be followed by T or a space and the time of day");
  int offsetMinutes = 0;
  if (!readTimeOfDay(r, c, error) || !readOffset(r, offsetMinutes, error)) return false;
  if (!r.done()) return fail(error, "unexpected text after the UTC offset");
  int64_t ms = utcTimeFromCivil(c).milliseconds - offsetMinutes * int64_t(60000);
  if (ms < kEarliest || ms >= kPastLatest) return fail(error, "the time in UTC falls outside the years 1..9999");
  time.milliseconds = ms;
  return true;
}

// ---- 3. Writing ISO 8601 -------------------------------------------------------

std::string formatIsoTime(UtcTime time) {
  CivilTime c = civilTime(time);
  char text[40];
  int n = std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", c.year, c.month, c.day, c.hour,
                        c.minute, c.second);
  if (c.millisecond != 0) n += std::snprintf(text + n, sizeof text - n, ".%03d", c.millisecond);
  std::snprintf(text + n, sizeof text - n, "Z");
  return text;
}

std::string formatCompactTime(UtcTime time) {
  CivilTime c = civilTime(time);
  char text[40];
  int n = std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d", c.year, c.month, c.day, c.hour, c.minute);
  if (c.second != 0 || c.millisecond != 0) n += std::snprintf(text + n, sizeof text - n, "%02d", c.second);
  if (c.millisecond != 0) n += std::snprintf(text + n, sizeof text - n, ".%03d", c.millisecond);
  std::snprintf(text + n, sizeof text - n, "Z");
  return text;
}

// ---- 4. Time ranges ------------------------------------------------------------

bool expandTimeRange(UtcTime from, UtcTime to, double stepMinutes, std::vector<UtcTime>& times,
                     std::string& error) {
  times.clear();
  // The upper bound keeps the product in range; no two instants lie further apart.
  if (!(stepMinutes > 0) || !(stepMinutes < 1e13)) return fail(error, "the step must be a positive number of minutes");
  int64_t step = std::llround(stepMinutes * 60000);
  if (step < 1) return fail(error, "the step is shorter than a millisecond");
  if (to < from) return fail(error, "the end of the range is before its start");
  int64_t count = (to.milliseconds - from.milliseconds) / step + 1;
  if (count > kMaxRangeTimes)
    return fail(error, "the range holds " + std::to_string(count) + " times, more than the limit of " +
                           std::to_string(kMaxRangeTimes));
  times.reserve(static_cast<size_t>(count));
  for (int64_t i = 0; i < count; ++i) times.push_back({from.milliseconds + i * step});
  return true;
}

// ---- 5. Lists of times ------------------------------------------------------------

namespace {

// A line of a list as a message quotes it: printable characters only, cut
// to 60.
std::string quotedLine(const std::string& line) {
  std::string shown;
  for (char c : line) {
    if (shown.size() == 60) return shown + "...";
    shown += (c >= 0x20 && c < 0x7f) ? c : '?';
  }
  return shown;
}

}  // namespace

bool parseTimeList(const std::string& text, std::vector<UtcTime>& times, std::string& error) {
  std::vector<UtcTime> list;
  size_t begin = 0;
  for (int64_t lineNumber = 1; begin < text.size(); ++lineNumber) {
    size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(begin, end - begin);
    begin = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    UtcTime time;
    std::string reason;
    if (!parseIsoTime(line, time, reason)) {
      error = "line " + std::to_string(lineNumber) + ": " + reason + ": '" + quotedLine(line) + "'";
      return false;
    }
    if (int64_t(list.size()) == kMaxRangeTimes) {
      error = "line " + std::to_string(lineNumber) + ": more than " + std::to_string(kMaxRangeTimes) +
              " times in the list";
      return false;
    }
    list.push_back(time);
  }
  if (list.empty()) {
    error = "no time in the list";
    return false;
  }
  times = std::move(list);
  return true;
}
