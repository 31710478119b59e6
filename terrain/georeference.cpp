// The georeference file beside a terrain, and GeoTIFF maps.
//
// Index
//   1. Writing a GeoTIFF completely or not at all
//   2. The georeference file
//   3. GeoTIFF maps
//   4. Multi-band GeoTIFF maps
#include "terrain/georeference.h"

#include "core/file_replacement.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <cpl_error.h>
#include <cpl_json.h>
#include <cpl_string.h>
#include <cpl_vsi.h>
#include <gdal.h>

namespace {

// ---- 1. Writing a GeoTIFF completely or not at all -----------------------------------

std::string temporaryNameFor(const std::string& fileName) {
  return fileName + ".tmp" + std::to_string(getpid());
}

bool replaceWith(const std::string& temporary, const std::string& fileName, std::string& error) {
  if (std::rename(temporary.c_str(), fileName.c_str()) != 0) {
    error = "cannot write " + fileName + ": " + std::strerror(errno);
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

// ---- 2. The georeference file ---------------------------------------------------------

bool writeGeoreference(const std::string& terrainFile, const Georeference& georeference,
                       std::string& error) {
  CPLJSONDocument document;
  CPLJSONObject root = document.GetRoot();
  root.Add("source", georeference.source);
  root.Add("columns", georeference.columns);
  root.Add("rows", georeference.rows);
  root.Add("cellSize", georeference.cellSize);
  CPLJSONArray transform;
  for (double value : georeference.geoTransform) transform.Add(value);
  root.Add("geoTransform", transform);
  root.Add("coordinateSystem", georeference.coordinateSystem);
  root.Add("orientation",
           "the terrain's first index is the raster column (east), its second index counts the "
           "raster rows from the southern edge (north); heights are in grid spacings of cellSize metres");
  const std::string fileName = georeferenceFileName(terrainFile);
  std::string text = document.SaveAsString() + "\n";
  FileReplacement output(fileName);
  if (!output.file()) {
    error = output.openError();
    return false;
  }
  return output.commit(std::fwrite(text.data(), 1, text.size(), output.file()) == text.size(), error);
}

GeoreferenceStatus readGeoreference(const std::string& terrainFile, int gridSizeX, int gridSizeY,
                                    Georeference& georeference, std::string& error) {
  const std::string fileName = georeferenceFileName(terrainFile);
  VSIStatBufL status;
  if (VSIStatL(fileName.c_str(), &status) != 0) return GeoreferenceStatus::kNone;
  CPLPushErrorHandler(CPLQuietErrorHandler);
  CPLJSONDocument document;
  bool loaded = document.Load(fileName);
  CPLPopErrorHandler();
  if (!loaded) {
    error = fileName + ": not a georeference file (cannot read its JSON)";
    return GeoreferenceStatus::kBad;
  }
  const CPLJSONObject root = document.GetRoot();
  const CPLJSONArray transform = root.GetArray("geoTransform");
  georeference.source = root.GetString("source");
  georeference.columns = root.GetInteger("columns");
  georeference.rows = root.GetInteger("rows");
  georeference.cellSize = root.GetDouble("cellSize");
  georeference.coordinateSystem = root.GetString("coordinateSystem");
  if (!transform.IsValid() || transform.Size() != 6) {
    error = fileName + ": has no geoTransform of six numbers";
    return GeoreferenceStatus::kBad;
  }
  for (int i = 0; i < 6; ++i) georeference.geoTransform[i] = transform[i].ToDouble(NAN);
  if (georeference.columns != gridSizeX || georeference.rows != gridSizeY) {
    error = fileName + ": describes " + std::to_string(georeference.columns) + " x " +
            std::to_string(georeference.rows) + " cells, but the terrain has " + std::to_string(gridSizeX) +
            " x " + std::to_string(gridSizeY);
    return GeoreferenceStatus::kBad;
  }
  return GeoreferenceStatus::kRead;
}

// ---- 3. GeoTIFF maps ----------------------------------------------------------------------

bool writeGeoTiff(const std::string& fileName, const float* grid, int gridSizeX, int gridSizeY,
                  const Georeference* georeference, std::string& error) {
  GeoTiffBands content;
  content.gridSizeX = gridSizeX;
  content.gridSizeY = gridSizeY;
  content.bands.resize(1);
  content.values = [&](int, float* values) { std::copy(grid, grid + size_t(gridSizeX) * gridSizeY, values); };
  content.georeference = georeference;
  return writeGeoTiffBands(fileName, content, error);
}

// ---- 4. Multi-band GeoTIFF maps --------------------------------------------------------------

bool writeGeoTiffBands(const std::string& fileName, const GeoTiffBands& content, std::string& error) {
  GDALAllRegister();
  GDALDriverH driver = GDALGetDriverByName("GTiff");
  if (!driver) {
    error = "cannot write " + fileName + ": GDAL has no GeoTIFF driver";
    return false;
  }
  const int gridSizeX = content.gridSizeX, gridSizeY = content.gridSizeY;
  const int width = gridSizeX, height = gridSizeY, count = int(content.bands.size());
  std::vector<float> grid(size_t(width) * height), raster(grid.size());

  const std::string temporary = temporaryNameFor(fileName);
  CPLPushErrorHandler(CPLQuietErrorHandler);
  CPLErrorReset();
  // Band after band, as they are written; BigTIFF when the data may pass 4 GiB.
  const char* options[] = {"COMPRESS=DEFLATE", "PREDICTOR=3", "INTERLEAVE=BAND", "BIGTIFF=IF_SAFER", nullptr};
  GDALDatasetH dataset = GDALCreate(driver, temporary.c_str(), width, height, count, GDT_Float32,
                                    const_cast<char**>(options));
  bool ok = dataset != nullptr;
  if (ok && content.georeference) {
    std::array<double, 6> gt = content.georeference->geoTransform;
    ok = GDALSetGeoTransform(dataset, gt.data()) == CE_None;
    if (ok && !content.georeference->coordinateSystem.empty())
      ok = GDALSetProjection(dataset, content.georeference->coordinateSystem.c_str()) == CE_None;
  }
  for (const auto& [key, value] : content.metadata)
    if (ok) ok = GDALSetMetadataItem(dataset, key.c_str(), value.c_str(), nullptr) == CE_None;
  for (int k = 0; ok && k < count; ++k) {
    const GeoTiffBand& description = content.bands[k];
    GDALRasterBandH band = GDALGetRasterBand(dataset, k + 1);
    GDALSetDescription(band, description.description.c_str());
    if (!description.unit.empty()) GDALSetRasterUnitType(band, description.unit.c_str());
    for (const auto& [key, value] : description.metadata)
      GDALSetMetadataItem(band, key.c_str(), value.c_str(), nullptr);
    ok = GDALSetRasterNoDataValue(band, kGeoTiffNoData) == CE_None;
    content.values(k, grid.data());
    // North up: raster column i is grid row i, raster row r is grid column gridSizeY - 1 - r.
    for (int i = 0; i < gridSizeX; ++i)
      for (int j = 0; j < gridSizeY; ++j) {
        const size_t cell = size_t(i) * gridSizeY + j;
        raster[size_t(height - 1 - j) * width + i] =
            content.hasData && !content.hasData[cell] ? kGeoTiffNoData : grid[cell];
      }
    if (ok)
      ok = GDALRasterIO(band, GF_Write, 0, 0, width, height, raster.data(), width, height, GDT_Float32, 0, 0) ==
           CE_None;
  }
  if (dataset) {
    GDALFlushCache(dataset);
    GDALClose(dataset);  // the last compressed strips are written here
    ok = CPLGetLastErrorType() != CE_Failure && ok;
  }
  std::string gdalMessage = CPLGetLastErrorMsg();
  CPLPopErrorHandler();
  if (!ok) {
    error = "cannot write " + fileName + (gdalMessage.empty() ? "" : ": " + gdalMessage);
    std::remove(temporary.c_str());
    return false;
  }
  return replaceWith(temporary, fileName, error);
}
