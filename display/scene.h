// The layers of the window's three-dimensional scene, each drawn with the
// renderer from what it is given. The window draws them in this order:
// terrain, sample points, region outlines, dome, contour lines
// (display/contour_lines.h), then the text (display/overlays.h).
//
// Each layer has two renderers that draw the same primitives with the same
// colours in the same order: the immediate one issues every vertex with its
// own call, the other hands GL the arrays of display/scene_arrays.h (client
// arrays, enabled only while a layer draws) and the sample spheres as display
// lists (SphereLists), which spares the per-vertex calls and, with the arrays
// kept from frame to frame, the sky's recomputation in every frame.
#pragma once

#include <functional>
#include <vector>

#include "core/sequence.h"
#include "display/scene_arrays.h"
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

// ---- The same layers from arrays -----------------------------------------------

// The terrain block from its arrays, under the terrain frame of the grid's
// size; only the frame's matrix when `arrays` is null (the terrain hidden).
void drawTerrainBlock(const TerrainArrays* arrays, int gridSizeX, int gridSizeY,
                      float hemisphereRadius);

// One display list per sphere size: the sample sphere's scale and its
// gluSphere, compiled the first time the size is drawn. The lists belong to
// the GL context current when they were made, and are deleted with the object.
class SphereLists {
 public:
  SphereLists() = default;
  ~SphereLists();
  SphereLists(const SphereLists&) = delete;
  SphereLists& operator=(const SphereLists&) = delete;

  unsigned list(float sphereSize, GLUquadric* quadric);

 private:
  struct Entry {
    float sphereSize;
    GLUquadric* quadric;
    unsigned list;
  };
  std::vector<Entry> lists_;
};

// Each point as a lit sphere drawn from its size's display list.
void drawSamplePoints(const Sequence<SamplePoint>& points, float hemisphereRadius,
                      float sphereSize, GLUquadric* quadric, SphereLists& spheres);

// A display list of one layer, compiled again whenever the layer's arrays
// have been rebuilt (SceneArrays' build count of the layer changes).
class LayerList {
 public:
  LayerList() = default;
  ~LayerList();
  LayerList(const LayerList&) = delete;
  LayerList& operator=(const LayerList&) = delete;

  // Calls the list, first compiling what `draw` issues into it when `build`
  // differs from the build it was compiled from.
  void call(int build, const std::function<void()>& draw);

 private:
  unsigned list_ = 0;
  int build_ = -1;
};

// The region outlines from regionOutlineArray: one line strip per arc,
// compiled into `list` (the many short strips cost the driver a call each;
// a list of them costs one).
void drawRegionOutlines(const std::vector<float>& arcs, int build, LayerList& list);

// The dome from its arrays.
void drawSkyHemisphere(const DomeArrays& dome);
