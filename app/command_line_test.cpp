#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using D = SkyDistribution;
const D kUnset = static_cast<D>(99);  // none of the distributions

// Runs the argument parser and returns what it printed on standard error.
std::string parse(std::vector<std::string> args, AppState& state) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  testing::internal::CaptureStderr();
  applyDistributionArgument(static_cast<int>(args.size()), argv.data(), state);
  return testing::internal::GetCapturedStderr();
}

// The leading digits of the first argument select a distribution (1 to 8);
// anything else is reported; the general type is kept.
TEST(DistributionArgument, SelectsOrReportsAndKeepsTheGeneralType) {
  const struct { std::vector<std::string> args; const char* message; SkyDistribution result; } cases[] = {
      {{"halvane"}, "", kUnset},                 {{"halvane", "1"}, "", D::UNIFORM},
      {{"halvane", "3"}, "", D::GENERAL},        {{"halvane", "4x", "7"}, "", D::CLEAR},
      {{"halvane", "8", "junk"}, "", D::TURBID}, {{"halvane", "9"}, "Unknown distribution: 9\n", kUnset},
      {{"halvane", "abc"}, "Unknown distribution: 0\n", kUnset},
      {{"halvane", "-2"}, "Unknown distribution: -2\n", kUnset},
  };
  for (const auto& c : cases) {
    AppState state;
    state.sky.distribution = kUnset;
    state.sky.generalType = 4;
    const std::string argument = c.args.size() > 1 ? c.args[1] : "(none)";
    EXPECT_EQ(parse(c.args, state), c.message) << argument;
    EXPECT_TRUE(state.sky.distribution == c.result && state.sky.generalType == 4) << argument;
  }
}

}  // namespace
