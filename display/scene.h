// The layers of the window's three-dimensional scene, each drawn with the
// renderer from what it is given. The window draws them in this order:
// terrain, sample points, region outlines, dome, contour lines
// (display/contour_lines.h), then the text (display/overlays.h).
#pragma once

#include "core/sequence.h"
#include "sampling/regions.h"
#include "sampling/sample_point.h"
#include "sky/sky.h"
#include "terrain/sky_grid.h"

class GLUquadric;

// The terrain surface shaded by its sky grid, its four walls and its base,
// in the frame of display/scene_geometry.h; nothing but the frame's matrix
// when drawTerrain is off or there is no terrain.
void drawTerrainBlock(const TerrainSkyGrid& terrain, float hemisphereRadius, bool drawTerrain);

// Each point as a lit sphere, in its class colour (orange without one).
void drawSamplePoints(const Sequence<SamplePoint>& points, float hemisphereRadius,
                      float sphereSize, GLUquadric* quadric);

// The outline of the region of each point, in red, just above the sky.
void drawRegionOutlines(const Sequence<SamplePoint>& points, const RegionPolygons& regionPolygons,
                        float hemisphereRadius);

// The dome in grey levels of relative luminance, translucent over the terrain.
void drawSkyHemisphere(const Sky& sky, float skyNormaliser, float hemisphereRadius,
                       bool drawTerrain);
