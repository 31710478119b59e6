// halvane-samples as scripts run it: against the library and single runs.
#include <sys/stat.h>

#include <cmath>
#include <string>
#include <vector>

#include "sampling/file_directions.h"
#include "sampling/fitted_weights.h"
#include "sampling/sample_file.h"
#include "sampling/sample_points.h"
#include "sampling/spiral_set.h"
#include "sky/site_sun.h"
#include "sky/sky_model.h"
#include "terrain/georeference.h"
#include "tools/tool_test_files.h"

namespace {

const std::string kOslo = " --site 59.91,10.75";

using HalvaneSamplesTest = ToolTest;

// The library's file of the set (the window's commands leave exactly it).
std::string libraryText(const Sky& sky, int points, bool equalShares, bool stratified) {
  SampleSet set;
  if (stratified) {
    set = computeStratifiedSamples(sky, points, equalShares);
  } else {
    set = computeJitteredSamples(sky, points);
    computeSampleWeights(sky, set.samplePoints, set.regionPolygons);
  }
  return formatSamplePoints(sky, set.samplePoints);
}

// The spiral set is the library's, rounded to the file's decimals, then
// fitted; beyond the fitted sizes it keeps the cell weights, with a note.
TEST_F(HalvaneSamplesTest, OutputIsTheWindowsDefaultAndTheLibrarysSetForTheSameSky) {
  const float thirty = static_cast<float>(30 * 3.14159 / 180), north = static_cast<float>(90 * 3.14159 / 180);
  const Sky sharp(SkyDistribution::SHARP, 11, static_cast<float>(15 * 3.14159 / 180),
                  static_cast<float>(270 * 3.14159 / 180));
  Sequence<SamplePoint> spiral = computeSpiralSamples(sharp, 145);
  roundToFile(spiral, 2);
  const std::string cells = formatSamplePoints(sharp, spiral, 2);
  ASSERT_TRUE(fitSampleWeights(sharp, spiral));
  const std::string sharpSpiral = " --sky sharp --sun 15,180 --set spiral --points 145 --decimals 2";
  const std::string golden = readFile(std::string(HALVANE_SOURCE_DIR) + "/sampling/testdata/default_250.txt");
  const std::pair<std::string, std::string> cases[] = {
      {"", golden},
      {" --sky clear --sun 45,180 --points 250 --shares equal --set stratified -o -", golden},
      {" --sky general-7 --sun 30,90 --points 100 --shares luminance",
       libraryText(Sky(SkyDistribution::GENERAL, 6, thirty, 0), 100, false, true)},
      // Bearing 0 is north, +y: azimuth 90 degrees.
      {" --sky=overcast --sun=30,0 --points=40",
       libraryText(Sky(SkyDistribution::OVERCAST, 11, thirty, north), 40, true, true)},
      {sharpSpiral, cells},
      {sharpSpiral + " --weights=fitted", formatSamplePoints(sharp, spiral, 2)},
  };
  for (const auto& [arguments, file] : cases) {
    const Result run = shell(kSamplesTool + arguments);
    EXPECT_EQ(run.status, 0) << arguments;
    EXPECT_EQ(run.out, file) << arguments;
  }
  EXPECT_NE(cases[4].second, cases[5].second);
  Result run = shell(kSamplesTool + sharpSpiral + " --report");
  EXPECT_EQ(run.out, cells);
  EXPECT_EQ(run.err.rfind("halvane-samples: 145 points; irradiance off by", 0), 0u) << run.err;
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
  EXPECT_NE(run.err.find("southern horizon at 10, 20, 30 degrees"), std::string::npos) << run.err;
  run = shell(kSamplesTool + " --set spiral --weights fitted --points 2001");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, shell(kSamplesTool + " --set spiral --points 2001").out);
  EXPECT_EQ(run.err, "halvane-samples: weights of 2001 points are not fitted (fitting stops at 2000); each is "
                     "the light of its cell\n");
  run = shell(kSamplesTool + " --sky point --set jittered --points 30 -o " + path("set.txt") + " --plot " + path("set.png"));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "halvane-samples: 11 points (30 asked for)\n");
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(readFile(path("set.txt")),
            libraryText(Sky(SkyDistribution::POINT, 11, 0.7853975f, 4.712385f), 30, true, false));
  EXPECT_EQ(readRaster(path("set.png")).bands.size(), 3u);
}

