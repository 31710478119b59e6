#include "tools/time_options.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "tools/options.h"

const char* const kSiteAccepted =
    "LAT,LON in degrees, latitude -90 to 90 and longitude -180 to 180, east positive";

namespace {

const char* const kTimeAccepted = "an ISO 8601 date and time with its UTC offset, e.g. 2026-06-21T10:00+02:00";

// A times file holds at most kMaxRangeTimes lines of a few dozen characters.
constexpr size_t kMostTimesFileBytes = 64u << 20;

UtcTime readTimeValue(OptionReader& args) {
  const std::string text = args.value(kTimeAccepted);
  UtcTime time;
  std::string reason;
  if (!parseIsoTime(text, time, reason)) args.refuse(std::string(kTimeAccepted) + " (" + reason + ")", text);
  return time;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The whole times file, or the end of the tool.
std::string readTimesFile(const std::string& name) {
  const bool standardInput = name == "-";
  std::unique_ptr<std::FILE, FileCloser> opened(standardInput ? nullptr : std::fopen(name.c_str(), "rb"));
  std::FILE* file = standardInput ? stdin : opened.get();
  const std::string shownName = standardInput ? "standard input" : name;
  if (!file) failInputOutput("cannot open " + shownName + ": " + std::strerror(errno));
  std::string text;
  char buffer[65536];
  for (;;) {
    const size_t got = std::fread(buffer, 1, sizeof buffer, file);
    text.append(buffer, got);
    if (text.size() > kMostTimesFileBytes)
      failArgument(shownName + ": more than " + std::to_string(kMostTimesFileBytes >> 20) +
                   " MiB; a list of times is a text file of one time per line");
    if (got < sizeof buffer) break;
  }
  if (std::ferror(file)) failInputOutput("cannot read " + shownName + ": " + std::strerror(errno));
  return text;
}

}  // namespace

bool parseSite(const std::string& text, GeoSite& site) {
  std::vector<double> values;
  if (!parseDecimalList(text, 2, values)) return false;
  const GeoSite parsed{values[0], values[1]};
  if (!isValidSite(parsed)) return false;
  site = parsed;
  return true;
}

bool readWhenOption(OptionReader& args, WhenOptions& when) {
  if (args.is("--site")) {
    const std::string text = args.value(kSiteAccepted);
    if (!parseSite(text, when.site)) args.refuse(kSiteAccepted, text);
    when.hasSite = true;
  } else if (args.is("--time")) {
    when.time = readTimeValue(args);
    when.hasTime = true;
  } else if (args.is("--from")) {
    when.from = readTimeValue(args);
    when.hasFrom = true;
  } else if (args.is("--to")) {
    when.to = readTimeValue(args);
    when.hasTo = true;
  } else if (args.is("--step")) {
    const char* what = "the minutes between times, a number above 0";
    const std::string text = args.value(what);
    if (!parseDecimal(text, when.stepMinutes) || !(when.stepMinutes > 0)) args.refuse(what, text);
    when.hasStep = true;
  } else if (args.is("--times")) {
    const char* what = "a file of ISO 8601 times, one a line, or - for standard input";
    when.timesFile = args.value(what);
    if (when.timesFile.empty()) args.refuse(what, when.timesFile);
  } else {
    return false;
  }
  return true;
}

void checkWhenOptions(const WhenOptions& when, bool siteRequired) {
  const int ways = int(when.hasTime) + int(!when.timesFile.empty()) + int(when.hasFrom || when.hasTo || when.hasStep);
  if (ways > 1) failArgument("give the times one way: --time TIME, --times FILE, or --from TIME --to TIME --step MINUTES");
  if ((when.hasFrom || when.hasTo || when.hasStep) && !(when.hasFrom && when.hasTo && when.hasStep))
    failArgument("a range of times needs all three of --from TIME --to TIME --step MINUTES");
  if (when.hasFrom && when.to < when.from)
    failArgument("--to " + formatIsoTime(when.to) + " is before --from " + formatIsoTime(when.from));
  if (when.hasSite && !when.givesTime())
    failArgument("--site needs a time: --time TIME, --times FILE, or --from TIME --to TIME --step MINUTES");
  if (siteRequired && when.givesTime() && !when.hasSite)
    failArgument("the sun's place at a time depends on where: give --site LAT,LON");
}

std::vector<UtcTime> resolveTimes(const WhenOptions& when) {
  std::vector<UtcTime> times;
  std::string error;
  if (when.hasTime) {
    times.push_back(when.time);
  } else if (!when.timesFile.empty()) {
    const std::string text = readTimesFile(when.timesFile);
    if (!parseTimeList(text, times, error))
      failArgument((when.timesFile == "-" ? std::string("standard input") : when.timesFile) + " " + error);
  } else if (when.hasFrom) {
    if (!expandTimeRange(when.from, when.to, when.stepMinutes, times, error))
      failArgument("--from " + formatIsoTime(when.from) + " --to " + formatIsoTime(when.to) + ": " + error);
  }
  return times;
}

std::string describeTimeAndSite(UtcTime time, const GeoSite& site) {
  return formatIsoTime(time) + " at " + formatSite(site);
}

void requireSunUp(const Sky& sky, const SiteSun& sun, UtcTime time, const GeoSite& site,
                  const std::string& skyName) {
  if (!sky.dependsOnTheSun() || sun.isUp()) return;
  char elevation[32];
  std::snprintf(elevation, sizeof elevation, "%.1f", sun.elevationDegrees);
  failArgument("the sun is below the horizon at " + describeTimeAndSite(time, site) + " (" + elevation +
               "\u00b0); the " + skyName + " sky needs it up (uniform, overcast and cosine skies do not)");
}

bool hasFilePlaceholder(const std::string& pattern) {
  return pattern.find("{time}") != std::string::npos || pattern.find("{n}") != std::string::npos;
}

std::string expandFilePattern(const std::string& pattern, UtcTime time, size_t position, size_t count) {
  const std::string width = std::to_string(count);
  std::string number = std::to_string(position);
  if (number.size() < width.size()) number.insert(0, width.size() - number.size(), '0');
  std::string name;
  for (size_t at = 0; at < pattern.size();) {
    if (pattern.compare(at, 6, "{time}") == 0) {
      name += formatCompactTime(time);
      at += 6;
    } else if (pattern.compare(at, 3, "{n}") == 0) {
      name += number;
      at += 3;
    } else {
      name += pattern[at++];
    }
  }
  return name;
}
