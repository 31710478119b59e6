#include "app/keyboard.h"

#include <cstring>

#include "core/angles.h"

namespace {

constexpr double kSunStep = kPi / 36;

}  // namespace

bool isCommandKey(unsigned char key) {
  switch (key) {
    case 3:
    case 7:
    case 15:
    case 19:
    case 21:
    case kEscapeKey:
    case '?':
      return true;
    default:
      return key != '\0' && std::strchr("jiqlothrp+=-_", key) != nullptr;
  }
}

int distributionKeyMenuValue(unsigned char key) {
  switch (key) {
    case 21: return static_cast<int>(SkyDistribution::UNIFORM);
    case 15: return static_cast<int>(SkyDistribution::OVERCAST);
    case 3: return static_cast<int>(SkyDistribution::CLEAR);
    case 19: return static_cast<int>(SkyDistribution::SHARP);
    case 7: return 7 + 11;  // GENERAL, general type 12
    default: return -1;
  }
}

int moreSamplePoints(int count) {
  if (count < 10) {
    count += 1;
  } else if (count < 100) {
    count += 10;
  } else {
    count += 50;
  }
  return count > kMaxSamplePoints ? kMaxSamplePoints : count;
}

int fewerSamplePoints(int count) {
  if (count > 100) return count - 50;
  if (count > 10) return count - 10;
  if (count > 1) return count - 1;
  return count;
}

// Each step is taken in double precision and stored back as a float, so
// repeated steps accumulate float rounding.
void stepSun(Sky& sky, SunStep step) {
  float azimuth = sky.sunAzimuth();
  float elevation = sky.sunElevation();
  switch (step) {
    case SunStep::West:
      azimuth = static_cast<float>(azimuth - kSunStep);
      if (azimuth < 0) azimuth = static_cast<float>(kTwoPi);
      break;
    case SunStep::East:
      azimuth = static_cast<float>(azimuth + kSunStep);
      if (azimuth > kTwoPi) azimuth = 0;
      break;
    case SunStep::Up:
      elevation = static_cast<float>(elevation + kSunStep);
      if (elevation > kHalfPi) elevation = static_cast<float>(kHalfPi);
      break;
    case SunStep::Down:
      elevation = static_cast<float>(elevation - kSunStep);
      if (elevation < 0) elevation = 0;
      break;
  }
  sky.setSun(elevation, azimuth);
}
