// The tools' option values: numbers read strictly, the option reader and its
// exit statuses, sun degrees and sky names, and the progress bar.
#include <climits>
#include <cstdlib>

#include <gtest/gtest.h>

#include "tools/options.h"
#include "tools/progress_bar.h"
#include "tools/sky_options.h"

namespace {

TEST(OptionNumbersTest, DecimalsOnlyWithinRangeNothingAround) {
  const struct {
    const char* text;
    bool whole, unsignedWhole, decimal;  // accepted as each
  } cases[] = {
      {"0", true, true, true},       {"42", true, true, true},       {"+7", true, true, true},
      {"-7", true, false, true},     {"007", true, true, true},      {"2.5", false, false, true},
      {".5", false, false, true},    {"5.", false, false, true},     {"-1e3", false, false, true},
      {"1E-2", false, false, true},  {"1e-400", false, false, true},  // becomes 0
      {"", false, false, false},     {"-", false, false, false},     {".", false, false, false},
      {"0x10", false, false, false}, {"0x1p4", false, false, false}, {"inf", false, false, false},
      {"nan", false, false, false},  {"1e400", false, false, false}, {" 5", false, false, false},
      {"5 ", false, false, false},   {"5x", false, false, false},    {"1e", false, false, false},
      {"--5", false, false, false},  {"1,5", false, false, false},
      {"9223372036854775807", true, true, true},
      {"9223372036854775808", false, true, true},   // beyond long long
      {"18446744073709551616", false, false, true},  // beyond 64 bits
      {"-9223372036854775809", false, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("'") + c.text + "'");
    long long whole = -99;
    unsigned long long unsignedWhole = 99;
    double decimal = -99;
    EXPECT_EQ(parseWholeNumber(c.text, whole), c.whole);
    EXPECT_EQ(parseUnsignedNumber(c.text, unsignedWhole), c.unsignedWhole);
    EXPECT_EQ(parseDecimal(c.text, decimal), c.decimal);
    // The value read, or nothing changed when refused.
    EXPECT_EQ(whole, c.whole ? std::strtoll(c.text, nullptr, 10) : -99);
  }
  std::vector<double> values;
  EXPECT_TRUE(parseDecimalList("1,-2.5,3e1,0", 4, values));
  EXPECT_EQ(values, (std::vector<double>{1, -2.5, 30, 0}));
  for (const char* text : {"1,2,3", "1,2,3,4,5", "1,2,,4", "1,2,3,", ",1,2,3", "1;2;3;4"})
    EXPECT_FALSE(parseDecimalList(text, 4, values)) << text;
  std::vector<long long> whole;
  EXPECT_TRUE(parseWholeNumberList("0,-1,9223372036854775807,4", 4, whole));
  EXPECT_FALSE(parseWholeNumberList("0,1,2.0,4", 4, whole));
}

// What a reader like the tools' saw, or the ToolExit it ended with.
std::string readArguments(std::vector<std::string> arguments) {
  static const ToolDescription tool = {"halvane-test", "usage: halvane-test\n", "--n N, --flag, FILE"};
  std::vector<char*> argv = {const_cast<char*>("halvane-test")};
  for (std::string& argument : arguments) argv.push_back(&argument[0]);
  std::string seen;
  try {
    OptionReader args(tool, int(argv.size()), argv.data());
    while (args.next()) {
      if (args.is("--n")) seen += "n=" + std::to_string(args.wholeNumber(1, 10)) + " ";
      else if (args.isFlag("--flag")) seen += "flag ";
      else if (args.isOperand()) seen += "file=" + args.argument() + " ";
      else args.unknown();
    }
  } catch (const ToolExit& exit) {
    seen += "exit " + std::to_string(exit.status) + ": " + exit.message;
  }
  return seen;
}

TEST(OptionReaderTest, ValuesFlagsOperandsAndRefusals) {
  const struct {
    std::vector<std::string> arguments;
    std::string seen;
  } cases[] = {
      {{"--n", "3", "--n=4", "--flag", "a.hrz", "-"}, "n=3 n=4 flag file=a.hrz file=- "},
      {{"--", "--n", "-x"}, "file=--n file=-x "},
      {{"--n"}, "exit 2: --n needs a value: a whole number from 1 to 10"},
      {{"--n", "11"}, "exit 2: --n takes a whole number from 1 to 10, not '11'"},
      {{"--n=0x5"}, "exit 2: --n takes a whole number from 1 to 10, not '0x5'"},
      {{"--flag=yes"}, "exit 2: --flag takes no value, not '--flag=yes'"},
      {{"--bogus=1"}, "exit 2: unknown option '--bogus'; accepted: --n N, --flag, FILE"},
      {{"-n"}, "exit 2: unknown option '-n'; accepted: --n N, --flag, FILE"},
      {{"--help", "--n", "99"}, "exit 0: "},
      {{"--version"}, "exit 0: "},
  };
  for (const auto& c : cases) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(readArguments(c.arguments), c.seen);
    testing::internal::GetCapturedStdout();
  }
}

// The tools' refusals check the other statuses and lines of runTool.
TEST(OptionReaderTest, RunToolReportsOutOfMemoryInOneLine) {
  static const ToolDescription tool = {"halvane-test", "usage\n", ""};
  char name[] = "halvane-test";
  char* argv[] = {name};
  testing::internal::CaptureStderr();
  EXPECT_EQ(runTool(tool, 1, argv, [](OptionReader&) -> int { throw std::bad_alloc(); }), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "halvane-test: out of memory\n");
}

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
                           "45,180x", "nan,180", "45,inf", "0x10,5"})
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

TEST(ProgressBarTest, TextShowsCountPercentageAndTimeLeft) {
  EXPECT_EQ(progressText("directions", 0, 72, 0, 10), "[..........] 0/72 directions  0%");
  EXPECT_EQ(progressText("directions", 36, 72, 12, 10), "[#####.....] 36/72 directions  50%  about 12 s left");
  EXPECT_EQ(progressText("directions", 18, 72, 30, 0), "18/72 directions  25%  about 1 min 30 s left");
  EXPECT_EQ(progressText("directions", 72, 72, 99, 4), "[####] 72/72 directions  100%");
}

std::string capture(bool onTerminal, int total) {
  char* text = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&text, &size);
  ProgressBar bar(out, "tool: ", "steps", onTerminal);
  for (int done = 1; done <= total; ++done) bar.update(done, total);
  bar.finish();
  std::fclose(out);
  std::string result(text, size);
  std::free(text);
  return result;
}

TEST(ProgressBarTest, TerminalRedrawsOneLineLogsGetTenLines) {
  std::string terminal = capture(true, 20);
  EXPECT_EQ(std::count(terminal.begin(), terminal.end(), '\n'), 1);
  EXPECT_EQ(std::count(terminal.begin(), terminal.end(), '\r'), 20);
  EXPECT_NE(terminal.find("\rtool: [##############################] 20/20 steps  100%\033[K\n"), std::string::npos);

  std::string log = capture(false, 20);
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 10);
  EXPECT_EQ(log.find('\r'), std::string::npos);
  EXPECT_EQ(log.rfind("tool: 20/20 steps  100%\n"), log.size() - 24);
}

}  // namespace
