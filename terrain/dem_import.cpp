// Terrains from digital elevation models, read through GDAL.
//
// Index
//   1. GDAL handles and messages
//   2. Opening the raster and choosing the area
//   3. The target grid: coordinate system, cell size, extent
//   4. Warping or resampling into memory
//   5. No-data holes
//   6. Heights in grid spacings, turned north up
//   7. importDem
#include "terrain/dem_import.h"

#include "terrain/georeference.h"
#include "terrain/terrain_file.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <memory>
#include <mutex>

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <cpl_vsi.h>
#include <gdal.h>
#include <gdal_alg.h>
#include <gdal_utils.h>
#include <ogr_srs_api.h>

namespace {

// ---- 1. GDAL handles and messages ---------------------------------------------

struct DatasetCloser {
  void operator()(void* dataset) const { GDALClose(dataset); }
};
using Dataset = std::unique_ptr<void, DatasetCloser>;

struct SpatialRefReleaser {
  void operator()(void* srs) const { OSRDestroySpatialReference(srs); }
};
using SpatialRef = std::unique_ptr<void, SpatialRefReleaser>;

// GDAL's own messages are held back while a DEM is read: each failure is
// told in one line of ours.
class QuietGdal {
 public:
  QuietGdal() { CPLPushErrorHandler(CPLQuietErrorHandler); }
  ~QuietGdal() { CPLPopErrorHandler(); }
};

void registerDrivers() {
  static std::once_flag once;
  std::call_once(once, [] { GDALAllRegister(); });
}

std::string format(const char* pattern, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, pattern);
  std::vsnprintf(buffer, sizeof buffer, pattern, args);
  va_end(args);
  return buffer;
}

// Runs a GDAL utility (gdal_translate or gdalwarp) given its command-line
// options, into a dataset with no file name (a VRT or MEM dataset).
Dataset translate(GDALDatasetH source, const std::vector<std::string>& arguments) {
  CPLStringList list;
  for (const std::string& argument : arguments) list.AddString(argument.c_str());
  GDALTranslateOptions* options = GDALTranslateOptionsNew(list.List(), nullptr);
  Dataset result(GDALTranslate("", source, options, nullptr));
  GDALTranslateOptionsFree(options);
  return result;
}

Dataset warp(GDALDatasetH source, const std::vector<std::string>& arguments) {
  CPLStringList list;
  for (const std::string& argument : arguments) list.AddString(argument.c_str());
  GDALWarpAppOptions* options = GDALWarpAppOptionsNew(list.List(), nullptr);
  Dataset result(GDALWarp("", nullptr, 1, &source, options, nullptr));
  GDALWarpAppOptionsFree(options);
  return result;
}

std::string number(double value) { return format("%.17g", value); }

// ---- 2. Opening the raster and choosing the area ----------------------------------

struct Window {
  long long xoff = 0, yoff = 0, xsize = 0, ysize = 0;
};

Dataset openRaster(const std::string& name, std::string& error) {
  VSIStatBufL status;
  if (VSIStatL(name.c_str(), &status) != 0) {
    error = name + ": no such file";
    return nullptr;
  }
  if (VSI_ISDIR(status.st_mode)) {
    error = name + ": is a folder, not a raster";
    return nullptr;
  }
  Dataset dataset(GDALOpenEx(name.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr));
  if (!dataset) {
    error = name + ": not a raster that GDAL can read";
    return nullptr;
  }
  if (GDALGetRasterCount(dataset.get()) < 1) {
    error = name + ": has no raster band";
    return nullptr;
  }
  return dataset;
}

