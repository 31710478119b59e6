#include "display/scene_arrays.h"

#include <algorithm>
#include <functional>
#include <new>
#include <system_error>
#include <thread>

#include "core/parallel_in_order.h"
#include "display/contours.h"
#include "display/scene_geometry.h"
#include "sky/sky_model.h"

namespace {

void put(float*& out, float x, float y, float z) {
  out[0] = x;
  out[1] = y;
  out[2] = z;
  out += 3;
}

void append(std::vector<float>& out, const Vec3& v) {
  out.push_back(v.x);
  out.push_back(v.y);
  out.push_back(v.z);
}

std::vector<float> packed(const std::vector<Vec3>& points) {
  std::vector<float> out;
  out.reserve(3 * points.size());
  for (const Vec3& v : points) append(out, v);
  return out;
}

}  // namespace

// ---- Terrain --------------------------------------------------------------------

namespace {

// The surface of rows first .. last - 1 of the cells, written in place.
void fillSurfaceRows(const TerrainSkyGrid& grid, int first, int last, TerrainArrays& arrays) {
  const int ny = grid.terrain.gridSizeY;
  const float* heights = grid.terrain.terrainHeights.data();
  const float* skyGrid = grid.skyGrid.data();
  auto h = [&](int i, int j) { return heights[static_cast<size_t>(i) * ny + j]; };
  const size_t offset = 12 * static_cast<size_t>(first) * static_cast<size_t>(ny - 1);
  float* vertex = arrays.surface.data() + offset;
  float* colour = arrays.surfaceColours.data() + offset;
  for (int i = first; i < last; ++i) {
    for (int j = 0; j < ny - 1; ++j) {
      const float g = skyGrid[static_cast<size_t>(i) * ny + j];
      for (int k = 0; k < 4; ++k) put(colour, g, g, g);
      put(vertex, i, j, h(i, j) + 0.01f);
      put(vertex, i + 1, j, h(i + 1, j) + 0.01f);
      put(vertex, i + 1, j + 1, h(i + 1, j + 1) + 0.01f);
      put(vertex, i, j + 1, h(i, j + 1) + 0.01f);
    }
  }
}

// The surface on every core: a large terrain has millions of vertices, and
// the window waits for them after every load and change of sky.
void fillSurface(const TerrainSkyGrid& grid, TerrainArrays& arrays) {
  const int rows = grid.terrain.gridSizeX - 1;
  const size_t cells = static_cast<size_t>(rows) * static_cast<size_t>(grid.terrain.gridSizeY - 1);
  const int threads = cells < (size_t(1) << 16) ? 1 : static_cast<int>(std::min<unsigned>(defaultThreadCount(), rows));
  std::vector<std::thread> helpers;
  int done = 0;
  for (int t = 1; t < threads; ++t) {
    const int first = static_cast<int>(static_cast<long long>(rows) * (t - 1) / threads);
    const int last = static_cast<int>(static_cast<long long>(rows) * t / threads);
    try {
      helpers.emplace_back(fillSurfaceRows, std::cref(grid), first, last, std::ref(arrays));
      done = last;
    } catch (const std::system_error&) {
      break;  // no more threads to be had: this one does the rest
    }
  }
  fillSurfaceRows(grid, done, rows, arrays);
  for (std::thread& helper : helpers) helper.join();
}

}  // namespace

void fillTerrainArrays(const TerrainSkyGrid& grid, TerrainArrays& arrays) {
  const int nx = grid.terrain.gridSizeX, ny = grid.terrain.gridSizeY;
  arrays.drawn = !grid.terrain.terrainHeights.empty() && !grid.skyGrid.empty() && nx > 0 && ny > 0;
  arrays.outOfMemory = false;
  if (!arrays.drawn) {
    arrays = TerrainArrays();
    return;
  }
  const float* heights = grid.terrain.terrainHeights.data();
  auto h = [&](int i, int j) { return heights[static_cast<size_t>(i) * ny + j]; };

  // Resized, not replaced: the storage of the last build is reused.
  const size_t cells = static_cast<size_t>(nx - 1) * static_cast<size_t>(ny - 1);
  arrays.surface.resize(12 * cells);
  arrays.surfaceColours.resize(12 * cells);
  fillSurface(grid, arrays);

  // Walls, vertex pairs (top, bottom) or (bottom, top) so that each faces
  // outward, and the vertical edges at each side's two ends.
  struct Side {
    int i0, j0, di, dj, count;
    bool topFirst;
  };
  const Side sides[4] = {{0, 0, 1, 0, nx, true},
                         {0, 0, 0, 1, ny, false},
                         {0, ny - 1, 1, 0, nx, false},
                         {nx - 1, 0, 0, 1, ny, true}};
  for (int s = 0; s < 4; ++s) {
    const Side& side = sides[s];
    std::vector<float>& wall = arrays.walls[s];
    wall.resize(6 * static_cast<size_t>(side.count));
    float* out = wall.data();
    for (int n = 0; n < side.count; ++n) {
      const int i = side.i0 + n * side.di, j = side.j0 + n * side.dj;
      if (side.topFirst) {
        put(out, i, j, h(i, j));
        put(out, i, j, 0);
      } else {
        put(out, i, j, 0);
        put(out, i, j, h(i, j));
      }
    }
    const int last = side.count - 1;
    const int ends[2][2] = {{side.i0, side.j0}, {side.i0 + last * side.di, side.j0 + last * side.dj}};
    float* edge = arrays.edges[s];
    for (const auto& e : ends) {
      put(edge, e[0], e[1], h(e[0], e[1]));
      put(edge, e[0], e[1], 0);
    }
  }

  float* base = arrays.base;
  put(base, 0, 0, 0);
  put(base, 0, ny - 1, 0);
  put(base, nx - 1, ny - 1, 0);
  put(base, nx - 1, 0, 0);
}

