// Option values shared by the command-line tools: the sky by name and the sun
// by elevation and compass bearing in degrees.
#pragma once

#include <string>

#include "sky/sky.h"

// What --sky accepts, for messages.
extern const char* const kSkyNamesAccepted;
// What --sun accepts, for messages.
extern const char* const kSunAccepted;

// "uniform", "overcast", "clear", "sharp", "point", "cosine", "turbid" or
// "general-N" with N from 1 to 15. GENERAL sets the 0-based generalType N-1;
// the other names leave generalType alone. Returns false for anything else.
bool parseSkyName(const std::string& name, SkyDistribution& distribution, int& generalType);

// "ELEVATION,BEARING" in degrees, decimal numbers (parseDecimal of
// tools/options.h): elevation 0..90, bearing 0..360 clockwise from north
// (+y). Gives the model's angles in radians as compassToModelAngles
// (core/angles.h) does, so "45,180" gives exactly the program's default
// angles 0.7853975 and 4.712385. Returns false on bad text.
bool parseSun(const std::string& text, float& elevation, float& azimuth);
// The same, also giving the degrees as typed.
bool parseSun(const std::string& text, float& elevation, float& azimuth, double& elevationDegrees,
              double& bearingDegrees);

class OptionReader;

// The sky and sun a tool is given: --sky NAME and --sun ELEVATION,BEARING.
struct SkyOptions {
  std::string name = "clear";  // as given, for titles and messages
  SkyDistribution distribution = SkyDistribution::CLEAR;
  int generalType = Sky().generalType;
  float sunElevation = kDefaultSunElevation;
  float sunAzimuth = kDefaultSunAzimuth;
  // The same sun in degrees as typed: elevation and compass bearing.
  double sunElevationDegrees = 45, sunBearingDegrees = 180;
  bool sunGiven = false;  // --sun was given

  // The sky with the given sun, or with another (a site's at a time).
  Sky sky() const { return sky(sunElevation, sunAzimuth); }
  Sky sky(float elevation, float azimuth) const { return Sky(distribution, generalType, elevation, azimuth); }
};

// If the reader's current argument is --sky or --sun, reads its value into
// `options` (a bad value ends the tool with status 2) and returns true;
// otherwise returns false and changes nothing.
bool readSkyOptions(OptionReader& args, SkyOptions& options);

// Sends the sky model's diagnostics to standard error, where they cannot mix
// with a file written to standard output. In a batch the POINT sky's table
// of its indicatrix, the same for every time, is left out rather than
// interleaved from several threads. Call it once, before any sky is evaluated.
void routeSkyDiagnostics(bool batch);