// The pixel window of the request: the given one, the one that covers the
// bounds (clipped to the raster), or the whole raster.
bool chooseWindow(GDALDatasetH dataset, const DemRequest& request, const double* gt, Window& window,
                  std::string& error) {
  const long long width = GDALGetRasterXSize(dataset), height = GDALGetRasterYSize(dataset);
  const std::string& name = request.fileName;
  if (request.hasWindow) {
    const std::array<long long, 4>& w = request.window;
    // Compared without sums, which could overflow.
    if (w[0] < 0 || w[1] < 0 || w[2] < 1 || w[3] < 1 || w[0] > width || w[1] > height || w[2] > width - w[0] ||
        w[3] > height - w[1]) {
      error = format("%s: window %lld,%lld,%lld,%lld lies outside the raster of %lld x %lld pixels",
                     name.c_str(), w[0], w[1], w[2], w[3], width, height);
      return false;
    }
    window = {w[0], w[1], w[2], w[3]};
    return true;
  }
  if (request.hasBounds) {
    double inverse[6];
    if (!GDALInvGeoTransform(const_cast<double*>(gt), inverse)) {
      error = name + ": has no usable cell size";
      return false;
    }
    const std::array<double, 4>& b = request.bounds;
    double minCol = HUGE_VAL, maxCol = -HUGE_VAL, minRow = HUGE_VAL, maxRow = -HUGE_VAL;
    for (double x : {b[0], b[2]})
      for (double y : {b[1], b[3]}) {
        double col = inverse[0] + x * inverse[1] + y * inverse[2];
        double row = inverse[3] + x * inverse[4] + y * inverse[5];
        minCol = std::min(minCol, col), maxCol = std::max(maxCol, col);
        minRow = std::min(minRow, row), maxRow = std::max(maxRow, row);
      }
    // Pixels that the bounds cover at least partly, within the raster: held
    // to it before they become integers, however far the bounds reach.
    auto within = [](double value, long long limit) {
      return (long long)std::min(std::max(value, 0.0), double(limit));
    };
    long long x0 = within(std::floor(minCol + 1e-9), width), y0 = within(std::floor(minRow + 1e-9), height);
    long long x1 = within(std::ceil(maxCol - 1e-9), width), y1 = within(std::ceil(maxRow - 1e-9), height);
    if (x1 <= x0 || y1 <= y0) {
      error = format("%s: bounds %.15g,%.15g,%.15g,%.15g lie outside the raster, which covers "
                     "%.15g,%.15g,%.15g,%.15g",
                     name.c_str(), b[0], b[1], b[2], b[3], std::min(gt[0], gt[0] + width * gt[1]),
                     std::min(gt[3], gt[3] + height * gt[5]), std::max(gt[0], gt[0] + width * gt[1]),
                     std::max(gt[3], gt[3] + height * gt[5]));
      return false;
    }
    window = {x0, y0, x1 - x0, y1 - y0};
    return true;
  }
  window = {0, 0, width, height};
  return true;
}

// A window much larger than the grid asked for is thinned out first: read
// at kThinnedCellsPerCell source cells per grid cell along each side, by
// GDAL's overviews when the raster has them, else by a decimated
// (nearest-neighbour) read, before the average is taken. GDAL then never
// visits every cell of a huge raster, nor even reads a huge declared one.
constexpr int kThinnedCellsPerCell = 16;

// The thinned dataset reads from `windowed`, which must stay open while it is
// used; null when no thinning is needed.
template <typename Tell>
Dataset thinOut(GDALDatasetH windowed, const Window& window, int maxSize, const Tell& tell) {
  const double longest = double(std::max(window.xsize, window.ysize));
  const double limit = double(kThinnedCellsPerCell) * maxSize;
  if (maxSize <= 0 || longest <= limit) return nullptr;
  const long long width = std::max(1LL, std::llround(double(window.xsize) * limit / longest));
  const long long height = std::max(1LL, std::llround(double(window.ysize) * limit / longest));
  tell(format("thinned out to %lld x %lld cells before averaging", width, height));
  return translate(windowed, {"-of", "VRT", "-r", "nearest", "-outsize", std::to_string(width),
                                    std::to_string(height)});
}

