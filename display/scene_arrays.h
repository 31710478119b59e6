// The scene's layers as vertex arrays, built without GL, and SceneArrays, which
// keeps them from frame to frame and rebuilds a layer only when what it shows
// has changed.
//
// An array holds the very vertices and colours the layer's immediate drawing
// (display/scene.h) issues one call at a time, in the same order: positions as
// packed x, y, z floats, colours as packed r, g, b (or r, g, b, a) floats, one
// per vertex. The renderer hands them to GL with client arrays, so the same
// primitives reach the rasteriser and the frames are the same.
//
// Index
//   TerrainArrays         the terrain surface, walls, corner edges and base
//   DomeArrays            the dome's quadrilaterals and their grey levels
//   regionOutlineArray    the arcs of the region outlines
//   ContourArrays         the contour segments, the horizon circle and axes
//   SceneArrays           the arrays of the last frame and when to rebuild them
#pragma once

#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "core/sequence.h"
#include "sampling/regions.h"
#include "sampling/sample_point.h"
#include "sky/sky.h"
#include "terrain/sky_grid.h"

// ---- Terrain --------------------------------------------------------------------
// The storage of the terrain's large arrays: elements a resize adds are left
// uninitialised, not zeroed, as the fill writes every one, and a pass less
// over the hundred megabytes of a 1024 x 1024 terrain counts.
template <typename T>
struct UninitialisedAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = UninitialisedAllocator<U>;
  };
  UninitialisedAllocator() = default;
  template <typename U>
  UninitialisedAllocator(const UninitialisedAllocator<U>&) {}
  template <typename U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};
using LargeFloatArray = std::vector<float, UninitialisedAllocator<float>>;

// In grid coordinates (i, j, height), drawn under the terrain frame's matrix
// (display/scene_geometry.h).
struct TerrainArrays {
  bool drawn = false;  // false for a terrain without heights, sky grid or cells
  // The arrays of a terrain too large for the memory left: none are kept,
  // and the renderer draws that terrain immediately, which needs none.
  bool outOfMemory = false;
  // GL_QUADS: four vertices per cell (i, j), (i+1, j), (i+1, j+1), (i, j+1),
  // lifted 0.01 above their heights, each with the cell's grey (r, g, b).
  LargeFloatArray surface;
  LargeFloatArray surfaceColours;
  // The four sides in drawing order (j = 0, i = 0, j = last, i = last): its
  // wall as one GL_QUAD_STRIP, then its two corner edges as GL_LINES.
  std::vector<float> walls[4];
  float edges[4][12] = {};
  // GL_QUADS: the base at height 0, facing down.
  float base[12] = {};
};
// Fills `arrays` with the terrain's, reusing their storage (a terrain of
// the same size, under another sky, needs no new memory). Throws
// std::bad_alloc when the storage cannot be had.
void fillTerrainArrays(const TerrainSkyGrid& terrain, TerrainArrays& arrays);

// ---- Dome ------------------------------------------------------------------------
// GL_QUADS: the corners of every cell of computeDomeCells, each with the
// cell's (grey, grey, grey, alpha).
struct DomeArrays {
  std::vector<float> positions;
  std::vector<float> colours;
};
DomeArrays domeArrays(const Sky& sky, float skyNormaliser, float hemisphereRadius, bool drawTerrain);

// ---- Region outlines -------------------------------------------------------------
// The arcs of regionArc for every edge of the region of each point, in
// drawing order, kRegionArcVertices vertices each: one GL_LINE_STRIP per arc.
std::vector<float> regionOutlineArray(const Sequence<SamplePoint>& points,
                                      const RegionPolygons& regionPolygons, float hemisphereRadius);

// ---- Contour lines ---------------------------------------------------------------
struct ContourArrays {
  std::vector<float> segments;  // GL_LINES: computeContourSegments
  std::vector<float> horizon;   // GL_LINE_LOOP: computeHorizonCircle
  float axes[12] = {};          // GL_LINES: the x and y axes across the base
};
ContourArrays contourArrays(const Sky& sky, float skyNormaliser, float hemisphereRadius);

// ---- SceneArrays -----------------------------------------------------------------
// The layers' arrays, each rebuilt by its accessor when an input it shows
// differs from the one it was built from. Small inputs (the sky, the
// normaliser, the radius, the switches) are compared by value. The terrain
// and the sample set are large, so their owners number their versions: every
// change of a terrain or its sky grid, and of the sample points or their
// regions, must come with a new version number (AppState's terrainVersion
// and sampleSetVersion), and a version is all that is compared.
class SceneArrays {
 public:
  const TerrainArrays& terrain(const TerrainSkyGrid& terrain, long terrainVersion);
  // Whether terrain() would hand out its arrays without building them.
  bool terrainIsCurrent(const TerrainSkyGrid& terrain, long terrainVersion) const {
    return terrainSource_ == &terrain && terrainVersion_ == terrainVersion;
  }
  const DomeArrays& dome(const Sky& sky, float skyNormaliser, float hemisphereRadius,
                         bool drawTerrain);
  const std::vector<float>& regionOutlines(const Sequence<SamplePoint>& points,
                                           const RegionPolygons& regionPolygons,
                                           long sampleSetVersion, float hemisphereRadius);
  const ContourArrays& contours(const Sky& sky, float skyNormaliser, float hemisphereRadius);
  // normaliseSky of the sky, computed again only for a different sky.
  float skyNormaliser(const Sky& sky);

  // How many times each layer was built (for tests and measurements).
  struct Builds {
    int terrain = 0, dome = 0, regions = 0, contours = 0, normaliser = 0;
  };
  const Builds& builds() const { return builds_; }

 private:
  // The sky and scale a sky layer was built for.
  struct SkyKey {
    bool valid = false;
    Sky sky;
    float normaliser = 0;
    float radius = 0;
    bool matches(const Sky& sky, float normaliser, float radius) const;
  };

  Builds builds_;

  TerrainArrays terrain_;
  const TerrainSkyGrid* terrainSource_ = nullptr;
  long terrainVersion_ = 0;

  DomeArrays dome_;
  SkyKey domeKey_;
  bool domeOverTerrain_ = false;

  std::vector<float> regions_;
  bool regionsValid_ = false;
  long sampleSetVersion_ = 0;
  float regionsRadius_ = 0;

  ContourArrays contours_;
  SkyKey contoursKey_;

  bool normaliserValid_ = false;
  Sky normalisedSky_;
  float normaliser_ = 0;
};
