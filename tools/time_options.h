// Where and when, read one way by the tools: --site LAT,LON, --time TIME,
// --times FILE and --from TIME --to TIME --step MINUTES; and the names of a
// batch's files, made from a pattern with {time} or {n}.
//
// Times are ISO 8601 with their UTC offset (core/utc_time.h): a time without
// one is refused, since it could be UTC or the local time of the site or of
// the computer. A bad value is a bad argument (status 2), and so is a bad line
// of a times file (named by its number); a times file that cannot be read is
// a failed input (status 1).
#pragma once

#include <string>
#include <vector>

#include "core/utc_time.h"
#include "sky/site_sun.h"
#include "sky/sky.h"

class OptionReader;

// What --site accepts, for messages.
extern const char* const kSiteAccepted;

// "LAT,LON" in decimal degrees (parseDecimal), WGS84, north and east
// positive, within isValidSite. Returns false for anything else.
bool parseSite(const std::string& text, GeoSite& site);

// The where-and-when options as given.
struct WhenOptions {
  bool hasSite = false;
  GeoSite site;
  bool hasTime = false;  // --time
  UtcTime time;
  std::string timesFile;  // --times; "-" is standard input
  bool hasFrom = false, hasTo = false, hasStep = false;
  UtcTime from, to;
  double stepMinutes = 0;

  // Whether the options ask for several times (--times, or --from).
  bool isBatch() const { return !timesFile.empty() || hasFrom; }
  // Whether any time is given.
  bool givesTime() const { return hasTime || isBatch(); }
};

// If the reader's current argument is one of the options above, reads its
// value into `when` (a bad value ends the tool with status 2) and returns
// true; otherwise returns false.
bool readWhenOption(OptionReader& args, WhenOptions& when);

// After all arguments: refuses (status 2) one line each: more than one way
// of giving the times, --from without --to and --step (or they without it),
// --to before --from, and --site without a time. `siteRequired`: a time also
// needs --site (a tool with no other source of the site).
void checkWhenOptions(const WhenOptions& when, bool siteRequired);

// The times asked for: the one of --time, the list of --times (read here),
// or the range. Ends the tool on failure: status 1 when the times file cannot
// be read, 2 for its bad lines or a range too long.
std::vector<UtcTime> resolveTimes(const WhenOptions& when);

// A time and site for messages: "2026-06-21T10:00:00Z at 59.9100N 10.7500E".
std::string describeTimeAndSite(UtcTime time, const GeoSite& site);

// Ends the tool with status 2 when the sky needs the sun (Sky::dependsOnTheSun)
// and the sun of the site is below the horizon at the time; `skyName` is the
// sky as the user named it.
void requireSunUp(const Sky& sky, const SiteSun& sun, UtcTime time, const GeoSite& site,
                  const std::string& skyName);

// ---- File name patterns ---------------------------------------------------------

// Whether a pattern holds {time} or {n}.
bool hasFilePlaceholder(const std::string& pattern);

// The pattern with every {time} replaced by formatCompactTime(time)
// ("20260621T1000Z") and every {n} by `position` (1-based) padded with zeros
// to the width of `count` ("007" of 365). Other text, braces included, stays.
std::string expandFilePattern(const std::string& pattern, UtcTime time, size_t position, size_t count);