// Whether the raster's corners could be places on earth: longitudes within
// two turns and latitudes within the poles (and a little), or projected
// coordinates within a million kilometres. GDAL's reprojection can take
// without end over coordinates far beyond.
bool liesOnEarth(const double* gt, int width, int height, bool geographic, double metresPerUnit) {
  for (double col : {0.0, double(width)})
    for (double row : {0.0, double(height)}) {
      const double x = gt[0] + col * gt[1] + row * gt[2], y = gt[3] + col * gt[4] + row * gt[5];
      const bool on = geographic ? std::fabs(x) <= 720 && std::fabs(y) <= 91
                                 : std::fabs(x * metresPerUnit) <= 1e9 && std::fabs(y * metresPerUnit) <= 1e9;
      if (!on) return false;
    }
  return true;
}

// ---- 3. The target grid: coordinate system, cell size, extent -----------------------

struct TargetGrid {
  SpatialRef srs;        // null: the source has no coordinate system
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  double resolution = 0;  // in the target's units
  double metresPerUnit = 1;
  int width = 0, height = 0;
  const char* method = "near";
  std::string what;  // what was done, for the report
};

// The longitude and latitude of a point of the source.
bool toLongitudeLatitude(OGRSpatialReferenceH source, double x, double y, double& lon, double& lat) {
  SpatialRef wgs84(OSRNewSpatialReference(nullptr));
  OSRSetWellKnownGeogCS(wgs84.get(), "WGS84");
  OSRSetAxisMappingStrategy(wgs84.get(), OAMS_TRADITIONAL_GIS_ORDER);
  OGRCoordinateTransformationH transform = OCTNewCoordinateTransformation(source, wgs84.get());
  if (!transform) return false;
  bool ok = OCTTransform(transform, 1, &x, &y, nullptr) != 0;
  OCTDestroyCoordinateTransformation(transform);
  lon = x, lat = y;
  return ok;
}

// The UTM zone of (lon, lat), on the source's own datum.
SpatialRef utmFor(OGRSpatialReferenceH source, double lon, double lat) {
  int zone = int(std::floor((lon + 180) / 6)) + 1;
  zone = std::min(std::max(zone, 1), 60);
  SpatialRef utm(OSRNewSpatialReference(nullptr));
  const char* geogCode = OSRGetAuthorityCode(source, "GEOGCS");
  const char* geogAuthority = OSRGetAuthorityName(source, "GEOGCS");
  if (geogCode && geogAuthority && std::string(geogAuthority) == "EPSG" && std::string(geogCode) == "4326") {
    OSRImportFromEPSG(utm.get(), (lat >= 0 ? 32600 : 32700) + zone);
  } else {
    OSRCopyGeogCSFrom(utm.get(), source);
    OSRSetProjCS(utm.get(), format("UTM zone %d%s", zone, lat >= 0 ? "N" : "S").c_str());
    OSRSetUTM(utm.get(), zone, lat >= 0);
  }
  OSRSetAxisMappingStrategy(utm.get(), OAMS_TRADITIONAL_GIS_ORDER);
  return utm;
}

std::string wktOf(OGRSpatialReferenceH srs) {
  if (!srs) return "";
  char* text = nullptr;
  OSRExportToWkt(srs, &text);
  std::string wkt = text ? text : "";
  CPLFree(text);
  return wkt;
}

// Fits the target's extent to whole square cells (centred on the area) and
// coarsens them when a side would exceed maxSize. More cells than maxCells
// (counted before they become integers) are refused.
bool fitCells(TargetGrid& target, const DemRequest& request, double naturalResolution, std::string& error) {
  const double spanX = target.maxX - target.minX, spanY = target.maxY - target.minY;
  double resolution = naturalResolution;
  if (request.maxSize > 0 && std::max(spanX, spanY) / resolution > request.maxSize + 1e-6)
    resolution = std::max(spanX, spanY) / request.maxSize;
  const double width = std::max(1.0, std::round(spanX / resolution));
  const double height = std::max(1.0, std::round(spanY / resolution));
  if (!(width * height <= double(request.maxCells))) {
    error = format("%s: %.0f x %.0f cells are too many to hold in memory (at most %lld); reduce them with "
                   "--max-size N or a smaller --window or --bounds", request.fileName.c_str(), width, height,
                   request.maxCells);
    return false;
  }
  target.width = int(width);
  target.height = int(height);
  target.resolution = resolution;
  const double centreX = (target.minX + target.maxX) / 2, centreY = (target.minY + target.maxY) / 2;
  target.minX = centreX - target.width * resolution / 2;
  target.maxX = centreX + target.width * resolution / 2;
  target.minY = centreY - target.height * resolution / 2;
  target.maxY = centreY + target.height * resolution / 2;
  return true;
}

