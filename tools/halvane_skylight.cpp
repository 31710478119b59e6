// halvane-skylight: the sky light of a terrain file under a given sky, as a
// map for GIS users and scripts; at a time, with the sun's own beam, and over
// many times as one cumulative map.
//
//   halvane-skylight TERRAIN.hrz [--sky NAME] [--sun ELEVATION,BEARING]
//                    [--scale open|max] [-o MAP.png [--colour] | -o MAP.tif]
//                    [--csv FILE|- [--csv-header]] [--svf FILE]
//   halvane-skylight TERRAIN.hrz [--site LAT,LON] (--time TIME | --times FILE |
//                    --from TIME --to TIME --step MINUTES) [--no-sun | --beam-ratio K] [...]
//
// Every map is north up: rows from north to south, columns from west to east,
// in the PNG, the text and the GeoTIFF alike. Without -o, --csv and --svf the
// text goes to standard output. All destinations are checked before the terrain
// is read, and none replaces an earlier file unless all were written.
//
// Index
//   1. Usage and options
//   2. Output names
//   3. Writing the map and the text
//   4. The light at a time, and over many times
//   5. The tool
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/angles.h"
#include "core/output_file.h"
#include "core/parallel_in_order.h"
#include "sky/clear_sky.h"
#include "sky/site_sun.h"
#include "sky/sky_model.h"
#include "terrain/georeference.h"
#include "terrain/horizon_raster.h"
#include "terrain/sky_light.h"
#include "terrain/sky_view.h"
#include "terrain/sunlit_terrain.h"
#include "terrain/terrain_file.h"
#include "tools/grid_output.h"
#include "tools/map_picture.h"
#include "tools/options.h"
#include "tools/output_names.h"
#include "tools/progress_bar.h"
#include "tools/sky_options.h"
#include "tools/terrain_place.h"
#include "tools/time_options.h"

