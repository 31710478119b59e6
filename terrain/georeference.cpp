// The georeference file beside a terrain, and GeoTIFF maps.
//
// Index
//   1. The georeference file
//   2. GeoTIFF maps
//   3. Multi-band GeoTIFF maps
//   4. Where on the earth
#include "terrain/georeference.h"

#include "terrain/terrain_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <type_traits>
#include <vector>

#include <cpl_error.h>
#include <cpl_json.h>
#include <cpl_string.h>
#include <cpl_vsi.h>
#include <gdal.h>
#include <ogr_srs_api.h>

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
  GeoTiffBands content;
  content.gridSizeX = gridSizeX;
  content.gridSizeY = gridSizeY;
  content.bands.resize(1);
  content.values = [&](int, float* values) { std::copy(grid, grid + size_t(gridSizeX) * gridSizeY, values); };
  content.georeference = georeference;
  return writeGeoTiffBands(output, content);
}

// ---- 3. Multi-band GeoTIFF maps --------------------------------------------------------------

bool writeGeoTiffBands(OutputFile& output, const GeoTiffBands& content) {
  if (!output.open()) return false;
  GDALAllRegister();
  GDALDriverH driver = GDALGetDriverByName("GTiff");
  if (!driver) return output.fail("GDAL has no GeoTIFF driver");
  const int gridSizeX = content.gridSizeX, gridSizeY = content.gridSizeY;
  const int width = gridSizeX, height = gridSizeY, count = int(content.bands.size());
  std::vector<float> grid(size_t(width) * height);

  // GDAL writes a file by name and seeks in it: the temporary file, or for
  // a device or a FIFO an image in memory that is then copied.
  const std::string name =
      output.inPlace() ? "/vsimem/halvane-map-" + std::to_string(reinterpret_cast<uintptr_t>(&output)) + ".tif"
                       : output.temporaryName();
  CPLPushErrorHandler(CPLQuietErrorHandler);
  CPLErrorReset();
  // Band after band, as they are written; BigTIFF when the data may pass 4 GiB.
  const char* options[] = {"COMPRESS=DEFLATE", "PREDICTOR=3", "INTERLEAVE=BAND", "BIGTIFF=IF_SAFER", nullptr};
  GDALDatasetH dataset = GDALCreate(driver, name.c_str(), width, height, count, GDT_Float32,
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
    if (content.hasData)
      for (size_t cell = 0; cell < grid.size(); ++cell)
        if (!content.hasData[cell]) grid[cell] = kGeoTiffNoData;
    const std::vector<float> raster = northUpRaster(grid.data(), gridSizeX, gridSizeY);
    if (ok)
      ok = GDALRasterIO(band, GF_Write, 0, 0, width, height, const_cast<float*>(raster.data()), width, height,
                        GDT_Float32, 0, 0) == CE_None;
  }
  if (dataset) {
    GDALFlushCache(dataset);
    ok = CPLGetLastErrorType() != CE_Failure && ok;
    GDALClose(dataset);  // the last compressed strips are written here
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

// ---- 4. Where on the earth ----------------------------------------------------------------

namespace {

struct SpatialReferenceReleaser {
  void operator()(OGRSpatialReferenceH srs) const { OSRDestroySpatialReference(srs); }
};
struct TransformationReleaser {
  void operator()(OGRCoordinateTransformationH transformation) const {
    OCTDestroyCoordinateTransformation(transformation);
  }
};
using SpatialReference = std::unique_ptr<std::remove_pointer_t<OGRSpatialReferenceH>, SpatialReferenceReleaser>;
using Transformation =
    std::unique_ptr<std::remove_pointer_t<OGRCoordinateTransformationH>, TransformationReleaser>;

}  // namespace

bool georeferenceSite(const Georeference& georeference, GeoSite& site, std::string& error) {
  if (georeference.coordinateSystem.empty()) {
    error = "its georeference has no coordinate system";
    return false;
  }
  CPLPushErrorHandler(CPLQuietErrorHandler);
  SpatialReference source(OSRNewSpatialReference(nullptr));
  SpatialReference wgs84(OSRNewSpatialReference(nullptr));
  bool ok = source && wgs84 && OSRSetFromUserInput(source.get(), georeference.coordinateSystem.c_str()) == OGRERR_NONE &&
            OSRSetWellKnownGeogCS(wgs84.get(), "WGS84") == OGRERR_NONE;
  Transformation transformation;
  if (ok) {
    OSRSetAxisMappingStrategy(source.get(), OAMS_TRADITIONAL_GIS_ORDER);
    OSRSetAxisMappingStrategy(wgs84.get(), OAMS_TRADITIONAL_GIS_ORDER);
    transformation.reset(OCTNewCoordinateTransformation(source.get(), wgs84.get()));
    ok = transformation != nullptr;
  }
  // The centre of the raster through the affine geotransform.
  const std::array<double, 6>& t = georeference.geoTransform;
  const double column = georeference.columns / 2.0, row = georeference.rows / 2.0;
  double x = t[0] + column * t[1] + row * t[2];
  double y = t[3] + column * t[4] + row * t[5];
  ok = ok && OCTTransform(transformation.get(), 1, &x, &y, nullptr) != 0;
  CPLPopErrorHandler();
  const GeoSite centre{y, x};
  if (!ok || !isValidSite(centre)) {
    error = "its coordinate system cannot be turned into latitude and longitude";
    return false;
  }
  site = centre;
  return true;
}