bool chooseTarget(GDALDatasetH windowed, OGRSpatialReferenceH sourceSrs, const DemRequest& request,
                  TargetGrid& target, std::string& error) {
  double gt[6];
  GDALGetGeoTransform(windowed, gt);
  const int width = GDALGetRasterXSize(windowed), height = GDALGetRasterYSize(windowed);
  const bool geographic = sourceSrs && OSRIsGeographic(sourceSrs);
  const double unit = sourceSrs && !geographic ? OSRGetLinearUnits(sourceSrs, nullptr) : 1.0;
  const bool northUp = gt[2] == 0 && gt[4] == 0 && gt[1] > 0 && gt[5] < 0;
  const bool square = std::fabs(gt[1] + gt[5]) <= 1e-9 * gt[1];

  if (!geographic && northUp && square) {
    // Already square metric cells: the same grid, unless it must shrink.
    if (sourceSrs) target.srs.reset(OSRClone(sourceSrs));
    target.minX = gt[0], target.maxX = gt[0] + width * gt[1];
    target.maxY = gt[3], target.minY = gt[3] + height * gt[5];
    target.metresPerUnit = unit;
    if (!fitCells(target, request, gt[1], error)) return false;
    if (target.resolution > gt[1] * (1 + 1e-9)) {
      target.method = "average";
      target.what = format("reduced to cells of %.6g m (average)", target.resolution * unit);
    }
    return true;
  }

  if (geographic) {
    double lon, lat;
    double cx = gt[0] + width / 2.0 * gt[1] + height / 2.0 * gt[2];
    double cy = gt[3] + width / 2.0 * gt[4] + height / 2.0 * gt[5];
    if (!toLongitudeLatitude(sourceSrs, cx, cy, lon, lat)) {
      error = request.fileName + ": cannot find the UTM zone of the area's centre";
      return false;
    }
    target.srs = utmFor(sourceSrs, lon, lat);
  } else if (sourceSrs) {
    target.srs.reset(OSRClone(sourceSrs));
    target.metresPerUnit = unit;
  }

  // GDAL's suggestion: the area's extent in the target system, with square
  // cells that keep about as many cells along the diagonal as the source.
  std::string wkt = wktOf(target.srs.get());
  char** options = nullptr;
  if (!wkt.empty()) options = CSLSetNameValue(options, "DST_SRS", wkt.c_str());
  void* transformer = GDALCreateGenImgProjTransformer2(windowed, nullptr, options);
  CSLDestroy(options);
  double suggested[6], extent[4];
  int pixels = 0, lines = 0;
  bool ok = transformer && GDALSuggestedWarpOutput2(windowed, GDALGenImgProjTransform, transformer,
                                                    suggested, &pixels, &lines, extent, 0) == CE_None;
  if (transformer) GDALDestroyGenImgProjTransformer(transformer);
  if (!ok) {
    error = request.fileName + ": cannot bring the area into a metric grid";
    return false;
  }
  target.minX = extent[0], target.minY = extent[1], target.maxX = extent[2], target.maxY = extent[3];
  if (!fitCells(target, request, suggested[1], error)) return false;
  const bool reduced = target.resolution > suggested[1] * (1 + 1e-9);
  target.method = reduced ? "average" : "bilinear";
  const double metres = target.resolution * target.metresPerUnit;
  if (geographic) {
    target.what = format("warped into %s, square cells of %.6g m (%s)",
                         OSRGetAttrValue(target.srs.get(), "PROJCS", 0), metres, target.method);
  } else {
    target.what = format("resampled to square cells of %.6g m (%s)", metres, target.method);
  }
  return true;
}

