#include "sky/sky_model.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr double kExactPi = 3.14159265358979323846;

double radians(double degrees) { return degrees * kExactPi / 180; }

// Every test starts from the start-up sky (CLEAR, general type 12, sun at
// elevation 45 degrees and azimuth 270 degrees) and leaves the diagnostic
// streams as it found them.
class SkyModelTest : public ::testing::Test {
 protected:
  void TearDown() override { setSkyDiagnostics(nullptr, nullptr); }

  void setSun(float azimuth, float elevation) { sky.setSun(elevation, azimuth); }
  float luminance(float azimuth, float elevation) const {
    return skyLuminance(sky, azimuth, elevation);
  }

  Sky sky;

  // Everything written to a temporary stream, which is then closed.
  static std::string drain(std::FILE* f) {
    std::string text;
    std::rewind(f);
    for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
    std::fclose(f);
    return text;
  }
};

using D = SkyDistribution;
const SkyDistribution kAllDistributions[] = {D::UNIFORM, D::OVERCAST, D::CLEAR,  D::SHARP,
                                             D::POINT,   D::COSINE,   D::TURBID, D::GENERAL};

// The rows themselves are checked against the formula below.
TEST_F(SkyModelTest, GeneralSkyTableKeepsTheMenuLabels) {
  EXPECT_STREQ(generalSkyNames[6],
               "Partly cloudy, no gradation towards zenith, brighter circumsolor region");
  EXPECT_STREQ(generalSkyNames[14], "White-blue turbid sky with broad solar corona");
}

TEST_F(SkyModelTest, BelowTheHorizonEveryDistributionIsDarkAndSilent) {
  std::FILE* messages = std::tmpfile();
  setSkyDiagnostics(messages, messages);
  for (int d : {0, 1, 2, 3, 4, 5, 6, 7, 9}) {
    sky.distribution = static_cast<SkyDistribution>(d);
    EXPECT_EQ(luminance(1.0f, -0.0001f), 0.0f) << "distribution " << static_cast<int>(d);
    EXPECT_EQ(luminance(4.712385f, -1.0f), 0.0f) << "distribution " << static_cast<int>(d);
  }
  EXPECT_EQ(drain(messages), "");
}

TEST_F(SkyModelTest, UniformOvercastAndCosineSkies) {
  const struct {
    SkyDistribution distribution;
    float azimuth, elevation, expected, tolerance;
  } cases[] = {
      {D::UNIFORM, 2.0f, 0.4f, 1.0f, 0},           {D::UNIFORM, 4.712385f, 1.570795f, 1.0f, 0},
      {D::OVERCAST, 0.0f, 1.570795f, 1.0f, 0},     {D::OVERCAST, 0.0f, 0.0f, 1.0f / 3.0f, 0},
      {D::OVERCAST, 3.0f, 0.5235988f, 2.0f / 3.0f, 2.4e-7f},
      {D::COSINE, 5.0f, 1.570795f, 1.0f, 0},       {D::COSINE, 1.0f, 0.5235988f, 0.5f, 2e-6f},
      {D::COSINE, 0.0f, 0.0f, 1.3268e-6f, 1e-9f},  // cos(1.570795), not 0
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.distribution) << " at " << c.azimuth << ", " << c.elevation);
    sky.distribution = c.distribution;
    EXPECT_NEAR(luminance(c.azimuth, c.elevation), c.expected, c.tolerance);
  }
  sky.distribution = D::UNIFORM;
  // Lower-edge cosines make it about 1.2 % more than pi; midpoints would give pi.
  EXPECT_NEAR(normaliseSky(sky), 3.18f, 0.002f);
}

TEST_F(SkyModelTest, SharpIsAPowerOfTheSunCosinePlusAmbient) {
  sky.distribution = D::SHARP;
  EXPECT_NEAR(luminance(4.712385f, 0.7853975f), 1.1f, 1e-4f);  // at the sun
  setSun(0.0f, 0.0f);
  EXPECT_EQ(luminance(0.0f, 1.570795f), 0.1f);  // 90 degrees from the sun
  EXPECT_EQ(luminance(2.0f, 0.2f), 0.1f);       // more than 90 degrees
  EXPECT_EQ(luminance(3.14159f, 0.0f), 0.1f);   // opposite
  // 2 degrees from the sun along the horizon.
  double expected = std::pow(std::cos(radians(2)), 250.0) + 0.1;
  EXPECT_NEAR(luminance(static_cast<float>(radians(2)), 0.0f), expected, 2e-5);
}

