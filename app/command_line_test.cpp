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

TEST(DistributionArgument, NumbersOneToEightSelectTheirDistributionKeepingTheGeneralType) {
  const SkyDistribution expected[] = {UNIFORM, OVERCAST, GENERAL, CLEAR,
                                      SHARP,   POINT,    COSINE,  TURBID};
  for (int n = 1; n <= 8; ++n) {
    AppState state;
    state.distribution = n == 1 ? CLEAR : UNIFORM;
    state.generalType = 4;
    EXPECT_EQ(parse({"halvane", std::to_string(n)}, state), "");
    EXPECT_EQ(state.distribution, expected[n - 1]) << "argument " << n;
    EXPECT_EQ(state.generalType, 4) << "argument " << n;
  }
}

TEST(DistributionArgument, LeadingDigitsOfTheFirstArgumentCountAndUnknownNumbersAreReported) {
  const struct { std::vector<std::string> args; const char* message; SkyDistribution result; } cases[] = {
      {{"halvane"}, "", UNIFORM},
      {{"halvane", "4x", "7"}, "", CLEAR},
      {{"halvane", "5", "junk"}, "", SHARP},
      {{"halvane", "9"}, "Unknown distribution: 9\n", UNIFORM},
      {{"halvane", "0"}, "Unknown distribution: 0\n", UNIFORM},
      {{"halvane", "abc"}, "Unknown distribution: 0\n", UNIFORM},
      {{"halvane", "-2"}, "Unknown distribution: -2\n", UNIFORM},
      {{"halvane", ""}, "Unknown distribution: 0\n", UNIFORM},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.size() > 1 ? c.args[1] : "(none)");
    AppState state;
    state.distribution = UNIFORM;
    EXPECT_EQ(parse(c.args, state), c.message);
    EXPECT_EQ(state.distribution, c.result);
  }
}

}  // namespace