// ---- 4. Warping or resampling into memory ------------------------------------------------

// The no-data value of the grids in memory: the lowest float, far from any height.
constexpr float kNoData = -3.4028234663852886e38f;

Dataset warpIntoMemory(GDALDatasetH windowed, const TargetGrid& target) {
  std::vector<std::string> arguments = {
      "-of", "MEM", "-ot", "Float32", "-r", target.method,
      "-te", number(target.minX), number(target.minY), number(target.maxX), number(target.maxY),
      "-ts", std::to_string(target.width), std::to_string(target.height),
      "-dstnodata", number(kNoData), "-wo", "INIT_DEST=NO_DATA"};
  if (target.srs) {
    arguments.push_back("-t_srs");
    arguments.push_back(wktOf(target.srs.get()));
  }
  return warp(windowed, arguments);
}

// ---- 5. No-data holes ---------------------------------------------------------------------

// No-data cells: the no-data value, and anything that is not a finite
// number (NaN, and +-Inf, which a raster may hold without declaring it).
bool isNoData(float value) { return value == kNoData || !std::isfinite(value); }

size_t countNoData(const std::vector<float>& values) {
  size_t count = 0;
  for (float v : values) count += isNoData(v);
  return count;
}

bool readBand(GDALRasterBandH band, int width, int height, std::vector<float>& values) {
  values.resize(size_t(width) * height);
  return GDALRasterIO(band, GF_Read, 0, 0, width, height, values.data(), width, height, GDT_Float32, 0, 0) ==
         CE_None;
}

// Small holes are filled by GDAL's fill-nodata from the heights around them;
// a grid that is mostly holes, or has holes too wide to fill, is refused.
bool fillHoles(GDALDatasetH grid, std::vector<float>& values, const std::string& name,
               size_t& filled, std::string& error) {
  const int width = GDALGetRasterXSize(grid), height = GDALGetRasterYSize(grid);
  GDALRasterBandH band = GDALGetRasterBand(grid, 1);
  const size_t holes = countNoData(values);
  filled = 0;
  if (holes == 0) return true;
  if (double(holes) >= kMostlyNoData * double(values.size())) {
    error = format("%s: mostly no-data (%.0f%% of the area has no height)", name.c_str(),
                   100.0 * double(holes) / double(values.size()));
    return false;
  }
  for (float& v : values)
    if (isNoData(v)) v = kNoData;
  if (GDALRasterIO(band, GF_Write, 0, 0, width, height, values.data(), width, height, GDT_Float32, 0, 0) !=
          CE_None ||
      GDALFillNodata(band, nullptr, kFillSearchCells, 0, 0, nullptr, nullptr, nullptr) != CE_None ||
      !readBand(band, width, height, values)) {
    error = name + ": cannot fill its no-data holes";
    return false;
  }
  const size_t left = countNoData(values);
  if (left > 0) {
    error = format("%s: %zu no-data cells lie more than %d cells from any height; choose a smaller "
                   "area with --window or --bounds", name.c_str(), left, kFillSearchCells);
    return false;
  }
  filled = holes;
  return true;
}

// ---- 6. Heights in grid spacings, turned north up -----------------------------------------

// The band's scale and offset (1 and 0 when it has none); false for a scale
// that is not finite or zero, or an offset that is not finite.
bool readScaleAndOffset(GDALRasterBandH band, double& scale, double& offset) {
  int hasScale = 0, hasOffset = 0;
  scale = GDALGetRasterScale(band, &hasScale);
  offset = GDALGetRasterOffset(band, &hasOffset);
  if (!hasScale) scale = 1;
  if (!hasOffset) offset = 0;
  return std::isfinite(scale) && scale != 0 && std::isfinite(offset);
}