// Terrains and georeferences that cannot be read fail an input (status 1)
// but for a terrain without a site.
TEST_F(HalvaneSamplesTest, BadArgumentsTimesSitesAndTerrainsAreRefusedWithOneLineAndNoFile) {
  writeFile(path("times.txt"), "2026-06-21T10:00Z\n# fine so far\n2026-06-21 11:00\n");
  writeFile(path("same.txt"), "2026-06-21T10:00Z\n2026-06-21T12:00+02:00\n");
  const std::string terrain = path("t.hrz"), truncated = path("truncated.hrz"), badJson = path("json.hrz"),
                    misfit = path("misfit.hrz");
  ASSERT_EQ(shell(kTerrainTool + " --synthetic 8 --directions 4 -o " + terrain).status, 0);
  for (const std::string& copy : {badJson, misfit}) ASSERT_EQ(shell("cp " + terrain + " " + copy).status, 0);
  const std::string bytes = readFile(terrain);
  writeFile(truncated, bytes.substr(0, bytes.size() - 1));
  writeFile(georeferenceFileName(badJson), "{ \"geoTransform\": [");
  writeFile(georeferenceFileName(misfit), "{ \"columns\": 9, \"rows\": 8, \"geoTransform\": [0, 1, 0, 0, 0, -1] }");
  const std::string at = kOslo + " --time 2026-06-21T10:00Z",
                    day = kOslo + " --from 2026-06-21T08:00Z --to 2026-06-21T12:00Z --step 60";
  const struct {
    std::string args, named, accepted;
    int status = 2;
  } cases[] = {
      {"--sky foggy", "'foggy'", "general-1 to general-15"},
      {"--sun 95,10", "'95,10'", "elevation 0 to 90"},
      {"--points 0", "'0'", "1 to 10000"},
      {"--shares fair", "'fair'", "equal or luminance"},
      {"--set random", "'random'", "stratified, jittered or spiral"},
      {"--weights best", "'best'", "cells or fitted"},
      {"--weights fitted", "--weights fitted", "--set spiral"},
      {"--set spiral --shares equal", "--shares", "--set spiral"},
      {"--decimals 7", "'7'", "0 to 6"},
      {"-o ''", "-o", "standard output"},
      {"extra", "'extra'", "--points N"},
      {"--site 90.5,10 --time 2026-06-21T10:00Z", "latitude -90 to 90", ""},
      {at + " --sun 30,180", "give the sun one way", ""},
      {"--time 2026-06-21T10:00Z", "give --site", ""},
      {kOslo, "--site needs a time", ""},
      {kOslo + " --time 2026-06-21T23:00Z", "the sun is below the horizon at 2026-06-21T23:00:00Z", ""},
      {kOslo + " --times " + path("times.txt"), "times.txt line 3: no UTC offset", ""},
      {kOslo + " --from 2026-06-21T00:00Z --to 2026-06-22T00:00Z", "all three", ""},
      {kOslo + " --from 2026-06-22T00:00Z --to 2026-06-21T00:00Z --step 60", "before", ""},
      {kOslo + " --from 2026-06-21T00:00Z --to 2026-06-22T00:00Z --step 0", "above 0", ""},
      {at + " --times " + path("times.txt"), "one way", ""},
      // Batches need names for their files, and names of their own.
      {day + " -o " + path("one.txt"), "pattern with {time} or {n}", ""},
      {day + " -o " + path("{time}.txt") + " --plot " + path("plot.png"), "pattern with {time} or {n}", ""},
      {kOslo + " --times " + path("same.txt") + " -o " + path("{time}.txt"), "two files of the batch", ""},
      {"--terrain " + truncated, "corrupted elevation file", "", 1},
      {"--terrain " + badJson + " --sun 30,90", "json.hrz.json: not a georeference file", "", 1},
      {"--terrain " + misfit + at, "describes 9 x 8 cells", "", 1},
      {"--terrain ''", "a terrain file", ""},
      // Files that cannot be written are found before the work.
      {"-o " + path("missing/set.txt"), "cannot write " + path("missing/set.txt") + ": No such file or directory",
       "", 1},
      {"-o " + path("set.txt") + " --plot " + path("missing/set.png"), "missing/set.png", "", 1},
  };
  // -o names a batch's pattern first, so that batches get as far as their times.
  for (const auto& c : cases)
    expectRefused(kSamplesTool + " -o " + path("never-{time}.txt") + " " + c.args, c.status, c.named, c.accepted);
  const Result full = shell("(" + kSamplesTool + " --points 20 >/dev/full)");
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.err, "halvane-samples: cannot write standard output: No space left on device\n");
}

TEST_F(HalvaneSamplesTest, BatchFilesAreTheSingleRunsFilesForTheTimesWithTheSunUp) {
  // A winter day in Oslo every three hours: the sun is up at 09:00 and 12:00 UTC only.
  const std::string clear = kSamplesTool + " --sky clear --points 40" + kOslo;
  Result run = shell(clear + " --from 2026-12-21T00:00Z --to 2026-12-22T00:00Z --step 180 -o " +
                     path("{n}-{time}.txt") + " --plot " + path("{time}.png"));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "halvane-samples: 2 sample files written, 7 of the 9 times skipped (the sun below the horizon)\n");
  EXPECT_EQ(files(), (std::vector<std::string>{"20261221T0900Z.png", "20261221T1200Z.png", "4-20261221T0900Z.txt",
                                               "5-20261221T1200Z.txt"}));
  for (const std::string hour : {"09", "12"}) {
    ASSERT_EQ(shell(clear + " --time 2026-12-21T" + hour + ":00Z -o " + path("single.txt") + " --plot " +
                    path("single.png")).status, 0);
    const std::string batch = "20261221T" + hour + "00Z";
    EXPECT_EQ(readFile(path((hour == "09" ? "4-" : "5-") + batch + ".txt")), readFile(path("single.txt"))) << hour;
    EXPECT_EQ(readFile(path(batch + ".png")), readFile(path("single.png"))) << hour;
  }

  // The same times from a list, numbered by their place in it.
  writeFile(path("times.txt"), "# solstice\n2026-12-21T10:00+01:00\n\n2026-12-21T13:00+01:00\n2026-12-21T23:00Z\n");
  run = shell(clear + " --times " + path("times.txt") + " -o " + path("list-{n}.txt"));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(readFile(path("list-1.txt")), readFile(path("4-20261221T0900Z.txt")));
  EXPECT_EQ(readFile(path("list-2.txt")), readFile(path("5-20261221T1200Z.txt")));
  EXPECT_FALSE(exists(path("list-3.txt")));
}

