// halvane-samples: a sample set of the sky without the window, for scripts and
// annual studies. It writes exactly the sample point file that the window
// writes for the same sky, sun, number of points and share rule.
//
//   halvane-samples [--sky NAME] [--sun ELEVATION,BEARING] [--points N]
//                   [--shares equal|luminance] [--set stratified|jittered]
//                   [-o FILE]
//
// Without -o (or with -o -) the file goes to standard output. The sky model's
// diagnostics go to standard error so that they cannot mix with it. The file
// is written like every file of Halvane (core/output_file.h); a failure is
// one line, "halvane-samples: cannot write FILE: reason", and status 1.
#include <string>

#include "app/app_state.h"
#include "core/output_file.h"
#include "sampling/regions.h"
#include "sampling/sample_file.h"
#include "sampling/sample_points.h"
#include "sky/sky_model.h"
#include "tools/options.h"
#include "tools/sky_options.h"

namespace {

const char* const kUsage =
    "usage: halvane-samples [--sky NAME] [--sun ELEVATION,BEARING] [--points N]\n"
    "                       [--shares equal|luminance] [--set stratified|jittered] [-o FILE]\n"
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
    "  --set stratified|jittered  points picked by luminance class, or a jittered grid\n"
    "                             (default stratified)\n"
    "  -o FILE                    the file to write (default, or -, standard output)\n"
    "  -h, --help                 this text\n"
    "  --version                  the version of Halvane\n"
    "Exit status: 0 done, 1 the file could not be written, 2 a bad argument.\n";

const ToolDescription kTool = {
    "halvane-samples", kUsage,
    "--sky NAME, --sun ELEVATION,BEARING, --points N, --shares equal|luminance, "
    "--set stratified|jittered, -o FILE, --help, --version"};

struct Options {
  SkyDistribution distribution = CLEAR;
  int generalType = appState.generalType;
  float sunElevation = appState.sunElevation;
  float sunAzimuth = appState.sunAzimuth;
  int points = 250;
  bool equalShares = true;
  bool stratified = true;
  std::string output = "-";
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
    if (readSkyOrSun(args, options.distribution, options.generalType, options.sunElevation, options.sunAzimuth))
      continue;
    if (args.is("--points")) {
      options.points = int(args.wholeNumber(1, 10000));
    } else if (args.is("--shares")) {
      options.equalShares = chooseWord(args, "equal", "luminance");
    } else if (args.is("--set")) {
      options.stratified = chooseWord(args, "stratified", "jittered");
    } else if (args.is("-o")) {
      const char* what = "the name of the file to write, or - for standard output";
      options.output = args.value(what);
      if (options.output.empty()) args.refuse(what, options.output);
    } else {
      args.unknown();
    }
  }
  return options;
}

int run(OptionReader& args) {
  const Options options = parseArguments(args);
  OutputFile output = options.output == "-" ? OutputFile::standardOutput() : OutputFile(options.output);
  if (!output.check()) failInputOutput(output.error());

  setSkyDiagnostics(stderr, stderr);
  applySkyAndSun(options.distribution, options.generalType, options.sunElevation,
                 options.sunAzimuth);
  appState.numSamplePoints = options.points;
  appState.equalShares = options.equalShares;

  // The same steps as the window's commands: "p" for a stratified set, "-"
  // (a jittered grid, then its weights) for a jittered one.
  RegionPolygons regions;
  if (options.stratified) {
    computeStratifiedSamples(regions);
  } else {
    computeJitteredSamples(regions);
    computeSampleWeights(regions);
  }

  if (!output.write(formatSamplePoints()) || !output.commit()) failInputOutput(output.error());
  return kExitDone;
}

}  // namespace

int main(int argc, char** argv) { return runTool(kTool, argc, argv, run); }
