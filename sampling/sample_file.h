// The sample point file: a short header naming the sky and the sun, then one
// line per sample point, "bearing,elevation,weight", angles in whole degrees
// (bearings clockwise from north), weights summing to 1.
//
//   distribution:  CLEAR
//   sun elevation: 45
//   sun azimuth:   180
//   sample points: 181
//
//   Format of sample points: azimuth,elevation,weight (weights sum to 1.0)
//
//   90,90,0.0123
//   ...
#pragma once

#include <string>

#include "core/sequence.h"
#include "sampling/sample_point.h"
#include "sky/sky.h"

// The text of the file for a sky (its name and sun go to the header) and the
// sample points of a set made under it. With decimals D > 0 (at most 6) the
// points' bearings and elevations are written with D decimals, as fileAngles
// gives them; the header is the same.
std::string formatSamplePoints(const Sky& sky, const Sequence<SamplePoint>& points,
                               int decimals = 0);

// Writes the text to the file fileName so that it is either complete or not touched, the
// way every file is written (core/output_file.h): through a temporary file
// beside the file replaced, keeping its permissions, through a symbolic link
// to its target; a device or a FIFO is written in place. On any failure an
// earlier file of that name stays as it was and standard error gets one
// line: Could not open file "NAME". when the file cannot be made (a folder in
// the way, a missing folder), or Could not write file "NAME". when writing,
// flushing, closing or renaming fails. Returns whether the file was written.
bool recordSamplePoints(const std::string& fileName, const std::string& text);

// The window's command: records the sample points of the set in fileName and returns the
// message to flash: "Sample points are recorded in `NAME'.", or "Could not
// record the sample points in `NAME'." on failure, or "No sample points were
// recorded." for an empty name (no file is touched).
std::string writeSamplePoints(const std::string& fileName, const Sky& sky,
                              const Sequence<SamplePoint>& points);
