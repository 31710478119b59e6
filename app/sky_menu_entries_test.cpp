#include "app/sky_menu_entries.h"

#include <gtest/gtest.h>


namespace {

TEST(SkyMenuTest, FiveDistributionsThenFifteenGeneralTypes) {
  std::vector<SkyMenuEntry> entries = skyMenuEntries();
  ASSERT_EQ(entries.size(), 20u);
  EXPECT_EQ(entries[4].label, "Turbid");
  EXPECT_EQ(entries[4].value, 6);
  EXPECT_EQ(entries[16].label, "General Type 12 (CIE standard clear sky, low illuminance turbidity)");
}

TEST(SkyMenuTest, ValuesSetDistributionAndGeneralType) {
  using D = SkyDistribution;
  Sky sky;
  const struct { int value; SkyDistribution distribution; int generalType; } steps[] = {
      {6, D::TURBID, 11}, {7, D::GENERAL, 0}, {18, D::GENERAL, 11},
      {2, D::CLEAR, 11} /* a simple distribution keeps the general type */, {21, D::GENERAL, 14}};
  for (const auto& s : steps) {
    applySkyMenuValue(sky, s.value);
    EXPECT_EQ(sky.distribution, s.distribution) << s.value;
    EXPECT_EQ(sky.generalType, s.generalType) << s.value;
  }
}

}  // namespace
