#include "tools/sky_options.h"

#include <gtest/gtest.h>

namespace {

// Degrees give the program's own angles bit for bit (the default sun, north
// as +y, a full turn as none); names count the general types from one.
TEST(SkyOptionsTest, SunDegreesAndSkyNamesGiveTheProgramsOwnValuesAndNothingElse) {
  const struct {
    const char* sun;
    float elevation, azimuth;
  } suns[] = {{"45,180", 0.7853975f, 4.712385f}, {"0,0", 0, 1.570795f}, {"0,360", 0, 1.570795f},
              {"30,270", float(30 * 3.14159 / 180), 3.14159f}};
  for (const auto& s : suns) {
    float elevation = -1, azimuth = -1;
    ASSERT_TRUE(parseSun(s.sun, elevation, azimuth)) << s.sun;
    EXPECT_EQ(elevation, s.elevation) << s.sun;
    EXPECT_EQ(azimuth, s.azimuth) << s.sun;
  }
  float elevation = 0, azimuth = 0;
  for (const char* text : {"", "45", "45,", ",180", "-1,180", "90.5,0", "45,361", "45,-1", "45;180", " 45,180",
                           "45,180x", "nan,180", "45,inf"})
    EXPECT_FALSE(parseSun(text, elevation, azimuth)) << '"' << text << '"';

  SkyDistribution distribution = SkyDistribution::UNIFORM;
  int generalType = 11;
  ASSERT_TRUE(parseSkyName("turbid", distribution, generalType));
  EXPECT_TRUE(distribution == SkyDistribution::TURBID && generalType == 11);
  ASSERT_TRUE(parseSkyName("general-1", distribution, generalType));
  EXPECT_TRUE(distribution == SkyDistribution::GENERAL && generalType == 0);
  for (const char* name : {"", "Clear", "general-0", "general-16", "general-01", "general-", "general"})
    EXPECT_FALSE(parseSkyName(name, distribution, generalType)) << '"' << name << '"';
}

}  // namespace
