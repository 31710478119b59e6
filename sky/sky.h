// Sky: one sky as a value: its luminance distribution, the general sky type,
// the sun, and the two constants of the sharp sky. Everything the sky model
// computes is a function of a Sky, so any number of skies can be evaluated
// side by side.
#pragma once

#include "core/angles.h"
#include "core/vec3.h"

// The sky distributions the model knows. The value is an int underneath: an
// out-of-range value can exist (the window's state may hold one) and the
// model reports it and treats it as uniform.
enum class SkyDistribution : int {
  UNIFORM = 0,
  OVERCAST = 1,
  CLEAR = 2,
  SHARP = 3,
  POINT = 4,
  COSINE = 5,
  TURBID = 6,
  GENERAL = 7,
};

// The sun's default place: 45 degrees up (3.14159 / 4), due south (azimuth
// 3 * 3.14159 / 2, bearing 180).
constexpr float kDefaultSunElevation = 0.7853975f;
constexpr float kDefaultSunAzimuth = 4.712385f;

class Sky {
 public:
  // The clear sky with general type 12 selected and the sun at its default place.
  Sky() { setSun(kDefaultSunElevation, kDefaultSunAzimuth); }
  Sky(SkyDistribution distribution_, int generalType_, float sunElevation, float sunAzimuth)
      : distribution(distribution_), generalType(generalType_) {
    setSun(sunElevation, sunAzimuth);
  }

  SkyDistribution distribution = SkyDistribution::CLEAR;
  int generalType = 11;  // 0-based general type; shown to users as 1..15
  float specularity = 250.0f;
  float ambient = 0.1f;

  // The sun: elevation from the horizon and azimuth from +x towards +y, in
  // radians, and its unit vector, always angleToVector(azimuth, elevation).
  float sunElevation() const { return sunElevation_; }
  float sunAzimuth() const { return sunAzimuth_; }
  const Vec3& sunDirection() const { return sunDirection_; }
  void setSun(float elevation, float azimuth) {
    sunElevation_ = elevation;
    sunAzimuth_ = azimuth;
    sunDirection_ = angleToVector(azimuth, elevation);
  }

  // The same sky: every field equal (the sun's vector follows its angles).
  // A sky with a NaN field equals no sky, itself included.
  bool operator==(const Sky& other) const {
    return distribution == other.distribution && generalType == other.generalType &&
           specularity == other.specularity && ambient == other.ambient &&
           sunElevation_ == other.sunElevation_ && sunAzimuth_ == other.sunAzimuth_;
  }
  bool operator!=(const Sky& other) const { return !(*this == other); }

  // Whether the luminance depends on the sun's place (clear, sharp, point,
  // turbid and general skies).
  bool dependsOnTheSun() const {
    return distribution == SkyDistribution::CLEAR || distribution == SkyDistribution::SHARP ||
           distribution == SkyDistribution::POINT || distribution == SkyDistribution::TURBID ||
           distribution == SkyDistribution::GENERAL;
  }

 private:
  float sunElevation_ = 0;
  float sunAzimuth_ = 0;
  Vec3 sunDirection_;
};
