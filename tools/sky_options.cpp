#include "tools/sky_options.h"

#include <cstdio>
#include <cstdlib>

#include "core/angles.h"
#include "sky/sky_model.h"
#include "tools/options.h"

const char* const kSkyNamesAccepted =
    "uniform, overcast, clear, sharp, point, cosine, turbid, or general-1 to general-15";
const char* const kSunAccepted =
    "ELEVATION,BEARING in degrees, elevation 0 to 90 and bearing 0 to 360";

bool parseSkyName(const std::string& name, SkyDistribution& distribution, int& generalType) {
  static const struct { const char* name; SkyDistribution value; } kNames[] = {
      {"uniform", SkyDistribution::UNIFORM}, {"overcast", SkyDistribution::OVERCAST},
      {"clear", SkyDistribution::CLEAR},     {"sharp", SkyDistribution::SHARP},
      {"point", SkyDistribution::POINT},     {"cosine", SkyDistribution::COSINE},
      {"turbid", SkyDistribution::TURBID},
  };
  for (const auto& entry : kNames) {
    if (name == entry.name) {
      distribution = entry.value;
      return true;
    }
  }
  const std::string prefix = "general-";
  if (name.compare(0, prefix.size(), prefix) != 0) return false;
  std::string number = name.substr(prefix.size());
  if (number.empty() || number.size() > 2) return false;
  for (char c : number)
    if (c < '0' || c > '9') return false;
  int type = std::atoi(number.c_str());
  if (type < 1 || type > 15 || number[0] == '0') return false;
  distribution = SkyDistribution::GENERAL;
  generalType = type - 1;
  return true;
}

bool parseSun(const std::string& text, float& elevation, float& azimuth, double& elevationDegrees,
              double& bearingDegrees) {
  size_t comma = text.find(',');
  if (comma == std::string::npos) return false;
  double degrees, bearing;
  if (!parseDecimal(text.substr(0, comma), degrees)) return false;
  if (!parseDecimal(text.substr(comma + 1), bearing)) return false;
  if (degrees < 0 || degrees > 90) return false;
  if (bearing < 0 || bearing > 360) return false;
  compassToModelAngles(degrees, bearing, elevation, azimuth);
  elevationDegrees = degrees;
  bearingDegrees = bearing;
  return true;
}

bool parseSun(const std::string& text, float& elevation, float& azimuth) {
  double elevationDegrees, bearingDegrees;
  return parseSun(text, elevation, azimuth, elevationDegrees, bearingDegrees);
}

bool readSkyOptions(OptionReader& args, SkyOptions& options) {
  if (args.is("--sky")) {
    options.name = args.value(kSkyNamesAccepted);
    if (!parseSkyName(options.name, options.distribution, options.generalType))
      args.refuse(kSkyNamesAccepted, options.name);
    return true;
  }
  if (args.is("--sun")) {
    const std::string sun = args.value(kSunAccepted);
    if (!parseSun(sun, options.sunElevation, options.sunAzimuth, options.sunElevationDegrees,
                  options.sunBearingDegrees))
      args.refuse(kSunAccepted, sun);
    options.sunGiven = true;
    return true;
  }
  return false;
}

void routeSkyDiagnostics(bool batch) {
  // Opened once for the life of the tool.
  static std::FILE* const discard = std::fopen("/dev/null", "w");
  setSkyDiagnostics(batch && discard ? discard : stderr, stderr);
}