namespace {

// ---- 1. Usage and options ------------------------------------------------------------

const char* const kUsage =
    "usage: halvane-skylight TERRAIN.hrz [--sky NAME] [--sun ELEVATION,BEARING] [--scale open|max]\n"
    "                        [-o MAP.png [--colour] | -o MAP.tif] [--csv FILE|- [--csv-header]]\n"
    "                        [--svf FILE.tif|FILE.png|FILE.csv]\n"
    "       halvane-skylight TERRAIN.hrz [--site LAT,LON] (--time TIME | --times FILE |\n"
    "                        --from TIME --to TIME --step MINUTES) [--no-sun | --beam-ratio K]\n"
    "                        [--sky NAME] [--scale open|max] [-o ...] [--csv ...] [--quiet]\n"
    "Maps how brightly the sky lights every cell of a terrain: the light the cell\n"
    "receives from the sky its horizons leave open, plus the light that the hidden\n"
    "sky's terrain reflects onto it (albedo 0.4). At a time, the sun's own beam too.\n"
    "  --sky NAME              uniform, overcast, clear, sharp, point, cosine, turbid,\n"
    "                          or general-1 to general-15 (default clear)\n"
    "  --sun ELEVATION,BEARING the sun in degrees: elevation 0 to 90, compass bearing\n"
    "                          0 to 360 (default 45,180); the map is the sky light alone\n"
    "                          unless --beam-ratio is given\n"
    "  --time TIME             the sun of the site at an ISO 8601 time with its UTC offset\n"
    "                          (2026-06-21T10:00+02:00); the map is the sky light plus the\n"
    "                          sun's direct beam where the sun clears the cell's horizon\n"
    "  --site LAT,LON          where, in WGS84 degrees (latitude -90 to 90, longitude -180\n"
    "                          to 180, east positive); by default the centre of a terrain\n"
    "                          made from a DEM (its TERRAIN.hrz.json); other terrains need it\n"
    "  --times FILE            one cumulative map over the times of a file, one a line\n"
    "                          (blank lines and lines starting with # skipped; - reads\n"
    "                          standard input)\n"
    "  --from TIME --to TIME --step MINUTES\n"
    "                          one cumulative map over the times from TIME to TIME\n"
    "                          (included when it falls on a step) every MINUTES\n"
    "  --beam-ratio K          how strong the beam is: K the ratio of the direct normal to\n"
    "                          the diffuse horizontal irradiance. By default the clear-sky\n"
    "                          model's for the sun's elevation (Meinel and Meinel's beam,\n"
    "                          0.7^(AM^0.678), with Kasten and Young's air mass AM, over\n"
    "                          Liu and Jordan's clear-day diffuse light, 0.271 - 0.294 x\n"
    "                          the beam's transmittance): about 10 with the sun above\n"
    "                          10 degrees. A cell's value is (d + K b) / (1 + K sin h): d\n"
    "                          its sky light relative to open level ground, b the cosine\n"
    "                          between its normal and the sun (0 in shadow), h the sun's\n"
    "                          elevation; 1 on open level ground. Skies without a sun\n"
    "                          (uniform, overcast, cosine) get no beam unless K is given\n"
    "  --no-sun                the sky light alone, without the beam\n"
    "  --quiet                 over many times, no progress bar and no summary\n"
    "  --scale open|max        what a value of 1 is: open, the light of open level ground\n"
    "                          under the same sky (the default; a cell that sees less of\n"
    "                          the sky is below 1, a slope facing a bright sky may exceed\n"
    "                          1; comparable between skies, suns and sites); max, the\n"
    "                          brightest cell of this map, as the window shows it\n"
    "  -o MAP.png              the map as a 16-bit greyscale PNG, north up; a pixel is the\n"
    "                          value x 65535 (values above 1 are white)\n"
    "  --colour                the PNG as a picture to read: the map in a perceptually\n"
    "                          uniform colour map, with a colour bar\n"
    "  -o MAP.tif              the map as a 32-bit float GeoTIFF, north up, with the DEM's\n"
    "                          georeference when the terrain came from one\n"
    "  --csv FILE              the map as text (.csv, .txt or .xyz; - for standard\n"
    "                          output): one row per line from north to south, values\n"
    "                          from west to east separated by commas\n"
    "  --csv-header            the text as points instead: a header line x,y,sky_light\n"
    "                          (coordinates of the cells' centres in the georeference's\n"
    "                          units, or column,row,sky_light counted from the north-west\n"
    "                          without one), then one cell per line\n"
    "  --svf FILE              the sky-view factor of every cell: the share of the light\n"
    "                          of a uniform sky that reaches its tilted surface, relative\n"
    "                          to open level ground (1), from the stored horizons (Dozier\n"
    "                          and Frew's Vd); a map like -o (.tif, .png) or text like\n"
    "                          --csv (.csv, .txt, .xyz, also with --csv-header; - for\n"
    "                          standard output)\n"
    "  -h, --help              this text\n"
    "  --version               the version of Halvane\n"
    "Without -o, --csv and --svf the text goes to standard output.\n"
    "Bearings are true bearings: the sun, a site's or a typed one, is turned into the\n"
    "terrain's grid, whose north lies off true north by the meridian convergence that\n"
    "halvane-terrain --dem stored in TERRAIN.hrz.json (0 for other terrains).\n"
    "Over many times the map is the mean of the times' maps, each weighted by the\n"
    "clear-sky light of open level ground at its time: the cell's light over the times\n"
    "relative to open level ground's over the same times (1 there; multiply by a\n"
    "measured irradiation of level ground for the cell's). Times with the sun below\n"
    "the horizon add nothing; they are counted in a summary line on standard error.\n"
    "The times are computed on all cores, summed in their order.\n"
    "Exit status: 0 done, 1 the terrain could not be read or a file not written,\n"
    "2 a bad argument (also a time at which the sun a sky needs is below the horizon,\n"
    "and a time for a terrain without georeference and no --site).\n";

const ToolDescription kTool = {
    "halvane-skylight", kUsage,
    "TERRAIN.hrz, --sky NAME, --sun ELEVATION,BEARING, --site LAT,LON, --time TIME, --times FILE, "
    "--from TIME, --to TIME, --step MINUTES, --beam-ratio K, --no-sun, --scale open|max, -o MAP.png|MAP.tif, "
    "--colour, --csv FILE, --csv-header, --svf FILE, --quiet, --help, --version"};

struct Options {
  std::string terrain, map, csv, svf;
  bool colour = false;
  bool csvHeader = false;
  SkyLightScale scale = SkyLightScale::kOpenGround;
  SkyOptions sky;
  WhenOptions when;
  bool noSun = false;
  bool hasBeamRatio = false;
  double beamRatio = 0;
  bool quiet = false;
};

// ---- 2. Output names ------------------------------------------------------------------

// -o names a PNG or a GeoTIFF by its ending; a device or a FIFO takes the PNG.
void checkMapName(OptionReader& args, const std::string& name) {
  const std::string extension = extensionOf(name);
  if (extension == ".png" || isGeoTiffName(name) || isWrittenInPlace(name)) return;
  args.refuse("a map name ending .png, .tif or .tiff", name);
}

// --csv names a text file (.csv, .txt, .xyz), standard output (-), or a
// device or a FIFO.
void checkTextName(OptionReader& args, const std::string& name) {
  if (name == "-" || isTextName(name) || isWrittenInPlace(name)) return;
  args.refuse("a text file name ending .csv, .txt or .xyz, or - for standard output", name);
}

// --svf names a map, a text file, or standard output (-, text).
void checkSkyViewName(OptionReader& args, const std::string& name) {
  if (name == "-" || extensionOf(name) == ".png" || isGeoTiffName(name) || isTextName(name) ||
      isWrittenInPlace(name))
    return;
  args.refuse("a name ending .tif, .png, .csv, .txt or .xyz, or - for standard output", name);
}

Options parseArguments(OptionReader& args) {
  Options options;
  while (args.next()) {
    if (readSkyOptions(args, options.sky)) {
    } else if (readWhenOption(args, options.when)) {
    } else if (args.isFlag("--no-sun")) {
      options.noSun = true;
    } else if (args.is("--beam-ratio")) {
      const char* what = "the ratio of direct normal to diffuse horizontal irradiance, 0 to 1000";
      const std::string text = args.value(what);
      if (!parseDecimal(text, options.beamRatio) || options.beamRatio < 0 || options.beamRatio > 1000)
        args.refuse(what, text);
      options.hasBeamRatio = true;
    } else if (args.isFlag("--quiet")) {
      options.quiet = true;
    } else if (args.is("--scale")) {
      const std::string scale = args.value("open or max");
      if (scale != "open" && scale != "max") args.refuse("open or max", scale);
      options.scale = scale == "open" ? SkyLightScale::kOpenGround : SkyLightScale::kLargest;
    } else if (args.isFlag("--colour")) {
      options.colour = true;
    } else if (args.isFlag("--csv-header")) {
      options.csvHeader = true;
    } else if (args.is("-o")) {
      options.map = args.value("the name of the map to write");
      checkMapName(args, options.map);
    } else if (args.is("--csv")) {
      options.csv = args.value("the name of the text file to write, or - for standard output");
      checkTextName(args, options.csv);
    } else if (args.is("--svf")) {
      options.svf = args.value("the name of the sky-view factor map to write");
      checkSkyViewName(args, options.svf);
    } else if (args.isOperand() && options.terrain.empty()) {
      options.terrain = args.argument();
    } else if (args.isOperand()) {
      failArgument("one terrain file only, not also '" + args.argument() + "'");
    } else {
      args.unknown();
    }
  }
  if (options.terrain.empty()) failArgument("give the terrain file (TERRAIN.hrz); --help shows the usage");
  if (options.csv == "-" && options.svf == "-")
    failArgument("--csv - and --svf - both ask for standard output: give one of them a file name");
  if (options.colour && (options.map.empty() || isGeoTiffName(options.map)))
    failArgument("--colour draws a PNG map: give -o MAP.png");
  if (options.sky.sunGiven && (options.when.hasSite || options.when.givesTime()))
    failArgument("give the sun one way: --sun ELEVATION,BEARING, or a time (--time, --times, --from) at the site");
  checkWhenOptions(options.when, false);
  if (options.noSun && options.hasBeamRatio)
    failArgument("--no-sun leaves the beam out and --beam-ratio weighs it in: give one of them");
  return options;
}

// ---- 3. Writing the map and the text -------------------------------------------------------

// The terrain file, read whole, or the end of the tool.
Terrain readTerrainOrFail(const std::string& name) {
  Terrain terrain;
  TerrainError error;
  if (!readTerrain(name, terrain, error)) failInputOutput(error.toolLine);
  return terrain;
}

// The georeference for the maps, when the terrain has one that fits; one
// that does not fit is reported and left out.
const Georeference* georeferenceForMaps(const TerrainPlace& g) {
  if (g.status == GeoreferenceStatus::kBad)
    std::fprintf(stderr, "halvane-skylight: %s; the maps are written without georeference\n", g.problem.c_str());
  return g.status == GeoreferenceStatus::kRead ? &g.georeference : nullptr;
}

// What a map shows, for its colour bar, its title and the text's column.
struct MapDescription {
  std::string units;   // "sky light relative to open level ground"
  std::string title;   // the sky and the sun, or the times
  std::string column;  // sky_light, or light when the sun's beam or many times are in it
};

// The PNG map as a picture: colour map, north arrow, colour bar, and what it
// shows as its title.
bool writeColourMap(OutputFile& map, const MapDescription& description, const std::vector<float>& grid,
                    const Terrain& terrain) {
  const MapLegend legend{description.units, description.title, std::nullopt};
  return writeMapPng(map, grid.data(), terrain.gridSizeX, terrain.gridSizeY, legend);
}

// The map: a GeoTIFF, with the georeference if there is one, or a PNG.
bool writeMap(OutputFile& map, const Options& options, const MapDescription& description,
              const std::vector<float>& grid, const Terrain& terrain, const Georeference* georeference) {
  if (isGeoTiffName(map.name()))
    return writeGeoTiff(map, grid.data(), terrain.gridSizeX, terrain.gridSizeY, georeference);
  if (options.colour) return writeColourMap(map, description, grid, terrain);
  const std::vector<float> raster = northUpRaster(grid.data(), terrain.gridSizeX, terrain.gridSizeY);
  return writeGreyscalePng(map, raster.data(), terrain.gridSizeX, terrain.gridSizeY);
}

// The text: the north-up grid, or one point per line under a header.
bool writeText(OutputFile& text, const Options& options, const std::string& column,
               const std::vector<float>& grid, const Terrain& terrain, const Georeference* georeference) {
  const std::vector<float> raster = northUpRaster(grid.data(), terrain.gridSizeX, terrain.gridSizeY);
  if (!options.csvHeader) return writeGridCsv(text, raster.data(), terrain.gridSizeX, terrain.gridSizeY);
  return writeXyzCsv(text, raster.data(), terrain.gridSizeX, terrain.gridSizeY, column,
                     georeference ? &georeference->geoTransform : nullptr);
}

// The sky-view factor of every cell: a GeoTIFF that says what it holds, a
// PNG or text.
bool writeSkyView(OutputFile& output, const Options& options, const Terrain& terrain,
                  const Georeference* georeference) {
  const std::vector<float> factors =
      computeSkyViewFactor(terrain.horizons.data(), terrain.numDirections, terrain.gridSizeX,
                           terrain.gridSizeY, terrain.terrainNormals.data());
  const std::string& name = output.name();
  if (isGeoTiffName(name)) {
    GeoTiffBands content;
    content.gridSizeX = terrain.gridSizeX;
    content.gridSizeY = terrain.gridSizeY;
    content.bands = {{"sky-view factor", "", {}}};
    content.values = [&](int, float* grid) { std::copy(factors.begin(), factors.end(), grid); };
    content.metadata = {{"SKY_VIEW_FACTOR",
                         "share of the light of a uniform sky reaching the cell's tilted surface, relative to "
                         "open level ground; Dozier and Frew (1990) Vd from " +
                             std::to_string(terrain.numDirections) + " horizon directions"}};
    content.georeference = georeference;
    return writeGeoTiffBands(output, content);
  }
  if (options.svf == "-" || isTextName(name))
    return writeText(output, options, "svf", factors, terrain, georeference);
  const std::vector<float> raster = northUpRaster(factors.data(), terrain.gridSizeX, terrain.gridSizeY);
  return writeGreyscalePng(output, raster.data(), terrain.gridSizeX, terrain.gridSizeY);
}

// ---- 4. The light at a time, and over many times ----------------------------------------------

// The sun of a sky in words, for titles.
std::string describeSun(const Sky& sky) {
  char sun[96];
  std::snprintf(sun, sizeof sun, "sun at %.0f\u00b0 elevation and bearing %.0f\u00b0",
                displayedElevation(sky.sunElevation()), displayedBearing(sky.sunAzimuth()));
  return sun;
}

// The sun of a site in words: its elevation and true bearing.
std::string describeSun(const SiteSun& sun) {
  char text[96];
  std::snprintf(text, sizeof text, "sun at %.0f\u00b0 elevation and bearing %.0f\u00b0", sun.elevationDegrees,
                sun.bearingDegrees);
  return text;
}

const char* relativeTo(SkyLightScale scale) {
  return scale == SkyLightScale::kOpenGround ? " relative to open level ground" : " relative to the brightest cell";
}

// The light of a sky with its sun and beam ratio K (0: the sky light alone),
// scaled as asked. Without the beam it is exactly the sky light map.
std::vector<float> lightOf(const Terrain& terrain, const Sky& sky, double beamRatio, SkyLightScale scale) {
  if (!(beamRatio > 0)) return computeSkyLight(terrain, sky, scale);
  std::vector<float> light = computeSunlitTerrain(terrain, sky, beamRatio);
  if (scale == SkyLightScale::kLargest && !light.empty())
    normaliseSkyGrid(light, *std::max_element(light.begin(), light.end()));
  return light;
}

// The beam ratio at a time: none with --no-sun, K with --beam-ratio K, else
// the clear-sky model's for a sky with a sun and none for a sky without.
double beamRatioAt(const Options& options, const Sky& sky, const SiteSun& sun) {
  if (options.noSun || !sun.isUp()) return 0;
  if (options.hasBeamRatio) return options.beamRatio;
  return sky.dependsOnTheSun() ? clearSkyBeamRatio(sun.elevationDegrees) : 0;
}

// The map of one time.
std::vector<float> lightAtTime(const Options& options, const Terrain& terrain, const GeoSite& site,
                               double convergence, MapDescription& description) {
  const UtcTime time = options.when.time;
  const SiteSun sun = sunOnGrid(sunAtSite(site, time), convergence);
  const Sky sky = options.sky.sky(sun.elevation, sun.azimuth);
  requireSunUp(sky, sun, time, site, options.sky.name);
  const double ratio = beamRatioAt(options, sky, sun);
  description.units = std::string(ratio > 0 ? "light of sky and sun" : "sky light") + relativeTo(options.scale);
  description.title = options.sky.name + " sky, " + describeTimeAndSite(time, site) + ", " + describeSun(sun);
  description.column = ratio > 0 ? "light" : "sky_light";
  return lightOf(terrain, sky, ratio, options.scale);
}

// A time of a cumulative map at which the sun is up.
struct SunlitTime {
  Sky sky;
  double beamRatio;
  double weight;  // open level ground's clear-sky light at the time
};

// The cumulative map over many times, computed on all cores and summed in
// the order of the times.
std::vector<float> lightOverTimes(const Options& options, const Terrain& terrain, const GeoSite& site,
                                  double convergence, MapDescription& description) {
  const std::vector<UtcTime> times = resolveTimes(options.when);
  std::vector<SunlitTime> sunlit;
  for (UtcTime time : times) {
    const SiteSun sun = sunOnGrid(sunAtSite(site, time), convergence);
    if (!sun.isUp()) continue;
    const Sky sky = options.sky.sky(sun.elevation, sun.azimuth);
    const double ratio = beamRatioAt(options, sky, sun);
    sunlit.push_back({sky, ratio, openGroundIrradiance(sun.elevationDegrees, ratio, sky.sunDirection().z)});
  }
  if (sunlit.empty())
    failArgument("the sun is below the horizon at all " + std::to_string(times.size()) + " times at " +
                 formatSite(site) + ": there is no daylight to sum");

  const bool showProgress = !options.quiet && isatty(fileno(stderr)) != 0;
  ProgressBar bar(stderr, "halvane-skylight: ", "times", true);
  CumulativeLight sum(terrain.numCells());
  computeInOrder<std::vector<float>>(
      sunlit.size(), defaultThreadCount(),
      [&](size_t i) { return computeSunlitTerrain(terrain, sunlit[i].sky, sunlit[i].beamRatio); },
      [&](size_t i, std::vector<float>& map) {
        sum.add(map, sunlit[i].weight);
        if (showProgress) bar.update(int(i + 1), int(sunlit.size()));
        return true;
      });
  if (showProgress) bar.finish();
  if (!options.quiet)
    std::fprintf(stderr, "halvane-skylight: %zu of %zu times summed, %zu skipped (the sun below the horizon)\n",
                 sunlit.size(), times.size(), times.size() - sunlit.size());

  std::vector<float> light = sum.mean();
  if (options.scale == SkyLightScale::kLargest && !light.empty())
    normaliseSkyGrid(light, *std::max_element(light.begin(), light.end()));
  const bool withSun = std::any_of(sunlit.begin(), sunlit.end(), [](const SunlitTime& t) { return t.beamRatio > 0; });
  description.units = std::string(withSun ? "light of sky and sun" : "sky light") + " over the times" +
                      relativeTo(options.scale);
  const auto [first, last] = std::minmax_element(times.begin(), times.end());
  description.title = options.sky.name + " sky, " + std::to_string(times.size()) + " times from " +
                      formatIsoTime(*first) + " to " + formatIsoTime(*last) + " at " + formatSite(site);
  description.column = "light";
  return light;
}

// ---- 5. The tool ----------------------------------------------------------------------------

int run(OptionReader& args) {
  const Options options = parseArguments(args);
  OutputFileSet outputs;
  OutputFile standardOutput = OutputFile::standardOutput();
  OutputFile* map = options.map.empty() ? nullptr : &outputs.add(options.map);
  OutputFile* skyView = options.svf.empty() ? nullptr
                        : options.svf == "-" ? &standardOutput
                                             : &outputs.add(options.svf);
  OutputFile* text = nullptr;
  if (options.csv.empty() ? !map && !skyView : options.csv == "-")
    text = &standardOutput;
  else if (!options.csv.empty())
    text = &outputs.add(options.csv);
  std::string error;
  if (!outputs.checkAll(error)) failInputOutput(error);

  routeSkyDiagnostics(options.when.isBatch());
  const Terrain terrain = readTerrainOrFail(options.terrain);
  const TerrainPlace place = readTerrainPlace(options.terrain, terrain.gridSizeX, terrain.gridSizeY);
  MapDescription description;
  std::vector<float> grid;
  if (!map && !text) {
    // The sky-view factor alone.
  } else if (options.when.givesTime()) {
    // The sun, a true bearing, is turned into the terrain's grid.
    const double convergence = convergenceOrFail(place);
    const GeoSite site = siteOfTerrain(options.when, place);
    grid = options.when.isBatch() ? lightOverTimes(options, terrain, site, convergence, description)
                                  : lightAtTime(options, terrain, site, convergence, description);
  } else {
    // Only a sun's bearing needs the grid's north.
    const bool sunBearingMatters = options.sky.sky().dependsOnTheSun() ||
                                   (options.hasBeamRatio && !options.noSun);
    const double convergence = sunBearingMatters ? convergenceOrFail(place) : place.convergence();
    const SiteSun sun = typedSunOnGrid(options.sky, convergence);
    const Sky sky = typedSkyOnGrid(options.sky, convergence);
    const double ratio = options.hasBeamRatio && !options.noSun ? options.beamRatio : 0;
    grid = lightOf(terrain, sky, ratio, options.scale);
    description.units = std::string(ratio > 0 ? "light of sky and sun" : "sky light") + relativeTo(options.scale);
    description.title = options.sky.name + " sky, " + (convergence != 0 ? describeSun(sun) : describeSun(sky));
    description.column = ratio > 0 ? "light" : "sky_light";
  }

  const bool needsGeoreference = (map && isGeoTiffName(map->name())) || options.csvHeader ||
                                 (skyView && isGeoTiffName(skyView->name()));
  const Georeference* where = needsGeoreference ? georeferenceForMaps(place) : nullptr;
  if (map && !writeMap(*map, options, description, grid, terrain, where)) failInputOutput(map->error());
  if (text && !writeText(*text, options, description.column, grid, terrain, where))
    failInputOutput(text->error());
  if (skyView && !writeSkyView(*skyView, options, terrain, where)) failInputOutput(skyView->error());
  if (!outputs.commitAll(error)) failInputOutput(error);
  if ((text == &standardOutput || skyView == &standardOutput) && !standardOutput.commit())
    failInputOutput(standardOutput.error());
  return kExitDone;
}

}  // namespace

int main(int argc, char** argv) { return runTool(kTool, argc, argv, run); }
