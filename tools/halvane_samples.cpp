// halvane-samples: a sample set of the sky without the window, for scripts and
// annual studies. It writes exactly the sample point file that the window
// writes for the same sky, sun, number of points and share rule.
//
//   halvane-samples [--sky NAME] [--sun ELEVATION,BEARING] [--points N]
//                   [--shares equal|luminance] [--set stratified|jittered|spiral]
//                   [--weights cells|fitted] [--decimals D] [--report] [-o FILE]
//                   [--plot FILE.png]
//
// Without -o (or with -o -) the file goes to standard output. The sky model's
// diagnostics go to standard error so that they cannot mix with it, and so do
// the notes: the point count when it differs from the one asked for, the
// accuracy with --report, and fitted weights that were not fitted. The file
// is written like every file of Halvane (core/output_file.h); a failure is
// one line, "halvane-samples: cannot write FILE: reason", and status 1. With
// --plot the sample file and the plot are committed together.
#include <cstdio>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/commands.h"
#include "core/angles.h"
#include "core/output_file.h"
#include "sampling/accuracy.h"
#include "sampling/file_directions.h"
#include "sampling/fitted_weights.h"
#include "sampling/sample_file.h"
#include "sampling/spiral_set.h"
#include "sky/sky_model.h"
#include "tools/options.h"
#include "tools/sky_options.h"
#include "tools/sky_plot.h"

