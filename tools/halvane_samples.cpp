// halvane-samples: a sample set of the sky without the window, for scripts and
// annual studies. It writes exactly the sample point file that the window
// writes for the same sky, sun, number of points and share rule.
//
//   halvane-samples [--sky NAME] [--sun ELEVATION,BEARING] [--points N]
//                   [--shares equal|luminance] [--set stratified|jittered]
//                   [-o FILE] [--plot FILE.png]
//
// Without -o (or with -o -) the file goes to standard output. The sky model's
// diagnostics go to standard error so that they cannot mix with it. The file
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
#include "sampling/sample_file.h"
#include "sky/sky_model.h"
#include "tools/options.h"
#include "tools/sky_options.h"
#include "tools/sky_plot.h"

namespace {

const char* const kUsage =
    "usage: halvane-samples [--sky NAME] [--sun ELEVATION,BEARING] [--points N]\n"
    "                       [--shares equal|luminance] [--set stratified|jittered] [-o FILE]\n"
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
    "  --set stratified|jittered  points picked by luminance class, or a jittered grid\n"
    "                             (default stratified)\n"
    "  -o FILE                    the file to write (default, or -, standard output)\n"
    "  --plot FILE.png            also draw the set on the sky dome: north up, zenith at\n"
    "                             the centre, each point coloured by its weight\n"
    "  -h, --help                 this text\n"
    "  --version                  the version of Halvane\n"
    "Exit status: 0 done, 1 the file could not be written, 2 a bad argument.\n";

const ToolDescription kTool = {
    "halvane-samples", kUsage,
    "--sky NAME, --sun ELEVATION,BEARING, --points N, --shares equal|luminance, "
    "--set stratified|jittered, -o FILE, --plot FILE.png, --help, --version"};

struct Options {
  SkyDistribution distribution = SkyDistribution::CLEAR;
  int generalType = Sky().generalType;
  float sunElevation = kDefaultSunElevation;
  float sunAzimuth = kDefaultSunAzimuth;
  int points = 250;
  bool equalShares = true;
  bool stratified = true;
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
    } else if (args.is("--set")) {
      options.stratified = chooseWord(args, "stratified", "jittered");
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
  // steps of "-" (a jittered grid, then its weights) for a jittered one.
  CommandTarget target{state, {}};
  if (options.stratified) {
    computeSamplePointsCommand(target);
  } else {
    jitteredSamplePointsCommand(target);
  }

  if (!sampleFile.open() || !sampleFile.write(formatSamplePoints(state.sky, state.samplePoints)))
    failInputOutput(sampleFile.error());
  if (plot && !plotSamplePoints(*plot, options.skyName, state.sky, state.samplePoints))
    failInputOutput(plot->error());
  if (!outputs.commitAll(error)) failInputOutput(error);
  if (&sampleFile == &standardOutput && !standardOutput.commit()) failInputOutput(standardOutput.error());
  return kExitDone;
}

}  // namespace

int main(int argc, char** argv) { return runTool(kTool, argc, argv, run); }
