#include "tools/sky_options.h"

#include <gtest/gtest.h>

namespace {

TEST(SkyOptionsTest, SunDegreesGiveTheProgramsOwnAngles) {
  float elevation = 0, azimuth = 0;
  ASSERT_TRUE(parseSun("45,180", elevation, azimuth));
  EXPECT_EQ(elevation, 0.7853975f);  // the default sun, bit for bit
  EXPECT_EQ(azimuth, 4.712385f);
  ASSERT_TRUE(parseSun("0,0", elevation, azimuth));
  EXPECT_EQ(azimuth, 1.570795f);  // north is +y
  float again = 0;
  ASSERT_TRUE(parseSun("0,360", elevation, again));
  EXPECT_EQ(again, azimuth);
  ASSERT_TRUE(parseSun("10.5,270", elevation, azimuth));
  EXPECT_EQ(azimuth, 3.14159f);
}

TEST(SkyOptionsTest, SunOutsideTheSkyOrMalformedIsRefused) {
  float elevation = 0, azimuth = 0;
  for (const char* text : {"", "45", "45,", ",180", "-1,180", "90.5,0", "45,361", "45,-1",
                           "45;180", " 45,180", "45,180x", "nan,180", "45,inf"})
    EXPECT_FALSE(parseSun(text, elevation, azimuth)) << '"' << text << '"';
}

TEST(SkyOptionsTest, SkyNamesAndGeneralTypesCountedFromOne) {
  SkyDistribution distribution = SkyDistribution::UNIFORM;
  int generalType = 11;
  ASSERT_TRUE(parseSkyName("turbid", distribution, generalType));
  EXPECT_TRUE(distribution == SkyDistribution::TURBID);
  EXPECT_EQ(generalType, 11);
  ASSERT_TRUE(parseSkyName("general-1", distribution, generalType));
  EXPECT_TRUE(distribution == SkyDistribution::GENERAL);
  EXPECT_EQ(generalType, 0);
  for (const char* name : {"", "Clear", "general-0", "general-16", "general-01", "general-", "general"})
    EXPECT_FALSE(parseSkyName(name, distribution, generalType)) << '"' << name << '"';
}

}  // namespace