namespace {

const char* const kUsage =
    "usage: halvane-samples [--sky NAME] [--sun ELEVATION,BEARING] [--points N]\n"
    "                       [--shares equal|luminance] [--set stratified|jittered|spiral]\n"
    "                       [--weights cells|fitted] [--decimals D] [--report] [-o FILE]\n"
    "                       [--plot FILE.png]\n"
    "Computes a set of weighted sample directions of the sky and writes the sample\n"
    "point file: a header, then one line per point, bearing,elevation,weight, the\n"
    "weights summing to 1.\n"
    "  --sky NAME                 uniform, overcast, clear, sharp, point, cosine, turbid,\n"
    "                             or general-1 to general-15 (default clear)\n"
    "  --sun ELEVATION,BEARING    the sun in degrees: elevation 0 to 90, compass bearing\n"
    "                             0 to 360 clockwise from north (default 45,180)\n"
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
    "                             count and the set's error of plane irradiance\n"
    "  -o FILE                    the file to write (default, or -, standard output)\n"
    "  --plot FILE.png            also draw the set on the sky dome: north up, zenith at\n"
    "                             the centre, each point coloured by its weight\n"
    "  -h, --help                 this text\n"
    "  --version                  the version of Halvane\n"
    "Exit status: 0 done, 1 the file could not be written, 2 a bad argument.\n";

const ToolDescription kTool = {
    "halvane-samples", kUsage,
    "--sky NAME, --sun ELEVATION,BEARING, --points N, --shares equal|luminance, "
    "--set stratified|jittered|spiral, --weights cells|fitted, --decimals D, --report, -o FILE, "
    "--plot FILE.png, --help, --version"};

struct Options {
  SkyDistribution distribution = SkyDistribution::CLEAR;
  int generalType = Sky().generalType;
  float sunElevation = kDefaultSunElevation;
  float sunAzimuth = kDefaultSunAzimuth;
  int points = 250;
  bool equalShares = true;
  bool sharesGiven = false;
  std::string set = "stratified";
  std::string weights;  // "" (not given), "cells" or "fitted"
  int decimals = 0;
  bool report = false;
  std::string output = "-";
  std::string plot;
  std::string skyName = "clear";  // as given, for the plot's title
};

// One of two words.
bool chooseWord(OptionReader& args, const char* yes, const char* no) {
  const std::string what = std::string(yes) + " or " + no;
  const std::string word = args.value(what);
  if (word != yes && word != no) args.refuse(what, word);
  return word == yes;
}

Options parseArguments(OptionReader& args) {
  Options options;
  while (args.next()) {
    if (args.is("--sky")) {
      options.skyName = args.value(kSkyNamesAccepted);
      if (!parseSkyName(options.skyName, options.distribution, options.generalType))
        args.refuse(kSkyNamesAccepted, options.skyName);
      continue;
    }
    if (readSkyOrSun(args, options.distribution, options.generalType, options.sunElevation, options.sunAzimuth))
      continue;
    if (args.is("--points")) {
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
  if (!options.weights.empty() && options.set != "spiral")
    failArgument("--weights " + options.weights + " needs --set spiral");
  if (options.sharesGiven && options.set == "spiral")
    failArgument("--shares applies to the stratified set, not to --set spiral");
  return options;
}

// Draws the sample set on the sky dome, titled with the sky (as named on the
// command line), the sun and the number of points.
bool plotSamplePoints(OutputFile& output, const std::string& skyName, const Sky& sky,
                      const Sequence<SamplePoint>& set) {
  std::vector<SkyPoint> points;
  for (int i = 0; i < set.numElements; ++i) {
    const SamplePoint& point = set.element(i);
    points.push_back({displayedBearing(point.azimuth), displayedElevation(point.elevation), point.weight});
  }
  char title[160];
  std::snprintf(title, sizeof title, "%s sky, sun at %.0f\u00b0 elevation and bearing %.0f\u00b0: %d points",
                skyName.c_str(), displayedElevation(sky.sunElevation()), displayedBearing(sky.sunAzimuth()),
                set.numElements);
  return writeSkyPlotPng(output, points, title);
}

// The notes after the file is written: the weights not fitted (beyond
// kMaxFittedPoints), and the point count when it is not the one asked for or
// with --report, the latter with the accuracy of the set as the file holds it.
void reportSet(const Options& options, const Sky& sky, Sequence<SamplePoint> points,
               bool weightsFitted) {
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

int run(OptionReader& args) {
  const Options options = parseArguments(args);
  OutputFileSet outputs;
  OutputFile standardOutput = OutputFile::standardOutput();
  OutputFile& sampleFile = options.output == "-" ? standardOutput : outputs.add(options.output);
  OutputFile* plot = options.plot.empty() ? nullptr : &outputs.add(options.plot);
  std::string error;
  if (!outputs.checkAll(error)) failInputOutput(error);
  if (&sampleFile == &standardOutput && !standardOutput.check()) failInputOutput(standardOutput.error());

  setSkyDiagnostics(stderr, stderr);
  AppState state;
  state.sky = Sky(options.distribution, options.generalType, options.sunElevation, options.sunAzimuth);
  state.numSamplePoints = options.points;
  state.equalShares = options.equalShares;

  // The window's commands without a terrain: "p" for a stratified set, the
  // steps of "-" (a jittered grid, then its weights) for a jittered one; the
  // spiral set and its weights from the library.
  CommandTarget target{state, {}};
  Sequence<SamplePoint> points;
  bool weightsFitted = true;
  if (options.set == "spiral") {
    points = computeSpiralSamples(state.sky, options.points);
    roundToFile(points, options.decimals);
    if (options.weights == "fitted") weightsFitted = fitSampleWeights(state.sky, points);
  } else {
    if (options.set == "stratified") {
      computeSamplePointsCommand(target);
    } else {
      jitteredSamplePointsCommand(target);
    }
    points = state.samplePoints;
  }

  if (!sampleFile.open() || !sampleFile.write(formatSamplePoints(state.sky, points, options.decimals)))
    failInputOutput(sampleFile.error());
  if (plot && !plotSamplePoints(*plot, options.skyName, state.sky, points)) failInputOutput(plot->error());
  if (!outputs.commitAll(error)) failInputOutput(error);
  if (&sampleFile == &standardOutput && !standardOutput.commit()) failInputOutput(standardOutput.error());
  reportSet(options, state.sky, points, weightsFitted);
  return kExitDone;
}

}  // namespace

int main(int argc, char** argv) { return runTool(kTool, argc, argv, run); }
