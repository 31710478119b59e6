// The georeference file beside a terrain, and GeoTIFF maps.
//
// Index
//   1. The georeference file
//   2. GeoTIFF maps
#include "terrain/georeference.h"

#include "terrain/terrain_file.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <cpl_error.h>
#include <cpl_json.h>
#include <cpl_string.h>
#include <cpl_vsi.h>
#include <gdal.h>

// ---- 1. The georeference file ---------------------------------------------------------

bool writeGeoreference(OutputFile& output, const Georeference& georeference) {
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
  return output.open() && output.write(document.SaveAsString() + "\n");
}

GeoreferenceStatus readGeoreference(const std::string& terrainFile, int gridSizeX, int gridSizeY,
                                    Georeference& georeference, std::string& error) {
  const std::string fileName = georeferenceFileName(terrainFile);
  VSIStatBufL status;
  if (VSIStatL(fileName.c_str(), &status) != 0) return GeoreferenceStatus::kNone;
  if (!VSI_ISREG(status.st_mode)) {  // a FIFO could block, a device never end
    error = fileName + ": not a georeference file (not a regular file)";
    return GeoreferenceStatus::kBad;
  }
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

// ---- 2. GeoTIFF maps ----------------------------------------------------------------------

namespace {

// Copies a GDAL file held in memory into `output` and removes it.
bool copyFromMemory(const std::string& name, OutputFile& output) {
  vsi_l_offset length = 0;
  GByte* bytes = VSIGetMemFileBuffer(name.c_str(), &length, FALSE);
  const bool ok = bytes && output.write(bytes, size_t(length));
  VSIUnlink(name.c_str());
  return ok;
}

}  // namespace

bool writeGeoTiff(OutputFile& output, const float* grid, int gridSizeX, int gridSizeY,
                  const Georeference* georeference) {
  if (!output.open()) return false;
  GDALAllRegister();
  GDALDriverH driver = GDALGetDriverByName("GTiff");
  if (!driver) return output.fail("GDAL has no GeoTIFF driver");
  const int width = gridSizeX, height = gridSizeY;
  std::vector<float> raster = northUpRaster(grid, gridSizeX, gridSizeY);

  // GDAL writes a file by name and seeks in it: the temporary file, or for
  // a device or a FIFO an image in memory that is then copied.
  const std::string name =
      output.inPlace() ? "/vsimem/halvane-map-" + std::to_string(reinterpret_cast<uintptr_t>(&output)) + ".tif"
                       : output.temporaryName();
  CPLPushErrorHandler(CPLQuietErrorHandler);
  CPLErrorReset();
  const char* options[] = {"COMPRESS=DEFLATE", "PREDICTOR=3", nullptr};
  GDALDatasetH dataset = GDALCreate(driver, name.c_str(), width, height, 1, GDT_Float32,
                                    const_cast<char**>(options));
  bool ok = dataset != nullptr;
  if (ok && georeference) {
    std::array<double, 6> gt = georeference->geoTransform;
    ok = GDALSetGeoTransform(dataset, gt.data()) == CE_None;
    if (ok && !georeference->coordinateSystem.empty())
      ok = GDALSetProjection(dataset, georeference->coordinateSystem.c_str()) == CE_None;
  }
  if (ok)
    ok = GDALRasterIO(GDALGetRasterBand(dataset, 1), GF_Write, 0, 0, width, height, raster.data(), width,
                      height, GDT_Float32, 0, 0) == CE_None;
  if (dataset) {
    GDALFlushCache(dataset);
    ok = CPLGetLastErrorType() != CE_Failure && ok;
    GDALClose(dataset);
    ok = CPLGetLastErrorType() != CE_Failure && ok;
  }
  std::string gdalMessage = CPLGetLastErrorMsg();
  CPLPopErrorHandler();
  if (!ok) {
    if (output.inPlace()) VSIUnlink(name.c_str());
    return output.fail(gdalMessage.empty() ? "GDAL cannot write the GeoTIFF" : gdalMessage);
  }
  return !output.inPlace() || copyFromMemory(name, output);
}
