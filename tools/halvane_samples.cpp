// halvane-samples: a sample set of the sky without the window, for scripts and
// annual studies. It writes exactly the sample point file that the window
// writes for the same sky, sun, number of points and share rule.
//
//   halvane-samples [--sky NAME] [--sun ELEVATION,BEARING] [--points N]
//                   [--shares equal|luminance] [--set stratified|jittered|spiral]
//                   [--weights cells|fitted] [--decimals D] [--report] [-o FILE]
//
// Without -o (or with -o -) the file goes to standard output. The sky model's
// diagnostics go to standard error so that they cannot mix with it, and so do
// the notes: the point count when it differs from the one asked for, the
// accuracy with --report, and fitted weights that were not fitted.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "app/app_state.h"
#include "app/commands.h"
#include "sampling/accuracy.h"
#include "sampling/file_directions.h"
#include "sampling/fitted_weights.h"
#include "sampling/sample_file.h"
#include "sampling/spiral_set.h"
#include "sky/sky_model.h"
#include "tools/sky_options.h"

namespace {

const char* const kUsage =
    "usage: halvane-samples [--sky NAME] [--sun ELEVATION,BEARING] [--points N]\n"
    "                       [--shares equal|luminance] [--set stratified|jittered|spiral]\n"
    "                       [--weights cells|fitted] [--decimals D] [--report] [-o FILE]\n"
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
    "  --help                     this text\n";

const char* const kOptionsAccepted =
    "--sky NAME, --sun ELEVATION,BEARING, --points N, --shares equal|luminance, "
    "--set stratified|jittered|spiral, --weights cells|fitted, --decimals D, --report, -o FILE, "
    "--help";

[[noreturn]] void badArgument(const std::string& message) {
  std::fprintf(stderr, "halvane-samples: %s\n", message.c_str());
  std::exit(2);
}

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
};

// A whole number from 1 to 10000, nothing else in the text.
bool parsePointCount(const std::string& text, int& count) {
  if (text.empty() || text.size() > 5) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  count = std::atoi(text.c_str());
  return count >= 1 && count <= 10000;
}

std::string quoted(const std::string& value) { return "'" + value + "'"; }

// The value of an option, from "--name=value" or from the next argument.
std::string optionValue(int argc, char** argv, int& i, const std::string& name,
                        const std::string& inlineValue, bool hasInlineValue,
                        const std::string& accepted) {
  if (hasInlineValue) return inlineValue;
  if (i + 1 >= argc) badArgument(name + " needs a value: " + accepted);
  return argv[++i];
}

Options parseArguments(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    std::string name = argv[i], inlineValue;
    bool hasInlineValue = false;
    const size_t equals = name.find('=');
    if (name.compare(0, 2, "--") == 0 && equals != std::string::npos) {
      inlineValue = name.substr(equals + 1);
      name = name.substr(0, equals);
      hasInlineValue = true;
    }
    auto value = [&](const std::string& accepted) {
      return optionValue(argc, argv, i, name, inlineValue, hasInlineValue, accepted);
    };
    if (name == "--help" && !hasInlineValue) {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else if (name == "--sky") {
      const std::string sky = value(kSkyNamesAccepted);
      if (!parseSkyName(sky, options.distribution, options.generalType))
        badArgument("--sky takes " + std::string(kSkyNamesAccepted) + ", not " + quoted(sky));
    } else if (name == "--sun") {
      const std::string sun = value(kSunAccepted);
      if (!parseSun(sun, options.sunElevation, options.sunAzimuth))
        badArgument("--sun takes " + std::string(kSunAccepted) + ", not " + quoted(sun));
    } else if (name == "--points") {
      const std::string count = value("a whole number from 1 to 10000");
      if (!parsePointCount(count, options.points))
        badArgument("--points takes a whole number from 1 to 10000, not " + quoted(count));
    } else if (name == "--shares") {
      const std::string shares = value("equal or luminance");
      if (shares != "equal" && shares != "luminance")
        badArgument("--shares takes equal or luminance, not " + quoted(shares));
      options.equalShares = shares == "equal";
      options.sharesGiven = true;
    } else if (name == "--set") {
      options.set = value("stratified, jittered or spiral");
      if (options.set != "stratified" && options.set != "jittered" && options.set != "spiral")
        badArgument("--set takes stratified, jittered or spiral, not " + quoted(options.set));
    } else if (name == "--weights") {
      options.weights = value("cells or fitted");
      if (options.weights != "cells" && options.weights != "fitted")
        badArgument("--weights takes cells or fitted, not " + quoted(options.weights));
    } else if (name == "--decimals") {
      const std::string decimals = value("a whole number from 0 to 6");
      if (decimals.size() != 1 || decimals[0] < '0' || decimals[0] > '6')
        badArgument("--decimals takes a whole number from 0 to 6, not " + quoted(decimals));
      options.decimals = decimals[0] - '0';
    } else if (name == "--report" && !hasInlineValue) {
      options.report = true;
    } else if (name == "-o" && !hasInlineValue) {
      options.output = value("the name of the file to write, or - for standard output");
      if (options.output.empty())
        badArgument("-o takes the name of the file to write, or - for standard output, not ''");
    } else {
      badArgument("unknown argument " + quoted(argv[i]) + "; accepted: " + kOptionsAccepted);
    }
  }
  if (!options.weights.empty() && options.set != "spiral")
    badArgument("--weights " + options.weights + " needs --set spiral");
  if (options.sharesGiven && options.set == "spiral")
    badArgument("--shares applies to the stratified set, not to --set spiral");
  return options;
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

}  // namespace

int main(int argc, char** argv) {
  const Options options = parseArguments(argc, argv);
  setSkyDiagnostics(stderr, stderr);
  AppState state;
  state.sky = Sky(options.distribution, options.generalType, options.sunElevation,
                  options.sunAzimuth);
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

  const std::string text = formatSamplePoints(state.sky, points, options.decimals);
  if (options.output == "-") {
    if (!writeSamplePointsTo(std::cout, text)) {
      std::fprintf(stderr, "halvane-samples: could not write to standard output\n");
      return 1;
    }
  } else if (!recordSamplePoints(options.output, text)) {
    return 1;
  }
  reportSet(options, state.sky, points, weightsFitted);
  return 0;
}
