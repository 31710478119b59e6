#include "app/sky_menu_entries.h"

#include <gtest/gtest.h>

namespace {

// Five simple distributions, then the fifteen general types; a value sets
// the distribution, and a simple one keeps the general type.
TEST(SkyMenuTest, EntriesAndTheirValues) {
  std::vector<SkyMenuEntry> entries = skyMenuEntries();
  ASSERT_EQ(entries.size(), 20u);
  EXPECT_TRUE(entries[4].label == "Turbid" && entries[4].value == 6);
  EXPECT_EQ(entries[16].label, "General Type 12 (CIE standard clear sky, low illuminance turbidity)");
  using D = SkyDistribution;
  Sky sky;
  const struct { int value; SkyDistribution distribution; int generalType; } steps[] = {
      {6, D::TURBID, 11}, {7, D::GENERAL, 0}, {18, D::GENERAL, 11}, {2, D::CLEAR, 11}, {21, D::GENERAL, 14}};
  for (const auto& s : steps) {
    applySkyMenuValue(sky, s.value);
    EXPECT_TRUE(sky.distribution == s.distribution && sky.generalType == s.generalType) << s.value;
  }
}

}  // namespace