TEST_F(SkyModelTest, PointTableListsTheIndicatrixNearTheHorizonOnly) {
  sky.distribution = D::POINT;
  std::FILE* table = std::tmpfile();
  setSkyDiagnostics(table, nullptr);
  luminance(1.0f, 0.02f);  // not near enough to the horizon
  luminance(1.0f, 0.005f);
  std::string text = drain(table);

  ASSERT_EQ(text.compare(0, 22, "0: 11.3602\n10: 7.27045"), 0) << text;
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(text.substr(text.size() - 2), "\n\n");  // the closing empty line
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  ASSERT_EQ(lines.size(), 19u) << text;  // 0 .. 170 degrees, then the empty line
  EXPECT_EQ(lines[9], "90: 1");  // the indicatrix is 1 at right angles to the sun
  EXPECT_EQ(lines[18], "");

  setSkyDiagnostics(nullptr, nullptr);  // by default the table goes to standard output
  ::testing::internal::CaptureStdout();
  luminance(0.0f, 0.0f);
  std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.compare(0, 11, "0: 11.3602\n"), 0) << out;
}

TEST_F(SkyModelTest, UnknownDistributionIsReportedOnEveryEvaluationAndIsUniform) {
  sky.distribution = static_cast<SkyDistribution>(9);
  std::FILE* messages = std::tmpfile();
  setSkyDiagnostics(nullptr, messages);
  EXPECT_EQ(luminance(1.0f, 0.5f), 1.0f);
  EXPECT_EQ(luminance(2.0f, 0.0f), 1.0f);
  EXPECT_EQ(drain(messages),
            "Unknown type of sky distribution: 9.  Assuming UNIFORM\n"
            "Unknown type of sky distribution: 9.  Assuming UNIFORM\n");

  setSkyDiagnostics(nullptr, nullptr);
  sky.distribution = static_cast<SkyDistribution>(-3);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(luminance(1.0f, 0.5f), 1.0f);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Unknown type of sky distribution: -3.  Assuming UNIFORM\n");
}

// The quiet evaluation gives the very same values and writes nothing, for
// every distribution, the unknown one included, near the horizon and away.
TEST_F(SkyModelTest, QuietLuminanceIsTheSameWithoutDiagnostics) {
  std::FILE* messages = std::tmpfile();
  setSkyDiagnostics(messages, messages);
  std::vector<SkyDistribution> distributions(std::begin(kAllDistributions), std::end(kAllDistributions));
  distributions.push_back(static_cast<SkyDistribution>(9));
  for (SkyDistribution distribution : distributions) {
    sky.distribution = distribution;
    for (float elevation : {-0.1f, 0.0f, 0.005f, 0.3f, 1.2f}) {
      const float loud = luminance(2.0f, elevation);
      std::rewind(messages);
      ASSERT_EQ(::ftruncate(::fileno(messages), 0), 0);
      EXPECT_EQ(skyLuminanceQuietly(sky, 2.0f, elevation), loud) << static_cast<int>(distribution);
      std::fflush(messages);
      EXPECT_EQ(std::ftell(messages), 0L);
    }
  }
  std::fclose(messages);
}

// Rounding can make the dot product of a direction with itself exceed 1; the
// luminance there must still be a number.
TEST_F(SkyModelTest, LuminanceAtTheSunIsFiniteForEveryDistribution) {
  std::FILE* table = std::tmpfile();  // POINT near the horizon writes its table
  setSkyDiagnostics(table, nullptr);
  int pastOne = 0;
  for (float e = 0.0f; e < 1.5708f; e += 0.0625f)
    for (float a = 0.0f; a < 6.28318f; a += 0.125f) {
      Vec3 v = angleToVector(a, e);
      if (v.dot(v) > 1.0f) ++pastOne;
      setSun(a, e);
      for (SkyDistribution d : kAllDistributions) {
        sky.distribution = d;
        float l = luminance(a, e);
        ASSERT_TRUE(std::isfinite(l)) << "distribution " << static_cast<int>(d) << " at " << a << ", " << e;
      }
    }
  EXPECT_GT(pastOne, 0) << "the grid never reaches a dot product above 1";
  std::fclose(table);
}

TEST_F(SkyModelTest, NormaliserFollowsTheSkyAndSun) {
  sky.distribution = D::GENERAL;
  const float high = normaliseSky(sky);
  setSun(4.712385f, 0.2f);
  EXPECT_NE(normaliseSky(sky), high);
  // The integral of the overcast sky, (1 + 2 sin h) / 3, over the hemisphere
  // is 2/3 of the uniform sky's.
  sky.distribution = D::UNIFORM;
  float uniform = normaliseSky(sky);
  sky.distribution = D::OVERCAST;
  EXPECT_NEAR(normaliseSky(sky) / uniform, 2.0 / 3, 0.005);
}