// ---- Dome ------------------------------------------------------------------------

DomeArrays domeArrays(const Sky& sky, float skyNormaliser, float hemisphereRadius, bool drawTerrain) {
  std::vector<DomeCell> cells;
  computeDomeCells(sky, skyNormaliser, hemisphereRadius, cells);
  const float alpha = domeAlpha(drawTerrain);
  DomeArrays arrays;
  arrays.positions.reserve(12 * cells.size());
  arrays.colours.reserve(16 * cells.size());
  for (const DomeCell& cell : cells) {
    for (const Vec3& c : cell.corners) {
      append(arrays.positions, c);
      arrays.colours.insert(arrays.colours.end(), {cell.grey, cell.grey, cell.grey, alpha});
    }
  }
  return arrays;
}

// ---- Region outlines -------------------------------------------------------------

std::vector<float> regionOutlineArray(const Sequence<SamplePoint>& points,
                                      const RegionPolygons& regionPolygons, float hemisphereRadius) {
  std::vector<float> out;
  forEachRegionArc(points, regionPolygons, hemisphereRadius, [&](const Vec3* arc) {
    for (int n = 0; n < kRegionArcVertices; ++n) append(out, arc[n]);
  });
  return out;
}

// ---- Contour lines ---------------------------------------------------------------

ContourArrays contourArrays(const Sky& sky, float skyNormaliser, float hemisphereRadius) {
  ContourArrays arrays;
  std::vector<Vec3> points;
  computeContourSegments(sky, skyNormaliser, hemisphereRadius, points);
  arrays.segments = packed(points);
  points.clear();
  computeHorizonCircle(hemisphereRadius, points);
  arrays.horizon = packed(points);
  const float rc = contourRadius(hemisphereRadius);
  float* axes = arrays.axes;
  put(axes, -rc, 0, 0.001f);
  put(axes, rc, 0, 0.001f);
  put(axes, 0, -rc, 0.001f);
  put(axes, 0, rc, 0.001f);
  return arrays;
}

// ---- SceneArrays -----------------------------------------------------------------

bool SceneArrays::SkyKey::matches(const Sky& sky_, float normaliser_, float radius_) const {
  return valid && sky == sky_ && normaliser == normaliser_ && radius == radius_;
}

const TerrainArrays& SceneArrays::terrain(const TerrainSkyGrid& grid, long terrainVersion) {
  if (!terrainIsCurrent(grid, terrainVersion)) {
    try {
      fillTerrainArrays(grid, terrain_);
    } catch (const std::bad_alloc&) {
      terrain_ = TerrainArrays();
      terrain_.outOfMemory = true;
    }
    terrainSource_ = &grid;
    terrainVersion_ = terrainVersion;
    ++builds_.terrain;
  }
  return terrain_;
}

const DomeArrays& SceneArrays::dome(const Sky& sky, float normaliser, float radius,
                                    bool drawTerrain) {
  if (!domeKey_.matches(sky, normaliser, radius) || domeOverTerrain_ != drawTerrain) {
    dome_ = domeArrays(sky, normaliser, radius, drawTerrain);
    domeKey_ = {true, sky, normaliser, radius};
    domeOverTerrain_ = drawTerrain;
    ++builds_.dome;
  }
  return dome_;
}

const std::vector<float>& SceneArrays::regionOutlines(const Sequence<SamplePoint>& points,
                                                      const RegionPolygons& regionPolygons,
                                                      long sampleSetVersion, float radius) {
  if (!regionsValid_ || sampleSetVersion_ != sampleSetVersion || regionsRadius_ != radius) {
    regions_ = regionOutlineArray(points, regionPolygons, radius);
    regionsValid_ = true;
    sampleSetVersion_ = sampleSetVersion;
    regionsRadius_ = radius;
    ++builds_.regions;
  }
  return regions_;
}

const ContourArrays& SceneArrays::contours(const Sky& sky, float normaliser, float radius) {
  if (!contoursKey_.matches(sky, normaliser, radius)) {
    contours_ = contourArrays(sky, normaliser, radius);
    contoursKey_ = {true, sky, normaliser, radius};
    ++builds_.contours;
  }
  return contours_;
}

float SceneArrays::skyNormaliser(const Sky& sky) {
  if (!normaliserValid_ || normalisedSky_ != sky) {
    normaliser_ = normaliseSky(sky);
    normalisedSky_ = sky;
    normaliserValid_ = true;
    ++builds_.normaliser;
  }
  return normaliser_;
}