// Metres per unit of the band's heights: feet when the band says so, else metres.
double heightUnitInMetres(GDALRasterBandH band) {
  std::string unit = GDALGetRasterUnitType(band);
  for (char& c : unit) c = char(std::tolower((unsigned char)c));
  if (unit == "us survey foot" || unit == "ftus" || unit == "us-ft") return 1200.0 / 3937.0;
  if (unit == "ft" || unit == "foot" || unit == "feet" || unit == "international foot") return 0.3048;
  return 1;
}

}  // namespace

// ---- 7. importDem ------------------------------------------------------------------------------

bool importDem(const DemRequest& request, DemTerrain& terrain, std::string& error, std::FILE* report,
               const std::string& prefix) {
  registerDrivers();
  QuietGdal quiet;
  const std::string& name = request.fileName;
  auto tell = [&](const std::string& line) {
    if (report) std::fprintf(report, "%s%s\n", prefix.c_str(), line.c_str());
  };

  Dataset source = openRaster(name, error);
  if (!source) return false;
  double gt[6];
  if (GDALGetGeoTransform(source.get(), gt) != CE_None) {
    error = name + ": has no cell size (the raster is not georeferenced)";
    return false;
  }
  const double determinant = gt[1] * gt[5] - gt[2] * gt[4];
  if (!std::all_of(gt, gt + 6, [](double v) { return std::isfinite(v); }) || !std::isfinite(determinant) ||
      determinant == 0) {
    error = name + ": has no usable cell size (its geotransform is degenerate or not finite)";
    return false;
  }
  double scale = 1, offset = 0;
  if (!readScaleAndOffset(GDALGetRasterBand(source.get(), 1), scale, offset)) {
    error = format("%s: band 1 has an unusable scale or offset (%.6g, %.6g)", name.c_str(), scale, offset);
    return false;
  }
  OGRSpatialReferenceH sourceSrs = GDALGetSpatialRef(source.get());
  if (sourceSrs && wktOf(sourceSrs).empty()) sourceSrs = nullptr;
  const int width = GDALGetRasterXSize(source.get()), height = GDALGetRasterYSize(source.get());
  const bool geographic = sourceSrs && OSRIsGeographic(sourceSrs);
  const double unit = sourceSrs && !geographic ? OSRGetLinearUnits(sourceSrs, nullptr) : 1.0;
  if (sourceSrs && !liesOnEarth(gt, width, height, geographic, unit)) {
    error = name + ": its corners lie beyond any place on earth (check its geotransform)";
    return false;
  }
  const double cellX = std::hypot(gt[1], gt[4]), cellY = std::hypot(gt[2], gt[5]);
  if (geographic)
    tell(format("%s: %d x %d cells of %.6g x %.6g degrees, %s", name.c_str(), width, height, cellX, cellY,
                OSRGetName(sourceSrs)));
  else
    tell(format("%s: %d x %d cells of %.6g x %.6g m, %s", name.c_str(), width, height, cellX * unit,
                cellY * unit, sourceSrs ? OSRGetName(sourceSrs) : "no coordinate system (units taken as metres)"));

  Window window;
  if (!chooseWindow(source.get(), request, gt, window, error)) return false;
  if (request.hasWindow || request.hasBounds)
    tell(format("area: pixels %lld,%lld to %lld,%lld (%lld x %lld cells)", window.xoff, window.yoff,
                window.xoff + window.xsize, window.yoff + window.ysize, window.xsize, window.ysize));
  Dataset thinnedFrom;
  Dataset windowed = translate(source.get(), {"-of", "VRT", "-b", "1", "-srcwin", std::to_string(window.xoff),
                                              std::to_string(window.yoff), std::to_string(window.xsize),
                                              std::to_string(window.ysize)});
  if (!windowed) {
    error = name + ": cannot read band 1";
    return false;
  }
  if (Dataset thinned = thinOut(windowed.get(), window, request.maxSize, tell)) {
    thinnedFrom = std::move(windowed);  // read by the thinned dataset
    windowed = std::move(thinned);
  }

  TargetGrid target;
  if (!chooseTarget(windowed.get(), sourceSrs, request, target, error)) return false;
  if (target.width < 2 || target.height < 2) {
    error = format("%s: the area is only %d x %d cells; a terrain needs at least 2 x 2", name.c_str(),
                   target.width, target.height);
    return false;
  }
  if (!target.what.empty()) tell(target.what);

  Dataset grid = warpIntoMemory(windowed.get(), target);
  std::vector<float> values;
  if (!grid || !readBand(GDALGetRasterBand(grid.get(), 1), target.width, target.height, values)) {
    error = name + ": cannot read its heights" +
            (CPLGetLastErrorMsg()[0] ? std::string(" (") + CPLGetLastErrorMsg() + ")" : "");
    return false;
  }
  size_t filled = 0;
  if (!fillHoles(grid.get(), values, name, filled, error)) return false;
  if (filled > 0) tell(format("filled %zu no-data cells with GDAL's fill-nodata", filled));

  // Heights in metres, then in grid spacings; raster row 0 is the north edge.
  const double toMetres = heightUnitInMetres(GDALGetRasterBand(source.get(), 1));
  const double cellSize = target.resolution * target.metresPerUnit;
  const int sizeX = target.width, sizeY = target.height;
  terrain.gridSizeX = sizeX;
  terrain.gridSizeY = sizeY;
  terrain.heights.assign(size_t(sizeX) * sizeY, 0.0f);
  if (!(cellSize > 0) || !std::isfinite(cellSize)) {
    error = name + ": has no usable cell size (its coordinate system's unit is not a length)";
    return false;
  }
  double lowest = HUGE_VAL, highest = -HUGE_VAL;
  for (int i = 0; i < sizeX; ++i)
    for (int j = 0; j < sizeY; ++j) {
      double metres = (values[size_t(sizeY - 1 - j) * sizeX + i] * scale + offset) * toMetres;
      if (!(std::fabs(metres / cellSize) <= kMaxTerrainHeight)) {
        error = format("%s: a height of %.6g m is beyond what a terrain of %.6g m cells holds", name.c_str(),
                       metres, cellSize);
        return false;
      }
      lowest = std::min(lowest, metres), highest = std::max(highest, metres);
      terrain.heights[size_t(i) * sizeY + j] = float(metres / cellSize);
    }
  terrain.lowest = float(lowest);
  terrain.highest = float(highest);

  Georeference& geo = terrain.georeference;
  geo.coordinateSystem = wktOf(target.srs.get());
  geo.geoTransform = {target.minX, target.resolution, 0, target.maxY, 0, -target.resolution};
  geo.cellSize = cellSize;
  geo.columns = sizeX;
  geo.rows = sizeY;
  geo.source = name;
  tell(format("terrain: %d x %d cells of %.6g m, heights %.6g to %.6g m", sizeX, sizeY, cellSize, lowest,
              highest));
  geo.meridianConvergence = meridianConvergenceAt(geo, sizeX / 2.0, sizeY / 2.0);
  if (!geo.coordinateSystem.empty()) {
    // How far the convergence strays from the centre's over the terrain.
    double least = geo.meridianConvergence, most = least;
    for (double column : {0.0, double(sizeX)})
      for (double row : {0.0, double(sizeY)}) {
        const double corner = meridianConvergenceAt(geo, column, row);
        least = std::min(least, corner), most = std::max(most, corner);
      }
    tell(format("grid north: %.3f degrees %s of true north at the centre (the meridian convergence; "
                "%.3f to %.3f at the corners); bearings are turned by it",
                std::fabs(geo.meridianConvergence), geo.meridianConvergence < 0 ? "west" : "east", least, most));
  }
  return true;
}