// The fifteen rows of the CIE standard general sky (a, b, c, d, e), written
// out again here so the check does not rest on the model's own table.
const double kCieRows[15][5] = {
    {4.0, -0.70, 0, -1.0, 0.00},   {4.0, -0.70, 2, -1.5, 0.15},   {1.1, -0.80, 0, -1.0, 0.00},
    {1.1, -0.80, 2, -1.5, 0.15},   {0.0, -1.00, 0, -1.0, 0.00},   {0.0, -1.00, 2, -1.5, 0.15},
    {0.0, -1.00, 5, -2.5, 0.30},   {0.0, -1.00, 10, -3.0, 0.45},  {-1.0, -0.55, 2, -1.5, 0.15},
    {-1.0, -0.55, 5, -2.5, 0.30},  {-1.0, -0.55, 10, -3.0, 0.45}, {-1.0, -0.32, 10, -3.0, 0.45},
    {-1.0, -0.32, 16, -3.0, 0.30}, {-1.0, -0.15, 16, -3.0, 0.30}, {-1.0, -0.15, 24, -2.8, 0.15},
};

// L / Lz = f(chi) phi(Z) / (f(Zs) phi(0)) in double precision, with the angle
// chi from the sun by the spherical law of cosines. Angles in radians; Z and
// Zs are zenith angles.
double cieRelativeToZenith(const double* row, double sunZ, double sunAzimuth, double z,
                           double azimuth) {
  double a = row[0], b = row[1], c = row[2], d = row[3], e = row[4];
  auto f = [&](double chi) {
    return 1 + c * (std::exp(d * chi) - std::exp(d * kExactPi / 2)) + e * std::cos(chi) * std::cos(chi);
  };
  auto phi = [&](double zenith) { return 1 + a * std::exp(b / std::cos(zenith)); };
  double chi = std::acos(std::cos(sunZ) * std::cos(z) +
                         std::sin(sunZ) * std::sin(z) * std::cos(azimuth - sunAzimuth));
  return f(chi) * phi(z) / (f(sunZ) * phi(0));
}

// skyLuminance at a direction divided by skyLuminance at the zenith, with the
// sun and the direction given as zenith angle and azimuth in degrees.
double modelRelativeToZenith(Sky sky, double sunZ, double sunAzimuth, double z, double azimuth) {
  sky.setSun(static_cast<float>(radians(90 - sunZ)), static_cast<float>(radians(sunAzimuth)));
  double l = skyLuminance(sky, static_cast<float>(radians(azimuth)), static_cast<float>(radians(90 - z)));
  double lz = skyLuminance(sky, 0.0f, 1.570795f);
  return l / lz;
}

TEST_F(SkyModelTest, GeneralType12MatchesThePublishedReferenceValue) {
  double reference = cieRelativeToZenith(kCieRows[11], radians(30), 0, radians(45), radians(180));
  ASSERT_NEAR(reference, 0.45445243068520, 1e-12);  // the reference formula itself
  sky.distribution = D::GENERAL;
  sky.generalType = 11;
  EXPECT_NEAR(modelRelativeToZenith(sky, 30, 0, 45, 180), 0.45445243068520, 1e-4);
}

TEST_F(SkyModelTest, EveryGeneralTypeMatchesTheStandardFormula) {
  struct Case { double sunZ, sunAzimuth, z, azimuth; };
  const Case cases[] = {
      {10, 0, 60, 90}, {45, 90, 20, 270}, {70, 120, 85, 300}, {20, 300, 70, 10},
  };
  sky.distribution = D::GENERAL;
  for (int type = 0; type < 15; ++type) {
    sky.generalType = type;
    for (const Case& k : cases) {
      double expected = cieRelativeToZenith(kCieRows[type], radians(k.sunZ), radians(k.sunAzimuth),
                                            radians(k.z), radians(k.azimuth));
      double got = modelRelativeToZenith(sky, k.sunZ, k.sunAzimuth, k.z, k.azimuth);
      EXPECT_NEAR(got / expected, 1.0, 1e-4)
          << "type " << type + 1 << ", sun " << k.sunZ << "/" << k.sunAzimuth << ", point " << k.z
          << "/" << k.azimuth;
    }
  }
  // CLEAR and TURBID are types 11 and 14 by the same measure.
  sky.distribution = D::CLEAR;
  EXPECT_NEAR(modelRelativeToZenith(sky, 40, 30, 60, 250),
              cieRelativeToZenith(kCieRows[10], radians(40), radians(30), radians(60), radians(250)),
              1e-4);
  sky.distribution = D::TURBID;
  EXPECT_NEAR(modelRelativeToZenith(sky, 40, 30, 60, 250),
              cieRelativeToZenith(kCieRows[13], radians(40), radians(30), radians(60), radians(250)),
              1e-4);
}

}  // namespace
