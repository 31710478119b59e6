// halvane-samples as scripts run it: its output against the library's for the
// same state, and its refusals.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <dirent.h>

#include <algorithm>
#include <cstdio>

#include "core/test_files.h"
#include "sampling/file_directions.h"
#include "sampling/fitted_weights.h"
#include "sampling/sample_file.h"
#include "sampling/spiral_set.h"
#include "sampling/sample_points.h"
#include "sky/site_sun.h"
#include "sky/sky_model.h"

namespace {

bool exists(const std::string& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0;
}

struct ToolRun {
  int status = -1;
  std::string out, err;
};

std::string shellQuoted(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

class HalvaneSamplesTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/halvane-samples-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    EXPECT_EQ(std::system(("rm -rf " + shellQuoted(folder_)).c_str()), 0);
  }

  // Runs the tool with the arguments; standard output goes to stdoutTarget
  // (a file of the test folder by default).
  ToolRun runTool(const std::vector<std::string>& arguments, const std::string& stdoutTarget = "") {
    const std::string out = stdoutTarget.empty() ? path("stdout") : stdoutTarget;
    std::string command = shellQuoted(HALVANE_SAMPLES_TOOL);
    for (const std::string& argument : arguments) command += " " + shellQuoted(argument);
    command += " >" + shellQuoted(out) + " 2>" + shellQuoted(path("stderr"));
    ToolRun result;
    const int status = std::system(command.c_str());
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = stdoutTarget.empty() ? readFile(out) : "";
    result.err = readFile(path("stderr"));
    return result;
  }

  std::string path(const std::string& name) const { return folder_ + "/" + name; }

  // A bad argument: status 2, one line naming each of `mentions`, nothing on
  // standard output and no file written (-o names a batch's pattern, so that
  // batches get as far as their times).
  void expectRefused(std::vector<std::string> arguments, const std::vector<std::string>& mentions) {
    arguments.insert(arguments.begin(), {"-o", path("never-{time}.txt")});
    const ToolRun run = runTool(arguments);
    SCOPED_TRACE(mentions.front());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    ASSERT_FALSE(run.err.empty());
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_EQ(run.err.compare(0, 17, "halvane-samples: "), 0) << run.err;
    for (const std::string& part : mentions) EXPECT_NE(run.err.find(part), std::string::npos) << run.err;
    EXPECT_EQ(writtenFiles(), std::vector<std::string>{});
  }

  // The files of the test folder but the tool's standard output and error.
  std::vector<std::string> writtenFiles() const {
    std::vector<std::string> names;
    DIR* folder = ::opendir(folder_.c_str());
    while (dirent* entry = folder ? ::readdir(folder) : nullptr) {
      const std::string name = entry->d_name;
      if (name != "." && name != ".." && name != "stdout" && name != "stderr" && name != "times.txt")
        names.push_back(name);
    }
    if (folder) ::closedir(folder);
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string folder_;
};

// The file of the sample set functions themselves for the same sky (without
// a terrain, the window's commands leave exactly their set).
std::string libraryText(SkyDistribution distribution, int generalType, float sunElevation,
                        float sunAzimuth, int points, bool equalShares, bool stratified) {
  const Sky sky(distribution, generalType, sunElevation, sunAzimuth);
  SampleSet set;
  if (stratified) {
    set = computeStratifiedSamples(sky, points, equalShares);
  } else {
    set = computeJitteredSamples(sky, points);
    computeSampleWeights(sky, set.samplePoints, set.regionPolygons);
  }
  return formatSamplePoints(sky, set.samplePoints);
}

TEST_F(HalvaneSamplesTest, DefaultsGiveTheDefaultStratifiedSetOfTheWindow) {
  const ToolRun run = runTool({});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, readFile(std::string(HALVANE_SOURCE_DIR) + "/sampling/testdata/default_250.txt"));
  // The defaults spelt out give the same bytes.
  EXPECT_EQ(runTool({"--sky", "clear", "--sun", "45,180", "--points", "250", "--shares", "equal",
                     "--set", "stratified", "-o", "-"})
                .out,
            run.out);
}