// A batch stops at a file it cannot write and keeps the ones before.
TEST_F(HalvaneSamplesTest, ABatchStopsAtAFileItCannotWrite) {
  ASSERT_EQ(::mkdir(path("2-20260621T1200Z.txt").c_str(), 0755), 0);
  const Result run = shell(kSamplesTool + " --points 20" + kOslo + " --from 2026-06-21T09:00Z --to 2026-06-21T18:00Z " +
                           "--step 180 -o " + path("{n}-{time}.txt"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
  EXPECT_NE(run.err.find("cannot write " + path("2-20260621T1200Z.txt")), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("the 1 files of the times before it were written"), std::string::npos) << run.err;
  EXPECT_EQ(files(), (std::vector<std::string>{"1-20260621T0900Z.txt", "2-20260621T1200Z.txt"}));
}

// A DEM whose grid north lies 1.8 degrees west of true north; without its
// georeference file the grid is taken as true north.
TEST_F(HalvaneSamplesTest, ASiteAndTimeGiveTheTypedSunTurnedIntoTheTerrainsGrid) {
  const std::string dem = writeRaster(folder_, "west.tif", 9, 9, {300000, 50, 0, 5000000, 0, -50}, 32633,
                                      [](int col, int row) { return 5 * col + 3 * row; });
  const std::string terrain = path("west.hrz"), bare = path("bare.hrz");
  ASSERT_EQ(shell(kTerrainTool + " --dem " + dem + " --directions 4 --quiet -o " + terrain).status, 0);
  ASSERT_EQ(shell("cp " + terrain + " " + bare).status, 0);
  Georeference georeference;
  std::string problem;
  ASSERT_EQ(readGeoreference(terrain, 9, 9, georeference, problem), GeoreferenceStatus::kRead) << problem;
  const double convergence = georeference.meridianConvergence;
  GeoSite centre;
  ASSERT_TRUE(georeferenceSite(georeference, centre, problem)) << problem;
  const UtcTime time = parsedTime("2026-06-21T09:00Z");

  const std::string general = kSamplesTool + " --sky general-12 --points 60 --decimals 2";
  const std::string onTerrain = general + " --terrain " + terrain, onBare = general + " --terrain " + bare;
  const std::string at = " --time 2026-06-21T09:00Z";
  // The set of the sun typed with its bearing turned onto the grid, without a terrain.
  auto onGrid = [&](const SiteSun& sun, double convergence) {
    const double bearing = std::fmod(sun.bearingDegrees - convergence + 360, 360);
    const Result run = shell(general + " --sun " + typed(sun.elevationDegrees, bearing));
    EXPECT_EQ(run.status, 0) << run.err;
    return run.out;
  };

  const SiteSun oslo = sunAtSite({59.91, 10.75}, time);
  const Result atOslo = shell(onTerrain + kOslo + at);
  ASSERT_EQ(atOslo.status, 0) << atOslo.err;
  EXPECT_EQ(atOslo.err, "");
  EXPECT_EQ(atOslo.out, onGrid(oslo, convergence));
  const std::string trueBearings = shell(general + kOslo + at).out;
  EXPECT_EQ(trueBearings, onGrid(oslo, 0));
  EXPECT_EQ(shell(onBare + kOslo + at).out, trueBearings);

  const Result atCentre = shell(onTerrain + at);
  ASSERT_EQ(atCentre.status, 0) << atCentre.err;
  EXPECT_EQ(atCentre.out, onGrid(sunAtSite(centre, time), convergence));

  SiteSun north;
  north.elevationDegrees = 30;
  EXPECT_EQ(shell(onTerrain + " --sun 30,0").out, onGrid(north, convergence));
  EXPECT_EQ(shell(onBare + " --sun 30,0").out, shell(general + " --sun 30,0").out);

  ASSERT_EQ(shell(onTerrain + " --from 2026-06-21T09:00Z --to 2026-06-21T12:00Z --step 180 -o " + path("{n}.txt"))
                .status, 0);
  EXPECT_EQ(readFile(path("1.txt")), atCentre.out);
}

}  // namespace
