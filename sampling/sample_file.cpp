// The sample point file: its text, and writing it safely.
//
// Index
//   1. The text
//   2. Writing a file so that it is complete or untouched
//   3. The window's command
#include "sampling/sample_file.h"

#include <cstdio>
#include <locale>
#include <sstream>

#include "app/app_state.h"
#include "core/angles.h"
#include "core/output_file.h"

// ---- 1. The text ------------------------------------------------------------------

namespace {

// The sky as the file names it. POINT is written "POINTT" here (and only here),
// as the programs that read these files expect.
std::string skyWord() {
  switch (appState.distribution) {
    case UNIFORM: return "UNIFORM";
    case OVERCAST: return "OVERCAST";
    case CLEAR: return "CLEAR";
    case SHARP: return "SHARP";
    case POINT: return "POINTT";
    case COSINE: return "COSINE";
    case TURBID: return "TURBID";
    case GENERAL: return "GENERAL TYPE " + std::to_string(appState.generalType + 1);
  }
  return "ERROR";
}

}  // namespace

std::string formatSamplePoints() {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  const Sequence<SamplePoint>& points = appState.samplePoints;
  text << "distribution:  " << skyWord() << '\n'
       << "sun elevation: " << displayedElevation(appState.sunElevation) << '\n'
       << "sun azimuth:   " << displayedBearing(appState.sunAzimuth) << '\n'
       << "sample points: " << points.numElements << '\n'
       << '\n'
       << "Format of sample points: azimuth,elevation,weight (weights sum to 1.0)\n"
       << '\n';
  for (int i = 0; i < points.numElements; ++i) {
    const SamplePoint& point = points.element(i);
    text << displayedBearing(point.azimuth) << ',' << displayedElevation(point.elevation) << ','
         << point.weight << '\n';
  }
  return text.str();
}

bool writeSamplePointsTo(std::ostream& out) {
  out << formatSamplePoints();
  out.flush();
  return static_cast<bool>(out);
}

// ---- 2. Writing a file so that it is complete or untouched -------------------------------

bool recordSamplePoints(const std::string& fileName) {
  OutputFile output(fileName);
  if (output.open() && output.write(formatSamplePoints()) && output.commit()) return true;
  std::fprintf(stderr, "Could not %s file \"%s\".\n", output.failedToOpen() ? "open" : "write",
               fileName.c_str());
  std::fflush(stderr);
  return false;
}

// ---- 3. The window's command ------------------------------------------------------------

std::string writeSamplePoints(const std::string& fileName) {
  if (fileName.empty()) return "No sample points were recorded.";
  if (!recordSamplePoints(fileName))
    return "Could not record the sample points in `" + fileName + "'.";
  return "Sample points are recorded in `" + fileName + "'.";
}