TEST_F(HalvaneSamplesTest, OutputEqualsTheLibrarysForTheSameState) {
  const float thirty = static_cast<float>(30 * 3.14159 / 180);
  ToolRun run = runTool({"--sky", "general-7", "--sun", "30,90", "--points", "100", "--shares",
                       "luminance"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, libraryText(SkyDistribution::GENERAL, 6, thirty, 0, 100, false, true));

  // Bearing 0 is north, +y: azimuth 90 degrees.
  run = runTool({"--sky=overcast", "--sun=30,0", "--points=40"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, libraryText(SkyDistribution::OVERCAST, 11, thirty, static_cast<float>(90 * 3.14159 / 180), 40,
                                 true, true));

  // To a file: the same text, nothing on standard output; the grid has fewer
  // points than asked for, and the tool says so.
  run = runTool({"--sky", "point", "--set", "jittered", "--points", "30", "-o", path("set.txt")});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "halvane-samples: 11 points (30 asked for)\n");
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(readFile(path("set.txt")),
            libraryText(SkyDistribution::POINT, 11, 0.7853975f, 4.712385f, 30, true, false));

  // With a plot: the same file, and a PNG beside it. A plot that cannot be
  // written is found before the work, and then no file is written at all.
  run = runTool({"--sky", "point", "--set", "jittered", "--points", "30", "-o", path("plotted.txt"), "--plot",
                 path("set.png")});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(readFile(path("plotted.txt")), readFile(path("set.txt")));
  EXPECT_EQ(readFile(path("set.png")).compare(0, 8, "\x89PNG\r\n\x1a\n"), 0);
  run = runTool({"--points", "30", "-o", path("set.txt"), "--plot", path("missing/set.png")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("missing/set.png"), std::string::npos) << run.err;
  EXPECT_EQ(readFile(path("set.txt")), readFile(path("plotted.txt")));
}

// The spiral set as the tool writes it: the library's set, rounded to the
// file's decimals, then fitted.
TEST_F(HalvaneSamplesTest, SpiralSetIsTheLibrarysRoundedThenFitted) {
  const Sky sky(SkyDistribution::SHARP, 11, static_cast<float>(15 * 3.14159 / 180),
                static_cast<float>(270 * 3.14159 / 180));
  for (int decimals : {0, 2}) {
    Sequence<SamplePoint> points = computeSpiralSamples(sky, 145);
    roundToFile(points, decimals);
    const std::string cells = formatSamplePoints(sky, points, decimals);
    ASSERT_TRUE(fitSampleWeights(sky, points));
    const std::string fitted = formatSamplePoints(sky, points, decimals);
    const std::string d = std::to_string(decimals);
    ToolRun run = runTool({"--sky", "sharp", "--sun", "15,180", "--set", "spiral", "--points", "145",
                           "--decimals", d});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, cells);
    run = runTool({"--sky", "sharp", "--sun", "15,180", "--set=spiral", "--weights=fitted",
                   "--points=145", "--decimals=" + d});
    EXPECT_EQ(run.out, fitted);
    EXPECT_NE(fitted, cells);
  }
  // Beyond the fitted sizes the cell weights are written, with a note.
  const ToolRun big = runTool({"--set", "spiral", "--weights", "fitted", "--points", "2001"});
  EXPECT_EQ(big.status, 0);
  EXPECT_EQ(big.out, runTool({"--set", "spiral", "--points", "2001"}).out);
  EXPECT_EQ(big.err,
            "halvane-samples: weights of 2001 points are not fitted (fitting stops at 2000); each is "
            "the light of its cell\n");
}

// --report adds one line on standard error, after the file, which it leaves
// as it is; the point count is noted whenever it is not the one asked for.
TEST_F(HalvaneSamplesTest, ReportGivesTheCountAndTheAccuracyOnOneLine) {
  ToolRun run = runTool({"--set", "spiral", "--points", "60", "--decimals", "1", "--report"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, runTool({"--set", "spiral", "--points", "60", "--decimals", "1"}).out);
  EXPECT_EQ(run.err.compare(0, 45, "halvane-samples: 60 points; irradiance off by"), 0) << run.err;
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
  EXPECT_NE(run.err.find("southern horizon at 10, 20, 30 degrees"), std::string::npos) << run.err;

  run = runTool({"--sky", "uniform", "--points", "250"});
  EXPECT_EQ(run.err, "halvane-samples: 249 points (250 asked for)\n");
}

TEST_F(HalvaneSamplesTest, BadArgumentsAreRefusedWithOneLineAndNoFile) {
  const struct {
    std::vector<std::string> arguments;
    const char* named;  // the argument and what is accepted, as the line gives them
    const char* accepted;
  } cases[] = {
      {{"--sky", "foggy"}, "'foggy'", "general-1 to general-15"},
      {{"--sun", "95,10"}, "'95,10'", "elevation 0 to 90"},
      {{"--sun", "45"}, "'45'", "bearing 0 to 360"},
      {{"--points", "0"}, "'0'", "1 to 10000"},
      {{"--shares", "fair"}, "'fair'", "equal or luminance"},
      {{"--set", "random"}, "'random'", "stratified, jittered or spiral"},
      {{"--weights", "best"}, "'best'", "cells or fitted"},
      {{"--weights", "fitted"}, "--weights fitted", "--set spiral"},
      {{"--set", "spiral", "--shares", "equal"}, "--shares", "--set spiral"},
      {{"--decimals", "7"}, "'7'", "0 to 6"},
      {{"--decimals", "-1"}, "'-1'", "0 to 6"},
      {{"--decimals=1.5"}, "'1.5'", "0 to 6"},
      {{"--report=yes"}, "'--report=yes'", "--report"},
      {{"-o", ""}, "-o", "standard output"},
      {{"--frobnicate"}, "'--frobnicate'", "--set stratified|jittered"},
      {{"extra"}, "'extra'", "--points N"},
  };
  for (const auto& c : cases) expectRefused(c.arguments, {c.named, c.accepted});
}

TEST_F(HalvaneSamplesTest, HelpGoesToStandardOutputAndFailedWritesEndWithStatusOne) {
  ToolRun run = runTool({"--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.compare(0, 23, "usage: halvane-samples "), 0);
  EXPECT_EQ(run.err, "");

  run = runTool({"--points", "20"}, "/dev/full");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "halvane-samples: cannot write standard output: No space left on device\n");

  const std::string name = path("missing/set.txt");
  run = runTool({"--points", "20", "-o", name});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "halvane-samples: cannot write " + name + ": No such file or directory\n");
}

// ---- Skies at a site and time, one or many -------------------------------------------

const char* const kOslo = "59.91,10.75";

TEST_F(HalvaneSamplesTest, ASiteAndTimeGiveTheFileOfTheSameDegreesTypedAsTheSun) {
  // The sun the library computes for the site and time, typed with every
  // digit, gives the same bytes as --site and --time themselves.
  UtcTime time;
  std::string error;
  ASSERT_TRUE(parseIsoTime("2026-03-20T09:30+01:00", time, error));
  const SiteSun sun = sunAtSite({59.91, 10.75}, time);
  char typed[64];
  std::snprintf(typed, sizeof typed, "%.17g,%.17g", sun.elevationDegrees, sun.bearingDegrees);
  const ToolRun fromSite =
      runTool({"--sky", "general-5", "--points", "60", "--site", kOslo, "--time", "2026-03-20T09:30+01:00"});
  const ToolRun fromSun = runTool({"--sky", "general-5", "--points", "60", "--sun", typed});
  EXPECT_EQ(fromSite.status, 0);
  EXPECT_EQ(fromSite.err, fromSun.err);  // the same notes, if any
  EXPECT_EQ(fromSite.out, fromSun.out);
  EXPECT_EQ(fromSite.out, libraryText(SkyDistribution::GENERAL, 4, sun.elevation, sun.azimuth, 60, true, true));
}

TEST_F(HalvaneSamplesTest, BatchFilesAreTheSingleRunsFilesForTheTimesWithTheSunUp) {
  // A winter day in Oslo every three hours: the sun is up at 09:00 and 12:00
  // UTC only. Numbered among all nine times, the day's files are 4 and 5.
  const std::vector<std::string> common = {"--sky", "clear", "--points", "40", "--site", kOslo};
  std::vector<std::string> batch = common;
  batch.insert(batch.end(), {"--from", "2026-12-21T00:00Z", "--to", "2026-12-22T00:00Z", "--step", "180", "-o",
                             path("{n}-{time}.txt"), "--plot", path("{time}.png")});
  ToolRun run = runTool(batch);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "halvane-samples: 2 sample files written, 7 of the 9 times skipped (the sun below the horizon)\n");
  EXPECT_EQ(writtenFiles(), (std::vector<std::string>{"20261221T0900Z.png", "20261221T1200Z.png",
                                                      "4-20261221T0900Z.txt", "5-20261221T1200Z.txt"}));
  for (const char* time : {"2026-12-21T09:00Z", "2026-12-21T12:00Z"}) {
    std::vector<std::string> single = common;
    single.insert(single.end(), {"--time", time, "-o", path("single.txt"), "--plot", path("single.png")});
    ASSERT_EQ(runTool(single).status, 0);
    const std::string compact = std::string(time).substr(0, 4) + "1221T" + std::string(time).substr(11, 2) + "00Z";
    const std::string n = time[12] == '9' ? "4-" : "5-";
    EXPECT_EQ(readFile(path(n + compact + ".txt")), readFile(path("single.txt"))) << time;
    EXPECT_EQ(readFile(path(compact + ".png")), readFile(path("single.png"))) << time;
  }

  // The same times from a list, with comments, a blank line and other
  // offsets, numbered by their place in the list.
  writeFile(path("times.txt"), "# solstice\n2026-12-21T10:00+01:00\n\n2026-12-21T13:00+01:00\n2026-12-21T23:00Z\n");
  run = runTool({"--sky", "clear", "--points", "40", "--site", kOslo, "--times", path("times.txt"), "-o",
                 path("list-{n}.txt")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(readFile(path("list-1.txt")), readFile(path("4-20261221T0900Z.txt")));
  EXPECT_EQ(readFile(path("list-2.txt")), readFile(path("5-20261221T1200Z.txt")));
  EXPECT_FALSE(exists(path("list-3.txt")));

  // The spiral set with fitted weights and decimals, the same way.
  const std::vector<std::string> spiral = {"--set", "spiral", "--weights", "fitted", "--decimals", "2", "--points",
                                           "30", "--site", kOslo};
  batch = spiral;
  batch.insert(batch.end(), {"--times", path("times.txt"), "-o", path("spiral-{n}.txt")});
  ASSERT_EQ(runTool(batch).status, 0);
  std::vector<std::string> single = spiral;
  single.insert(single.end(), {"--time", "2026-12-21T13:00+01:00", "-o", path("spiral.txt")});
  ASSERT_EQ(runTool(single).status, 0);
  EXPECT_EQ(readFile(path("spiral-2.txt")), readFile(path("spiral.txt")));
}

TEST_F(HalvaneSamplesTest, ABatchStopsAtAFileItCannotWriteAndKeepsTheOnesBefore) {
  // The name of the second file is taken by a folder.
  ASSERT_EQ(::mkdir(path("2-20260621T1200Z.txt").c_str(), 0755), 0);
  const ToolRun run = runTool({"--points", "20", "--site", kOslo, "--from", "2026-06-21T09:00Z", "--to",
                               "2026-06-21T18:00Z", "--step", "180", "-o", path("{n}-{time}.txt")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
  EXPECT_NE(run.err.find("cannot write " + path("2-20260621T1200Z.txt")), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("the 1 files of the times before it were written"), std::string::npos) << run.err;
  EXPECT_EQ(writtenFiles(), (std::vector<std::string>{"1-20260621T0900Z.txt", "2-20260621T1200Z.txt"}));
}

TEST_F(HalvaneSamplesTest, BadTimesAndSitesAreRefusedWithOneLineAndNoFile) {
  writeFile(path("times.txt"), "2026-06-21T10:00Z\n# fine so far\n2026-06-21 11:00\n");
  const struct {
    std::vector<std::string> arguments;
    const char* named;
  } cases[] = {
      {{"--site", kOslo, "--time", "21/06/2026 10:00"}, "not a date and time"},
      {{"--site", kOslo, "--time", "2026-06-21T10:00"}, "no UTC offset"},
      {{"--site", kOslo, "--time", "2026-06-31T10:00Z"}, "day 31 does not exist"},
      {{"--site", "90.5,10", "--time", "2026-06-21T10:00Z"}, "latitude -90 to 90"},
      {{"--site", "45,-180.01", "--time", "2026-06-21T10:00Z"}, "longitude -180 to 180"},
      {{"--site", "nan,10", "--time", "2026-06-21T10:00Z"}, "'nan,10'"},
      {{"--site", kOslo, "--time", "2026-06-21T10:00Z", "--sun", "30,180"}, "give the sun one way"},
      {{"--time", "2026-06-21T10:00Z"}, "give --site"},
      {{"--site", kOslo}, "--site needs a time"},
      {{"--site", kOslo, "--time", "2026-06-21T23:00Z"}, "the sun is below the horizon at 2026-06-21T23:00:00Z"},
      {{"--site", kOslo, "--times", path("times.txt")}, "times.txt line 3: no UTC offset"},
      {{"--site", kOslo, "--from", "2026-06-21T00:00Z", "--to", "2026-06-22T00:00Z"}, "all three"},
      {{"--site", kOslo, "--from", "2026-06-22T00:00Z", "--to", "2026-06-21T00:00Z", "--step", "60"}, "before"},
      {{"--site", kOslo, "--from", "2026-06-21T00:00Z", "--to", "2026-06-22T00:00Z", "--step", "0"}, "above 0"},
      {{"--site", kOslo, "--time", "2026-06-21T10:00Z", "--times", path("times.txt")}, "one way"},
  };
  for (const auto& c : cases) expectRefused(c.arguments, {c.named});
  // Batches need names for their files, and names of their own.
  const std::vector<std::string> day = {"--site", kOslo, "--from", "2026-06-21T08:00Z", "--to",
                                        "2026-06-21T12:00Z", "--step", "60"};
  for (const std::vector<std::string>& names :
       {std::vector<std::string>{"-o", path("one.txt")}, std::vector<std::string>{"-o", "-"},
        std::vector<std::string>{"-o", path("{time}.txt"), "--plot", path("plot.png")}}) {
    std::vector<std::string> arguments = day;
    arguments.insert(arguments.end(), names.begin(), names.end());
    const ToolRun run = runTool(arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("pattern with {time} or {n}"), std::string::npos) << run.err;
  }
  writeFile(path("times.txt"), "2026-06-21T10:00Z\n2026-06-21T12:00+02:00\n");
  const ToolRun run = runTool({"--site", kOslo, "--times", path("times.txt"), "-o", path("{time}.txt")});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("two files of the batch would be named"), std::string::npos) << run.err;
  EXPECT_EQ(writtenFiles(), std::vector<std::string>{});
}

}  // namespace
