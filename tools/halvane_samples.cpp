// halvane-samples: a sample set of the sky without the window, for scripts and
// annual studies. It writes exactly the sample point file that the window
// writes for the same sky, sun, number of points and share rule.
//
//   halvane-samples [--sky NAME] [--sun ELEVATION,BEARING | --site LAT,LON --time TIME]
//                   [--terrain TERRAIN.hrz] [--points N] [--shares equal|luminance]
//                   [--set stratified|jittered|spiral] [--weights cells|fitted] [--decimals D]
//                   [--report] [-o FILE] [--plot FILE.png]
//   halvane-samples [--sky NAME] [--terrain TERRAIN.hrz] [--site LAT,LON]
//                   (--times FILE | --from TIME --to TIME --step MINUTES)
//                   [...] -o PATTERN [--plot PATTERN.png] [--quiet]
//
// Index
//   1. Usage and options
//   2. One sample set, its sun and the grid of its bearings
//   3. One run
//   4. A batch: one file per time, on all cores
//
// Without -o (or with -o -) the file goes to standard output. The sky model's
// diagnostics go to standard error so that they cannot mix with it, and so do
// the notes: the point count when it differs from the one asked for, the
// accuracy with --report, and fitted weights that were not fitted. The file
// is written like every file of Halvane (core/output_file.h); a failure is
// one line, "halvane-samples: cannot write FILE: reason", and status 1. With
// --plot the sample file and the plot are committed together.
//
// Bearings are true bearings, unless --terrain names a terrain: the set is
// then for lighting that terrain, and the sun (a site's or a typed one) is
// turned into the terrain's grid by the meridian convergence stored beside
// it, so that the file and the plot hold the grid's bearings.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/commands.h"
#include "core/angles.h"
#include "core/output_file.h"
#include "core/parallel_in_order.h"
#include "sampling/accuracy.h"
#include "sampling/file_directions.h"
#include "sampling/fitted_weights.h"
#include "sampling/sample_file.h"
#include "sampling/spiral_set.h"
#include "sky/site_sun.h"
#include "sky/sky_model.h"
#include "tools/options.h"
#include "tools/progress_bar.h"
#include "tools/sky_options.h"
#include "tools/sky_plot.h"
#include "tools/terrain_place.h"
#include "tools/time_options.h"

