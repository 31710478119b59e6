#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Runs the argument parser and returns what it printed on standard error.
std::string parse(std::vector<std::string> args, AppState& state) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  testing::internal::CaptureStderr();
  applyDistributionArgument(static_cast<int>(args.size()), argv.data(), state);
  return testing::internal::GetCapturedStderr();
}

TEST(DistributionArgument, NumbersOneToEightSelectTheirDistribution) {
  const SkyDistribution expected[] = {UNIFORM, OVERCAST, GENERAL, CLEAR,
                                      SHARP,   POINT,    COSINE,  TURBID};
  for (int n = 1; n <= 8; ++n) {
    AppState state;
    EXPECT_EQ(parse({"halvane", std::to_string(n)}, state), "");
    EXPECT_EQ(state.distribution, expected[n - 1]) << "argument " << n;
    EXPECT_EQ(state.generalType, 11) << "argument " << n;
  }
}

TEST(DistributionArgument, UnknownNumbersAreReportedAndIgnored) {
  struct Case {
    const char* argument;
    const char* message;
  } cases[] = {
      {"9", "Unknown distribution: 9\n"},
      {"0", "Unknown distribution: 0\n"},
      {"abc", "Unknown distribution: 0\n"},
      {"-2", "Unknown distribution: -2\n"},
      {"", "Unknown distribution: 0\n"},
  };
  for (const Case& c : cases) {
    AppState state;
    EXPECT_EQ(parse({"halvane", c.argument}, state), c.message) << c.argument;
    EXPECT_EQ(state.distribution, CLEAR) << c.argument;
  }
}

TEST(DistributionArgument, NoneKeepsClearAndOnlyTheLeadingDigitsOfTheFirstCount) {
  AppState state;
  state.generalType = 4;  // general keeps the current general type
  EXPECT_EQ(parse({"halvane", "3", "junk"}, state), "");
  EXPECT_EQ(state.distribution, GENERAL);
  EXPECT_EQ(state.generalType, 4);
  EXPECT_EQ(parse({"halvane", "4x", "7"}, state), "");
  EXPECT_EQ(state.distribution, CLEAR);
  state.distribution = UNIFORM;
  EXPECT_EQ(parse({"halvane"}, state), "");
  EXPECT_EQ(state.distribution, UNIFORM);
}

}  // namespace
