#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using D = SkyDistribution;

// Runs the argument parser and returns what it printed on standard error.
std::string parse(std::vector<std::string> args, AppState& state) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  testing::internal::CaptureStderr();
  applyDistributionArgument(static_cast<int>(args.size()), argv.data(), state);
  return testing::internal::GetCapturedStderr();
}

TEST(DistributionArgument, NumbersOneToEightSelectTheirDistributionKeepingTheGeneralType) {
  const SkyDistribution expected[] = {D::UNIFORM, D::OVERCAST, D::GENERAL, D::CLEAR,
                                      D::SHARP,   D::POINT,    D::COSINE,  D::TURBID};
  for (int n = 1; n <= 8; ++n) {
    AppState state;
    state.sky.distribution = n == 1 ? D::CLEAR : D::UNIFORM;
    state.sky.generalType = 4;
    EXPECT_EQ(parse({"halvane", std::to_string(n)}, state), "");
    EXPECT_TRUE(state.sky.distribution == expected[n - 1]) << "argument " << n;
    EXPECT_EQ(state.sky.generalType, 4) << "argument " << n;
  }
}

TEST(DistributionArgument, LeadingDigitsOfTheFirstArgumentCountAndUnknownNumbersAreReported) {
  const struct { std::vector<std::string> args; const char* message; SkyDistribution result; } cases[] = {
      {{"halvane"}, "", D::UNIFORM},
      {{"halvane", "4x", "7"}, "", D::CLEAR},
      {{"halvane", "5", "junk"}, "", D::SHARP},
      {{"halvane", "9"}, "Unknown distribution: 9\n", D::UNIFORM},
      {{"halvane", "0"}, "Unknown distribution: 0\n", D::UNIFORM},
      {{"halvane", "abc"}, "Unknown distribution: 0\n", D::UNIFORM},
      {{"halvane", "-2"}, "Unknown distribution: -2\n", D::UNIFORM},
      {{"halvane", ""}, "Unknown distribution: 0\n", D::UNIFORM},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.size() > 1 ? c.args[1] : "(none)");
    AppState state;
    state.sky.distribution = D::UNIFORM;
    EXPECT_EQ(parse(c.args, state), c.message);
    EXPECT_TRUE(state.sky.distribution == c.result);
  }
}

}  // namespace
