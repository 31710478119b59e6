// The georeference file beside a terrain, and GeoTIFF maps.
//
// Index
//   1. The georeference file
//   2. GeoTIFF maps
//   3. Multi-band GeoTIFF maps
//   4. Where on the earth
#include "terrain/georeference.h"

#include "terrain/horizons.h"
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
  root.Add("meridianConvergence", georeference.meridianConvergence);
  CPLJSONObject horizons;
  horizons.Add("earthCurvature", georeference.earthCurvature);
  if (georeference.earthCurvature) {
    horizons.Add("earthRadius", kEarthRadius);
    horizons.Add("refractionCoefficient", georeference.refraction);
  }
  root.Add("horizons", horizons);
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
  // A file from before the convergence was stored: computed as it was then.
  const CPLJSONObject convergence = root.GetObj("meridianConvergence");
  const bool isNumber = convergence.GetType() == CPLJSONObject::Type::Double ||
                        convergence.GetType() == CPLJSONObject::Type::Integer;
  georeference.meridianConvergence =
      !convergence.IsValid() ? meridianConvergenceAt(georeference, georeference.columns / 2.0, georeference.rows / 2.0)
      : isNumber             ? convergence.ToDouble(NAN)
                             : NAN;
  if (!(std::fabs(georeference.meridianConvergence) <= 180)) {
    error = fileName + ": has no meridianConvergence in degrees (-180 to 180)";
    return GeoreferenceStatus::kBad;
  }
  // A file from before curvature was recorded: its horizons are a flat earth's.
  const CPLJSONObject horizons = root.GetObj("horizons");
  georeference.earthCurvature = horizons.IsValid() && horizons.GetBool("earthCurvature", false);
  georeference.refraction = georeference.earthCurvature ? horizons.GetDouble("refractionCoefficient", NAN) : 0;
  if (!(georeference.refraction >= 0 && georeference.refraction <= 1)) {
    error = fileName + ": has no refractionCoefficient from 0 to 1 for its horizons' earth curvature";
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

// The transformation between two coordinate systems, both with longitude
// (or easting) first; null when there is none.
Transformation transformationBetween(OGRSpatialReferenceH from, OGRSpatialReferenceH to) {
  OSRSetAxisMappingStrategy(from, OAMS_TRADITIONAL_GIS_ORDER);
  OSRSetAxisMappingStrategy(to, OAMS_TRADITIONAL_GIS_ORDER);
  return Transformation(OCTNewCoordinateTransformation(from, to));
}

// Where a pixel position lies in the raster's own coordinates.
void rasterPoint(const Georeference& georeference, double column, double row, double& x, double& y) {
  const std::array<double, 6>& t = georeference.geoTransform;
  x = t[0] + column * t[1] + row * t[2];
  y = t[3] + column * t[4] + row * t[5];
}

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
    transformation = transformationBetween(source.get(), wgs84.get());
    ok = transformation != nullptr;
  }
  // The centre of the raster through the affine geotransform.
  double x, y;
  rasterPoint(georeference, georeference.columns / 2.0, georeference.rows / 2.0, x, y);
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

double meridianConvergenceAt(const Georeference& georeference, double column, double row) {
  if (georeference.coordinateSystem.empty()) return 0;
  constexpr double kDegreesPerRadian = 57.29577951308232;
  CPLPushErrorHandler(CPLQuietErrorHandler);
  SpatialReference grid(OSRNewSpatialReference(nullptr));
  double convergence = 0;
  if (grid && OSRSetFromUserInput(grid.get(), georeference.coordinateSystem.c_str()) == OGRERR_NONE &&
      OSRIsProjected(grid.get())) {
    SpatialReference geographic(OSRCloneGeogCS(grid.get()));
    const Transformation toDegrees = geographic ? transformationBetween(grid.get(), geographic.get()) : nullptr;
    const Transformation toGrid = geographic ? transformationBetween(geographic.get(), grid.get()) : nullptr;
    double x, y;
    rasterPoint(georeference, column, row, x, y);
    double lon = x, lat = y;
    if (toDegrees && toGrid && OCTTransform(toDegrees.get(), 1, &lon, &lat, nullptr)) {
      // A thousandth of a degree of latitude towards true north (south of it
      // next to the pole), seen in the grid: its grid bearing is the
      // negative of grid north's true bearing.
      const double step = lat > 89.9 ? -0.001 : 0.001;
      double stepX = lon, stepY = lat + step;
      if (OCTTransform(toGrid.get(), 1, &stepX, &stepY, nullptr))
        convergence = -std::atan2((stepX - x) * step, (stepY - y) * step) * kDegreesPerRadian;
    }
  }
  CPLPopErrorHandler();
  return std::isfinite(convergence) ? convergence : 0;
}
