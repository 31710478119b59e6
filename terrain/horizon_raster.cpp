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

double azimuthDegrees(int j, int numDirections) { return directionAzimuth(j, numDirections) * kDegreesPerRadian; }

}  // namespace

double directionBearing(int j, int numDirections) {
  double bearing = 90 - azimuthDegrees(j, numDirections);
  return bearing < 0 ? bearing + 360 : bearing;
}

float horizonDegrees(uint16_t value) { return float(std::asin(value / 32768.0 - 1) * kDegreesPerRadian); }

bool writeHorizonGeoTiff(const std::string& fileName, const uint16_t* horizons, int numDirections,
                         int gridSizeX, int gridSizeY, const Georeference* georeference,
                         const unsigned char* hasData, std::string& error) {
  const size_t cells = size_t(gridSizeX) * size_t(gridSizeY);
  GeoTiffBands content;
  content.gridSizeX = gridSizeX;
  content.gridSizeY = gridSizeY;
  content.georeference = georeference;
  content.hasData = hasData;
  content.metadata = {
      {"HORIZON_DIRECTIONS", std::to_string(numDirections)},
      {"HORIZON_DEFINITION",
       "elevation angle in degrees of the horizon seen from the cell's surface towards the band's bearing "
       "(degrees clockwise from north), up to the edge of the grid; 0 where no terrain lies that way"}};
  for (int j = 0; j < numDirections; ++j) {
    const std::string bearing = degreesText(directionBearing(j, numDirections));
    content.bands.push_back({"bearing " + bearing, "degree",
                             {{"BEARING", bearing}, {"AZIMUTH_CCW_FROM_EAST", degreesText(azimuthDegrees(j, numDirections))}}});
  }
  std::vector<float> degrees(65536);
  for (int v = 0; v < 65536; ++v) degrees[v] = horizonDegrees(uint16_t(v));
  content.values = [&](int k, float* grid) {
    const uint16_t* block = horizons + cells * size_t(k);
    for (size_t i = 0; i < cells; ++i) grid[i] = degrees[block[i]];
  };
  return writeGeoTiffBands(fileName, content, error);
}
