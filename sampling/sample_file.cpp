// The sample point file: its text, and writing it safely.
//
// Index
//   1. The text
//   2. Writing a file so that it is complete or untouched
//   3. The window's command
#include "sampling/sample_file.h"

#include <cstdio>
#include <cstdlib>
#include <iomanip>
#include <locale>
#include <sstream>

#include "core/angles.h"
#include "core/output_file.h"
#include "sampling/file_directions.h"

// ---- 1. The text ------------------------------------------------------------------

namespace {

// The sky as the file names it. POINT is written "POINTT" here (and only here),
// as the programs that read these files expect.
std::string skyWord(const Sky& sky) {
  switch (sky.distribution) {
    case SkyDistribution::UNIFORM: return "UNIFORM";
    case SkyDistribution::OVERCAST: return "OVERCAST";
    case SkyDistribution::CLEAR: return "CLEAR";
    case SkyDistribution::SHARP: return "SHARP";
    case SkyDistribution::POINT: return "POINTT";
    case SkyDistribution::COSINE: return "COSINE";
    case SkyDistribution::TURBID: return "TURBID";
    case SkyDistribution::GENERAL: return "GENERAL TYPE " + std::to_string(sky.generalType + 1);
  }
  return "ERROR";
}

}  // namespace

std::string formatSamplePoints(const Sky& sky, const Sequence<SamplePoint>& points, int decimals) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << "distribution:  " << skyWord(sky) << '\n'
       << "sun elevation: " << displayedElevation(sky.sunElevation()) << '\n'
       << "sun azimuth:   " << displayedBearing(sky.sunAzimuth()) << '\n'
       << "sample points: " << points.numElements << '\n'
       << '\n'
       << "Format of sample points: azimuth,elevation,weight (weights sum to 1.0)\n"
       << '\n';
  for (int i = 0; i < points.numElements; ++i) {
    const SamplePoint& point = points.element(i);
    if (decimals <= 0) {
      text << displayedBearing(point.azimuth) << ',' << displayedElevation(point.elevation) << ','
           << point.weight << '\n';
      continue;
    }
    double bearing, elevation;
    fileAngles(point, decimals, bearing, elevation);
    text << std::fixed << std::setprecision(decimals) << bearing << ',' << elevation << ','
         << std::defaultfloat << std::setprecision(6) << point.weight << '\n';
  }
  return text.str();
}

// ---- 2. Writing a file so that it is complete or untouched -------------------------------

bool recordSamplePoints(const std::string& fileName, const std::string& text) {
  OutputFile output(fileName);
  if (output.open() && output.write(text) && output.commit()) return true;
  std::fprintf(stderr, "Could not %s file \"%s\".\n", output.failedToOpen() ? "open" : "write",
               fileName.c_str());
  std::fflush(stderr);
  return false;
}

// ---- 3. The window's command ------------------------------------------------------------

std::string writeSamplePoints(const std::string& fileName, const Sky& sky,
                              const Sequence<SamplePoint>& points) {
  if (fileName.empty()) return "No sample points were recorded.";
  if (!recordSamplePoints(fileName, formatSamplePoints(sky, points)))
    return "Could not record the sample points in `" + fileName + "'.";
  return "Sample points are recorded in `" + fileName + "'.";
}
