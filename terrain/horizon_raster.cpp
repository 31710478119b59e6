#include "terrain/horizon_raster.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "terrain/horizons.h"

namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;

// An angle in degrees as text, to a thousandth of a degree without trailing
// zeros: the centre azimuths (j + 0.5) * 6.28318 / n of the terrain file
// differ from (j + 0.5) * 360 / n degrees by less than that.
std::string degreesText(double degrees) {
  std::array<char, 32> text;
  std::snprintf(text.data(), text.size(), "%.3f", degrees);
  std::string trimmed = text.data();
  trimmed.erase(trimmed.find_last_not_of('0') + 1);
  if (trimmed.back() == '.') trimmed.pop_back();
  return trimmed == "-0" || trimmed == "360" ? "0" : trimmed;
}

// How the horizons take the earth's curvature, for the dataset's metadata.
std::string earthCurvatureText(const Georeference* georeference) {
  if (!georeference || !georeference->earthCurvature) return "none: the horizons of a flat earth";
  std::array<char, 160> text;
  std::snprintf(text.data(), text.size(),
                "distant terrain lowered by (1 - k) d^2 / (2 R): earth radius R %.1f m, refraction coefficient k %g",
                kEarthRadius, georeference->refraction);
  return text.data();
}

}  // namespace

double directionBearing(int j, int numDirections) {
  double bearing = 90 - directionAzimuth(j, numDirections) * kDegreesPerRadian;
  return bearing < 0 ? bearing + 360 : bearing;
}

float horizonDegrees(uint16_t value) { return float(std::asin(value / 32768.0 - 1) * kDegreesPerRadian); }

bool writeHorizonGeoTiff(OutputFile& output, const uint16_t* horizons, int numDirections,
                         int gridSizeX, int gridSizeY, const Georeference* georeference,
                         const unsigned char* hasData) {
  const size_t cells = size_t(gridSizeX) * size_t(gridSizeY);
  GeoTiffBands content;
  content.gridSizeX = gridSizeX;
  content.gridSizeY = gridSizeY;
  content.georeference = georeference;
  content.hasData = hasData;
  const double convergence = georeference ? georeference->meridianConvergence : 0;
  content.metadata = {
      {"HORIZON_DIRECTIONS", std::to_string(numDirections)},
      {"HORIZON_DEFINITION",
       "elevation angle in degrees of the horizon seen from the cell's surface towards the band's bearing "
       "(degrees clockwise from true north), up to the edge of the grid; 0 where no terrain lies that way"},
      {"MERIDIAN_CONVERGENCE", degreesText(convergence)},
      {"EARTH_CURVATURE", earthCurvatureText(georeference)}};
  for (int j = 0; j < numDirections; ++j) {
    const double grid = directionBearing(j, numDirections);
    const double bearing = std::fmod(grid + convergence + 360, 360.0);
    const double azimuth = std::fmod(450 - bearing, 360.0);
    const std::string text = degreesText(bearing);
    content.bands.push_back({"bearing " + text, "degree",
                             {{"BEARING", text},
                              {"AZIMUTH_CCW_FROM_EAST", degreesText(azimuth)},
                              {"GRID_BEARING", degreesText(grid)}}});
  }
  std::vector<float> degrees(65536);
  for (int v = 0; v < 65536; ++v) degrees[v] = horizonDegrees(uint16_t(v));
  content.values = [&](int k, float* grid) {
    const uint16_t* block = horizons + cells * size_t(k);
    for (size_t i = 0; i < cells; ++i) grid[i] = degrees[block[i]];
  };
  return writeGeoTiffBands(output, content);
}
