// halvane-samples: a sample set of the sky without the window, for scripts and
// annual studies. It writes exactly the sample point file that the window
// writes for the same sky, sun, number of points and share rule.
//
//   halvane-samples [--sky NAME] [--sun ELEVATION,BEARING] [--points N]
//                   [--shares equal|luminance] [--set stratified|jittered]
//                   [-o FILE] [--plot FILE.png]
//
// Without -o (or with -o -) the file goes to standard output. The sky model's
// diagnostics go to standard error so that they cannot mix with it.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/commands.h"
#include "core/angles.h"
#include "sampling/sample_file.h"
#include "sky/sky_model.h"
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
    "  --help                     this text\n";

const char* const kOptionsAccepted =
    "--sky NAME, --sun ELEVATION,BEARING, --points N, --shares equal|luminance, "
    "--set stratified|jittered, -o FILE, --plot FILE.png, --help";

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
  bool stratified = true;
  std::string output = "-";
  std::string plot;
  std::string sky = "clear";  // as given, for the plot's title
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
      options.sky = sky;
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
    } else if (name == "--set") {
      const std::string set = value("stratified or jittered");
      if (set != "stratified" && set != "jittered")
        badArgument("--set takes stratified or jittered, not " + quoted(set));
      options.stratified = set == "stratified";
    } else if (name == "-o" && !hasInlineValue) {
      options.output = value("the name of the file to write, or - for standard output");
      if (options.output.empty())
        badArgument("-o takes the name of the file to write, or - for standard output, not ''");
    } else if (name == "--plot") {
      options.plot = value("the name of the PNG file to draw");
      if (options.plot.empty()) badArgument("--plot takes the name of the PNG file to draw, not ''");
    } else {
      badArgument("unknown argument " + quoted(argv[i]) + "; accepted: " + kOptionsAccepted);
    }
  }
  return options;
}

// Draws the sample set on the sky dome, titled with the sky (as named on the
// command line), the sun and the number of points.
bool plotSamplePoints(const std::string& fileName, const std::string& skyName, const Sky& sky,
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
  std::string error;
  if (writeSkyPlotPng(fileName, points, title, error)) return true;
  std::fprintf(stderr, "halvane-samples: %s\n", error.c_str());
  return false;
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
  // steps of "-" (a jittered grid, then its weights) for a jittered one.
  CommandTarget target{state, {}};
  if (options.stratified) {
    computeSamplePointsCommand(target);
  } else {
    jitteredSamplePointsCommand(target);
  }

  const std::string text = formatSamplePoints(state.sky, state.samplePoints);
  bool written = true;
  if (options.output == "-") {
    if (!writeSamplePointsTo(std::cout, text)) {
      std::fprintf(stderr, "halvane-samples: could not write to standard output\n");
      written = false;
    }
  } else {
    written = recordSamplePoints(options.output, text);
  }
  // The plot comes second: a plot that cannot be drawn costs no sample file.
  if (!options.plot.empty() &&
      !plotSamplePoints(options.plot, options.sky, state.sky, state.samplePoints))
    written = false;
  return written ? 0 : 1;
}