namespace {

// ---- 1. Usage and options -------------------------------------------------------------

const char* const kUsage =
    "usage: halvane-samples [--sky NAME] [--sun ELEVATION,BEARING | --site LAT,LON --time TIME]\n"
    "                       [--terrain TERRAIN.hrz] [--points N] [--shares equal|luminance]\n"
    "                       [--set stratified|jittered|spiral] [--weights cells|fitted]\n"
    "                       [--decimals D] [--report] [-o FILE] [--plot FILE.png]\n"
    "       halvane-samples [--sky NAME] [--terrain TERRAIN.hrz] [--site LAT,LON] (--times FILE |\n"
    "                       --from TIME --to TIME --step MINUTES) [--points N] [...]\n"
    "                       -o PATTERN [--plot PATTERN.png] [--quiet]\n"
    "Computes a set of weighted sample directions of the sky and writes the sample\n"
    "point file: a header, then one line per point, bearing,elevation,weight, the\n"
    "weights summing to 1.\n"
    "  --sky NAME                 uniform, overcast, clear, sharp, point, cosine, turbid,\n"
    "                             or general-1 to general-15 (default clear)\n"
    "  --sun ELEVATION,BEARING    the sun in degrees: elevation 0 to 90, compass bearing\n"
    "                             0 to 360 clockwise from north (default 45,180)\n"
    "  --site LAT,LON             the sun from where and when instead: latitude -90 to 90,\n"
    "                             longitude -180 to 180 (east positive), WGS84 degrees;\n"
    "                             with --terrain, by default the centre of a terrain made\n"
    "                             from a DEM (its TERRAIN.hrz.json)\n"
    "  --time TIME                an ISO 8601 time with its UTC offset: 2026-06-21T10:00+02:00,\n"
    "                             2026-06-21T08:00Z (a time without an offset is refused)\n"
    "  --times FILE               a batch: one time a line (blank lines and lines starting\n"
    "                             with # are skipped; - reads standard input)\n"
    "  --from TIME --to TIME --step MINUTES\n"
    "                             a batch: the times from TIME to TIME (included when it\n"
    "                             falls on a step) every MINUTES\n"
    "  --terrain TERRAIN.hrz      the set is for lighting this terrain: its bearings, the\n"
    "                             sky's and the plot's are the terrain's grid bearings\n"
    "                             (see below); of the terrain its header, heights and\n"
    "                             TERRAIN.hrz.json are read, not its horizons\n"
    "  --points N                 how many points to ask for, 1 to 10000 (default 250)\n"
    "  --shares equal|luminance   each luminance class gets an equal share of the points,\n"
    "                             or a share by its luminance (default equal)\n"
    "  --set stratified|jittered|spiral\n"
    "                             points picked by luminance class, a jittered grid, or\n"
    "                             exactly N points spread evenly, each standing for the\n"
    "                             sky nearest to it: the accurate set (default stratified)\n"
    "  --weights cells|fitted     spiral set: each weight the light of its cell, or\n"
    "                             adjusted to reproduce the irradiance of planes of every\n"
    "                             orientation, up to 2000 points (default cells)\n"
    "  --decimals D               bearings and elevations with D decimals, 0 to 6\n"
    "                             (default 0, whole degrees)\n"
    "  --report                   after writing, one line on standard error: the point\n"
    "                             count and the set's error of plane irradiance (not in\n"
    "                             a batch)\n"
    "  -o FILE                    the file to write (default, or -, standard output)\n"
    "  -o PATTERN                 in a batch, one file per time whose sun is up: {time} in\n"
    "                             the pattern becomes the UTC time (20260621T1000Z), {n} the\n"
    "                             time's place in the batch counted from 1, zero-padded to\n"
    "                             the width of the count (e.g. -o sets/{n}-{time}.txt)\n"
    "  --plot FILE.png            also draw the set on the sky dome: north up, zenith at\n"
    "                             the centre, each point coloured by its weight (in a\n"
    "                             batch a PATTERN too)\n"
    "  --quiet                    in a batch, no progress bar and no summary\n"
    "  -h, --help                 this text\n"
    "  --version                  the version of Halvane\n"
    "Bearings, --sun's and the file's, are true bearings. With --terrain the file's\n"
    "bearings are the terrain's grid bearings: the sun, a site's or a typed one, is\n"
    "turned into the grid, whose north lies off true north by the meridian convergence\n"
    "that halvane-terrain --dem stored in TERRAIN.hrz.json (0 for other terrains, whose\n"
    "files are those without --terrain).\n"
    "The sun from a site is where it is seen (refracted), in exactly the angles --sun\n"
    "takes. A sun below the horizon is a bad argument for the skies that need one\n"
    "(clear, sharp, point, turbid, general-N); uniform, overcast and cosine skies take\n"
    "any time. A batch writes a file for each time at which the sun is up, whatever\n"
    "the sky, skips the others and counts them in a one-line summary on standard\n"
    "error; each file is exactly what a run with --time writes for its time. The\n"
    "sets are computed on all cores and the files committed in time order: if one\n"
    "cannot be written the batch stops there with status 1, and the files before it\n"
    "stay written.\n"
    "Exit status: 0 done, 1 a file could not be read or written (also a terrain or\n"
    "its georeference), 2 a bad argument (also a time at which the sun a sky needs is\n"
    "below the horizon, and a time for a terrain without georeference and no --site).\n";

const ToolDescription kTool = {
    "halvane-samples", kUsage,
    "--sky NAME, --sun ELEVATION,BEARING, --site LAT,LON, --time TIME, --times FILE, --from TIME, --to TIME, "
    "--step MINUTES, --terrain TERRAIN.hrz, --points N, --shares equal|luminance, --set stratified|jittered|spiral, "
    "--weights cells|fitted, --decimals D, --report, -o FILE, --plot FILE.png, --quiet, --help, --version"};

struct Options {
  SkyOptions sky;
  WhenOptions when;
  std::string terrain;  // --terrain: bearings on its grid
  int points = 250;
  bool equalShares = true;
  bool sharesGiven = false;
  std::string set = "stratified";
  std::string weights;  // "" (not given), "cells" or "fitted"
  int decimals = 0;
  bool report = false;
  bool quiet = false;
  std::string output = "-";
  std::string plot;
};

// One of two words.
bool chooseWord(OptionReader& args, const char* yes, const char* no) {
  const std::string what = std::string(yes) + " or " + no;
  const std::string word = args.value(what);
  if (word != yes && word != no) args.refuse(what, word);
  return word == yes;
}

// The combinations of options that cannot work, refused before any work.
void checkCombinations(const Options& options) {
  if (!options.weights.empty() && options.set != "spiral")
    failArgument("--weights " + options.weights + " needs --set spiral");
  if (options.sharesGiven && options.set == "spiral")
    failArgument("--shares applies to the stratified set, not to --set spiral");
  const WhenOptions& when = options.when;
  if (options.sky.sunGiven && (when.hasSite || when.givesTime()))
    failArgument("give the sun one way: --sun ELEVATION,BEARING, or --site LAT,LON with a time");
  checkWhenOptions(when, options.terrain.empty());
  if (!when.isBatch()) return;
  if (options.report) failArgument("--report describes one set: give it with --time or --sun, not in a batch");
  const char* example = "e.g. -o samples-{time}.txt";
  if (options.output == "-" || !hasFilePlaceholder(options.output))
    failArgument("a batch writes one file per time: give -o a pattern with {time} or {n}, " + std::string(example) +
                 ", not '" + options.output + "'");
  if (!options.plot.empty() && !hasFilePlaceholder(options.plot))
    failArgument("a batch draws one plot per time: give --plot a pattern with {time} or {n}, not '" + options.plot +
                 "'");
}

Options parseArguments(OptionReader& args) {
  Options options;
  while (args.next()) {
    if (readSkyOptions(args, options.sky)) continue;
    if (readWhenOption(args, options.when)) continue;
    if (args.is("--terrain")) {
      const char* what = "the name of a terrain file";
      options.terrain = args.value(what);
      if (options.terrain.empty()) args.refuse(what, options.terrain);
    } else if (args.is("--points")) {
      options.points = int(args.wholeNumber(1, 10000));
    } else if (args.is("--shares")) {
      options.equalShares = chooseWord(args, "equal", "luminance");
      options.sharesGiven = true;
    } else if (args.is("--set")) {
      const char* what = "stratified, jittered or spiral";
      options.set = args.value(what);
      if (options.set != "stratified" && options.set != "jittered" && options.set != "spiral")
        args.refuse(what, options.set);
    } else if (args.is("--weights")) {
      options.weights = chooseWord(args, "cells", "fitted") ? "cells" : "fitted";
    } else if (args.is("--decimals")) {
      options.decimals = int(args.wholeNumber(0, 6));
    } else if (args.isFlag("--report")) {
      options.report = true;
    } else if (args.isFlag("--quiet")) {
      options.quiet = true;
    } else if (args.is("-o")) {
      const char* what = "the name of the file to write, or - for standard output";
      options.output = args.value(what);
      if (options.output.empty()) args.refuse(what, options.output);
    } else if (args.is("--plot")) {
      const char* what = "the name of the PNG file to draw";
      options.plot = args.value(what);
      if (options.plot.empty()) args.refuse(what, options.plot);
    } else {
      args.unknown();
    }
  }
  checkCombinations(options);
  return options;
}

// ---- 2. One sample set, its sun and the grid of its bearings -------------------------------

// A sample set, and whether its weights were fitted as asked.
struct ComputedSet {
  Sequence<SamplePoint> points;
  bool weightsFitted = true;
};

// The set of a sky: through the window's commands without a terrain, "p" for
// a stratified set, the steps of "-" (a jittered grid, then its weights) for
// a jittered one; the spiral set and its weights from the library. Each call
// has a state of its own, so sets can be computed side by side.
ComputedSet computeSet(const Options& options, const Sky& sky) {
  ComputedSet set;
  if (options.set == "spiral") {
    set.points = computeSpiralSamples(sky, options.points);
    roundToFile(set.points, options.decimals);
    if (options.weights == "fitted") set.weightsFitted = fitSampleWeights(sky, set.points);
    return set;
  }
  AppState state;
  state.sky = sky;
  state.numSamplePoints = options.points;
  state.equalShares = options.equalShares;
  CommandTarget target{state, {}};
  if (options.set == "stratified") {
    computeSamplePointsCommand(target);
  } else {
    jitteredSamplePointsCommand(target);
  }
  set.points = std::move(state.samplePoints);
  return set;
}

// The notes after the file is written: the weights not fitted (beyond
// kMaxFittedPoints), and the point count when it is not the one asked for or
// with --report, the latter with the accuracy of the set as the file holds it.
void reportSet(const Options& options, const Sky& sky, Sequence<SamplePoint> points, bool weightsFitted) {
  const int count = points.numElements;
  if (!weightsFitted)
    std::fprintf(stderr, "halvane-samples: weights of %d points are not fitted (fitting stops at %d); "
                 "each is the light of its cell\n", count, kMaxFittedPoints);
  std::string line = std::to_string(count) + (count == 1 ? " point" : " points");
  if (count != options.points) line += " (" + std::to_string(options.points) + " asked for)";
  if (options.report) {
    roundToFile(points, options.decimals);
    line += "; " + describeAccuracy(AccuracyReference(sky).measureAll(points));
  } else if (count == options.points) {
    return;
  }
  std::fprintf(stderr, "halvane-samples: %s\n", line.c_str());
}

// Where the sun of a time is seen from, and which way the bearings face:
// without --terrain, --site and true north; with it, the terrain's grid,
// whose north lies off true north by the meridian convergence stored beside
// the terrain, and by default the site of the terrain's centre.
struct SunFrame {
  GeoSite site;
  double convergence = 0;
  bool gridBearings = false;  // the terrain has a georeference: bearings are its grid's
};

// The frame of the options. Of the terrain only the header, the heights and
// the georeference are read; a terrain or georeference that cannot be read
// ends the tool (status 1) before any file is written.
SunFrame frameOf(const Options& options) {
  SunFrame frame;
  frame.site = options.when.site;
  if (options.terrain.empty()) return frame;
  const Terrain grid = readTerrainGridOrFail(options.terrain);
  const TerrainPlace place = readTerrainPlace(options.terrain, grid.gridSizeX, grid.gridSizeY);
  frame.convergence = convergenceOrFail(place);
  frame.gridBearings = place.status == GeoreferenceStatus::kRead;
  if (options.when.givesTime()) frame.site = siteOfTerrain(options.when, place);
  return frame;
}

// Draws the sample set on the sky dome, titled with the sky (as named on the
// command line), the sun and the number of points; the sun's bearing is
// called a grid bearing on a terrain's grid.
bool plotSamplePoints(OutputFile& output, const std::string& skyName, const Sky& sky,
                      const Sequence<SamplePoint>& set, const SunFrame& frame) {
  std::vector<SkyPoint> points;
  for (int i = 0; i < set.numElements; ++i) {
    const SamplePoint& point = set.element(i);
    points.push_back({displayedBearing(point.azimuth), displayedElevation(point.elevation), point.weight});
  }
  char title[160];
  std::snprintf(title, sizeof title, "%s sky, sun at %.0f\u00b0 elevation and %s %.0f\u00b0: %d points",
                skyName.c_str(), displayedElevation(sky.sunElevation()),
                frame.gridBearings ? "grid bearing" : "bearing", displayedBearing(sky.sunAzimuth()),
                set.numElements);
  return writeSkyPlotPng(output, points, title);
}

// The sun of the frame's site at a time, on the frame's grid.
SiteSun sunAt(const SunFrame& frame, UtcTime time) {
  return sunOnGrid(sunAtSite(frame.site, time), frame.convergence);
}

// The sky of the frame's site at a time; a sun below the horizon for a sky
// that needs one is a bad argument.
Sky skyAt(const Options& options, const SunFrame& frame, UtcTime time) {
  const SiteSun sun = sunAt(frame, time);
  const Sky sky = options.sky.sky(sun.elevation, sun.azimuth);
  requireSunUp(sky, sun, time, frame.site, options.sky.name);
  return sky;
}

// ---- 3. One run ----------------------------------------------------------------------------

int runOnce(const Options& options, const SunFrame& frame) {
  Sky sky = typedSkyOnGrid(options.sky, frame.convergence);
  std::string output = options.output, plotName = options.plot;
  if (options.when.hasTime) {
    sky = skyAt(options, frame, options.when.time);
    // A pattern names the one file of this time, as a batch would.
    if (output != "-") output = expandFilePattern(output, options.when.time, 1, 1);
    if (!plotName.empty()) plotName = expandFilePattern(plotName, options.when.time, 1, 1);
  }

  OutputFileSet outputs;
  OutputFile standardOutput = OutputFile::standardOutput();
  OutputFile& sampleFile = output == "-" ? standardOutput : outputs.add(output);
  OutputFile* plot = plotName.empty() ? nullptr : &outputs.add(plotName);
  std::string error;
  if (!outputs.checkAll(error)) failInputOutput(error);
  if (&sampleFile == &standardOutput && !standardOutput.check()) failInputOutput(standardOutput.error());

  routeSkyDiagnostics(false);
  const ComputedSet set = computeSet(options, sky);

  if (!sampleFile.open() || !sampleFile.write(formatSamplePoints(sky, set.points, options.decimals)))
    failInputOutput(sampleFile.error());
  if (plot && !plotSamplePoints(*plot, options.sky.name, sky, set.points, frame)) failInputOutput(plot->error());
  if (!outputs.commitAll(error)) failInputOutput(error);
  if (&sampleFile == &standardOutput && !standardOutput.commit()) failInputOutput(standardOutput.error());
  reportSet(options, sky, set.points, set.weightsFitted);
  return kExitDone;
}

// ---- 4. A batch -----------------------------------------------------------------------------

// A time of the batch at which the sun is up, and its files.
struct BatchItem {
  UtcTime time;
  Sky sky;
  std::string sampleName, plotName;
};

// A batch item's files, written and flushed to their temporary files by a
// worker; the caller renames them over their destinations in time order.
struct WrittenItem {
  std::vector<OutputFile> files;
  std::string error;  // the first failure, if any
  int points = 0;     // the set's point count
  bool weightsFitted = true;
};

// Refuses two times that would write one file, and checks each folder the
// batch writes to once, before any work.
void checkBatchNames(const std::vector<BatchItem>& items) {
  std::vector<std::pair<std::string, UtcTime>> names;
  for (const BatchItem& item : items) {
    names.emplace_back(item.sampleName, item.time);
    if (!item.plotName.empty()) names.emplace_back(item.plotName, item.time);
  }
  std::stable_sort(names.begin(), names.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t k = 1; k < names.size(); ++k)
    if (names[k].first == names[k - 1].first)
      failArgument("two files of the batch would be named '" + names[k].first + "' (" +
                   formatIsoTime(names[k - 1].second) + " and " + formatIsoTime(names[k].second) +
                   "): give each time its own name with {time} or {n}");
  std::vector<std::string> checked;
  for (const auto& name : names) {
    const std::string folder = folderOf(name.first);
    if (std::find(checked.begin(), checked.end(), folder) != checked.end()) continue;
    checked.push_back(folder);
    OutputFile probe(name.first);
    if (!probe.check()) failInputOutput(probe.error());
  }
}

// Computes and writes one item's files up to their temporary files.
WrittenItem writeItem(const Options& options, const SunFrame& frame, const BatchItem& item) {
  WrittenItem written;
  const ComputedSet computed = computeSet(options, item.sky);
  const Sequence<SamplePoint>& set = computed.points;
  written.points = set.numElements;
  written.weightsFitted = computed.weightsFitted;
  written.files.emplace_back(item.sampleName);
  OutputFile& sampleFile = written.files.back();
  if (!sampleFile.open() || !sampleFile.write(formatSamplePoints(item.sky, set, options.decimals)) ||
      !sampleFile.finish()) {
    written.error = sampleFile.error();
    return written;
  }
  if (!item.plotName.empty()) {
    written.files.emplace_back(item.plotName);
    OutputFile& plot = written.files.back();
    if (!plotSamplePoints(plot, options.sky.name, item.sky, set, frame) || !plot.finish())
      written.error = plot.error();
  }
  return written;
}

int runBatch(const Options& options, const SunFrame& frame) {
  const std::vector<UtcTime> times = resolveTimes(options.when);
  std::vector<BatchItem> items;
  for (size_t k = 0; k < times.size(); ++k) {
    const SiteSun sun = sunAt(frame, times[k]);
    if (!sun.isUp()) continue;
    BatchItem item{times[k], options.sky.sky(sun.elevation, sun.azimuth), "", ""};
    item.sampleName = expandFilePattern(options.output, times[k], k + 1, times.size());
    if (!options.plot.empty()) item.plotName = expandFilePattern(options.plot, times[k], k + 1, times.size());
    items.push_back(std::move(item));
  }
  checkBatchNames(items);

  routeSkyDiagnostics(true);

  const bool showProgress = !options.quiet && isatty(fileno(stderr)) != 0;
  ProgressBar bar(stderr, "halvane-samples: ", "files", true);
  size_t committed = 0, unfitted = 0;
  int fewestPoints = options.points, mostPoints = options.points;
  std::string failure;
  computeInOrder<WrittenItem>(
      items.size(), defaultThreadCount(), [&](size_t i) { return writeItem(options, frame, items[i]); },
      [&](size_t, WrittenItem& written) {
        if (!written.error.empty()) {
          failure = written.error;
          return false;
        }
        for (OutputFile& file : written.files) {
          if (!file.replace()) {
            failure = file.error();
            return false;
          }
        }
        ++committed;
        if (!written.weightsFitted) ++unfitted;
        fewestPoints = std::min(fewestPoints, written.points);
        mostPoints = std::max(mostPoints, written.points);
        if (showProgress) bar.update(int(committed), int(items.size()));
        return true;
      });
  if (showProgress) bar.finish();
  if (!failure.empty())
    failInputOutput(failure + " (the batch stopped there; the " + std::to_string(committed) +
                    " files of the times before it were written)");

  // The notes of a single run, once for the batch.
  if (unfitted > 0)
    std::fprintf(stderr, "halvane-samples: weights of %zu sets of %d points are not fitted (fitting stops at %d); "
                 "each is the light of its cell\n", unfitted, options.points, kMaxFittedPoints);
  if (fewestPoints != options.points || mostPoints != options.points)
    std::fprintf(stderr, "halvane-samples: sets of %d to %d points (%d asked for)\n", fewestPoints, mostPoints,
                 options.points);
  const size_t skipped = times.size() - items.size();
  if (!options.quiet)
    std::fprintf(stderr,
                 "halvane-samples: %zu sample files written, %zu of the %zu times skipped (the sun below the "
                 "horizon)\n",
                 items.size(), skipped, times.size());
  return kExitDone;
}

int run(OptionReader& args) {
  const Options options = parseArguments(args);
  const SunFrame frame = frameOf(options);
  return options.when.isBatch() ? runBatch(options, frame) : runOnce(options, frame);
}

}  // namespace

int main(int argc, char** argv) { return runTool(kTool, argc, argv, run); }
