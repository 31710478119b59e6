// A sample set on the sky dome, as a picture to read at a glance.
//
// The hemisphere is drawn as a disc in plan, as sun-path diagrams draw it:
// north up, east to the right, the zenith at the centre and the horizon on the
// rim. The projection is equal-area (Lambert azimuthal): a direction at
// elevation e lies at R * sqrt(1 - sin e) from the centre, R the disc's
// radius, so equal parts of the sky cover equal parts of the disc and the
// density of dots is the density of sample directions. Bearings are marked
// every 30 degrees (N, E, S and W at the quarters), elevation rings at 30 and
// 60 degrees. Each point is a dot coloured by its weight with the viridis map
// (heavier dots drawn over lighter ones), and a colour bar shows the weights.
#pragma once

#include <string>
#include <vector>

#include "tools/legend.h"
#include "tools/raster_image.h"

// A sample direction as the sample file gives it: compass bearing in degrees
// clockwise from north, elevation in degrees above the horizon, weight.
struct SkyPoint {
  float bearing = 0;
  float elevation = 0;
  float weight = 0;
};

// Where the disc lies, in pixels.
struct SkyPlotLayout {
  double centreX = 0, centreY = 0;
  double radius = 0;
  ValueRange weights;  // the weights the colour bar spans
};

struct SkyPlot {
  RasterImage image;
  SkyPlotLayout layout;
};

// Draws the plot; `title` (e.g. the sky and the sun) goes above it when not
// empty. Elevations are held to 0 .. 90 degrees; a point with a bearing,
// elevation or weight that is not finite is left out.
SkyPlot drawSkyPlot(const std::vector<SkyPoint>& points, const std::string& title);

// Draws the plot and writes it as an 8-bit RGB PNG into the file, which the
// caller commits; on failure the file's error() says why.
bool writeSkyPlotPng(OutputFile& output, const std::vector<SkyPoint>& points, const std::string& title);
