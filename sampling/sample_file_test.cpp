#include "sampling/sample_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/test_files.h"
#include "sampling/sample_points.h"

namespace {

SamplePoint point(float elevation, float azimuth, float weight) {
  SamplePoint p;
  p.elevation = elevation;
  p.azimuth = azimuth;
  p.weight = weight;
  p.highlighted = false;
  return p;
}

// A scratch folder, and four known points in the default sky.
class SampleFileTest : public ScratchFolderTest {
 protected:
  void SetUp() override {
    ScratchFolderTest::SetUp();
    for (const SamplePoint& p : {point(1.570795f, 0, 0.25f), point(0.7853975f, 1.570795f, 0.125f),
                                 point(0.2f, 3.14159f, 0.5f), point(0, 4.712385f, 0.125f)})
      points_.append(p);
  }
  std::string format() const { return formatSamplePoints(sky_, points_); }
  std::string write(const std::string& name) const { return writeSamplePoints(name, sky_, points_); }

  Sky sky_;
  Sequence<SamplePoint> points_;
};

const char kKnownPointsText[] =
    "distribution:  CLEAR\n"
    "sun elevation: 45\n"
    "sun azimuth:   180\n"
    "sample points: 4\n"
    "\n"
    "Format of sample points: azimuth,elevation,weight (weights sum to 1.0)\n"
    "\n"
    "90,90,0.25\n"
    "360,45,0.125\n"
    "270,11,0.5\n"
    "180,0,0.125\n";

// Azimuth 100 degrees is bearing 350; 359.6 is 90.4, written 90; 89.6 is 0.4,
// written 0.
TEST_F(SampleFileTest, SkyWordsAndBearingsRoundedClockwiseFromNorth) {
  EXPECT_EQ(format(), kKnownPointsText);
  const struct { SkyDistribution distribution; int generalType; const char* firstLine; } cases[] = {
      {SkyDistribution::POINT, 11, "distribution:  POINTT\n"},
      {SkyDistribution::GENERAL, 0, "distribution:  GENERAL TYPE 1\n"},
      {static_cast<SkyDistribution>(9), 11, "distribution:  ERROR\n"},
  };
  for (const auto& c : cases) {
    sky_.distribution = c.distribution;
    sky_.generalType = c.generalType;
    EXPECT_EQ(format().substr(0, std::string(c.firstLine).size()), c.firstLine);
  }
  sky_.setSun(0.2617993f, 0.0f);  // 15 degrees, azimuth 0
  points_.clear();
  for (float degrees : {100.0f, 359.6f, 89.6f}) points_.append(point(0.5f, degrees * 3.14159f / 180, 1));
  const std::string text = format();
  EXPECT_NE(text.find("sun elevation: 15\nsun azimuth:   90\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\n350,29,1\n90,29,1\n0,29,1\n"), std::string::npos) << text;
}

TEST_F(SampleFileTest, DefaultStratifiedSetMatchesTheGoldenFile) {
  points_ = computeStratifiedSamples(sky_, 250, true).samplePoints;
  const std::string golden = readFile(std::string(HALVANE_TESTDATA_DIR) + "/default_250.txt");
  ASSERT_FALSE(golden.empty());
  EXPECT_EQ(format(), golden);
}

// How the file replaces an earlier one (permissions, links, devices, folders
// in the way) is the writer's, tested in core/; here the window's messages.
TEST_F(SampleFileTest, WritesTheFileOrSaysWhyLeavingTheEarlierOne) {
  const std::string name = path("points.txt");
  writeFile(name, "old contents\n");
  EXPECT_EQ(write(name), "Sample points are recorded in `" + name + "'.");
  EXPECT_EQ(readFile(name), kKnownPointsText);
  testing::internal::CaptureStderr();
  EXPECT_EQ(write(""), "No sample points were recorded.");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

  const std::string missing = path("no/such/folder/points.txt");
  testing::internal::CaptureStderr();
  EXPECT_EQ(write(missing), "Could not record the sample points in `" + missing + "'.");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Could not open file \"" + missing + "\".\n");

  // Running out of room (a file size limit) leaves the earlier file whole.
  for (int i = 0; i < 200; ++i) points_.append(point(0.3f, 1, 0.001f));
  EXPECT_EXIT(
      {
        limitFileSize(300);
        std::exit(write(name) == "Could not record the sample points in `" + name + "'." ? 0 : 1);
      },
      testing::ExitedWithCode(0), "^Could not write file \"" + name + "\"\\.\n$");
  EXPECT_EQ(readFile(name), kKnownPointsText);
  EXPECT_EQ(entries(), std::vector<std::string>{"points.txt"});
}

}  // namespace
