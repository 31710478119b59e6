// The layers of the scene, immediately and from arrays.
//
// Index
//   drawTerrainBlock     the terrain surface shaded by its sky light, walls, base
//   drawSamplePoints     the sample points as lit spheres
//   drawRegionOutlines   the outline of each sample point's region on the sky
//   drawSkyHemisphere    the dome shaded by relative luminance
//   From arrays          the same four from display/scene_arrays.h
// The geometry itself comes from display/scene_geometry.h.
#include "display/scene.h"

#include <GL/glu.h>

#include <functional>
#include <vector>

#include "display/client_arrays.h"
#include "display/light.h"
#include "display/scene_geometry.h"

namespace {

// The model-view matrix of the terrain frame: grid point (i, j, h) to world.
void pushTerrainFrame(float hemisphereRadius, int gridSizeX, int gridSizeY) {
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  const TerrainFrame frame = terrainFrame(hemisphereRadius, gridSizeX, gridSizeY);
  glTranslatef(frame.origin, frame.origin, 0);
  glScalef(frame.scale, frame.scale, frame.scale);
}

// The lit spheres of the points; `sphere` draws one, scaled, at the origin.
void drawSpheres(const Sequence<SamplePoint>& points, float hemisphereRadius,
                 const std::function<void()>& sphere) {
  sceneLight.enable();
  glEnable(GL_NORMALIZE);
  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);

  for (int i = 0; i < points.numElements; ++i) {
    const SamplePoint& p = points.element(i);
    if (p.colour != nullptr) {
      glColor3ub(p.colour[0], p.colour[1], p.colour[2]);
    } else {
      glColor3f(0.9529412f, 0.67058825f, 0.0627451f);  // (243, 171, 16) / 255
    }
    const Vec3 at = samplePointPosition(p.elevation, p.azimuth, hemisphereRadius);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(at.x, at.y, at.z);
    sphere();
    glPopMatrix();
  }

  glDisable(GL_NORMALIZE);
  glDisable(GL_LIGHTING);
}

// The sphere of one sample point, radius 1 scaled to the sphere size.
void scaledSphere(float sphereSize, GLUquadric* quadric) {
  const float scale = sampleSphereScale(sphereSize);
  glScalef(scale, scale, scale);
  gluSphere(quadric, 1.0, 10, 10);
}

// The outlines' red, smooth, unblended lines around `draw`.
void withOutlineState(const std::function<void()>& draw) {
  glLineWidth(1.0f);
  glEnable(GL_LINE_SMOOTH);
  glColor4f(1, 0, 0, 1);
  glDisable(GL_BLEND);
  draw();
  glEnable(GL_BLEND);
}

}  // namespace

void drawTerrainBlock(const TerrainSkyGrid& terrain, float hemisphereRadius, bool drawTerrain) {
  const int gridSizeX = terrain.terrain.gridSizeX, gridSizeY = terrain.terrain.gridSizeY;
  pushTerrainFrame(hemisphereRadius, gridSizeX, gridSizeY);

  const float* heights = terrain.terrain.terrainHeights.data();
  const float* skyGrid = terrain.skyGrid.data();
  if (drawTerrain && !terrain.terrain.terrainHeights.empty() && !terrain.skyGrid.empty() &&
      gridSizeX > 0 && gridSizeY > 0) {
    const int nx = gridSizeX, ny = gridSizeY;
    auto h = [&](int i, int j) { return heights[i * ny + j]; };

    // Surface, lifted a little above the walls' top edges.
    glBegin(GL_QUADS);
    for (int i = 0; i < nx - 1; ++i) {
      for (int j = 0; j < ny - 1; ++j) {
        const float g = skyGrid[i * ny + j];
        glColor3f(g, g, g);
        glVertex3f(i, j, h(i, j) + 0.01f);
        glVertex3f(i + 1, j, h(i + 1, j) + 0.01f);
        glVertex3f(i + 1, j + 1, h(i + 1, j + 1) + 0.01f);
        glVertex3f(i, j + 1, h(i, j + 1) + 0.01f);
      }
    }
    glEnd();

    // One side: its wall (vertex pairs top-bottom or bottom-top so that it
    // faces outward), then the vertical edges at its two ends.
    auto side = [&](int i0, int j0, int di, int dj, int count, bool topFirst) {
      glColor3f(0.6f, 0.6f, 0.4f);
      glBegin(GL_QUAD_STRIP);
      for (int n = 0; n < count; ++n) {
        const int i = i0 + n * di, j = j0 + n * dj;
        if (topFirst) {
          glVertex3f(i, j, h(i, j));
          glVertex3f(i, j, 0);
        } else {
          glVertex3f(i, j, 0);
          glVertex3f(i, j, h(i, j));
        }
      }
      glEnd();
      glColor3f(0.42f, 0.42f, 0.28f);
      glBegin(GL_LINES);
      const int ends[2][2] = {{i0, j0}, {i0 + (count - 1) * di, j0 + (count - 1) * dj}};
      for (const auto& e : ends) {
        glVertex3f(e[0], e[1], h(e[0], e[1]));
        glVertex3f(e[0], e[1], 0);
      }
      glEnd();
    };
    side(0, 0, 1, 0, nx, true);             // j = 0
    side(0, 0, 0, 1, ny, false);            // i = 0
    side(0, ny - 1, 1, 0, nx, false);       // j = ny - 1
    side(nx - 1, 0, 0, 1, ny, true);        // i = nx - 1

    // Base, facing down.
    glColor3f(0.6f, 0.6f, 0.4f);
    glBegin(GL_QUADS);
    glVertex3f(0, 0, 0);
    glVertex3f(0, ny - 1, 0);
    glVertex3f(nx - 1, ny - 1, 0);
    glVertex3f(nx - 1, 0, 0);
    glEnd();
  }
  glPopMatrix();
}

void drawSamplePoints(const Sequence<SamplePoint>& points, float hemisphereRadius,
                      float sphereSize, GLUquadric* quadric) {
  drawSpheres(points, hemisphereRadius, [&] { scaledSphere(sphereSize, quadric); });
}

void drawRegionOutlines(const Sequence<SamplePoint>& points, const RegionPolygons& regionPolygons,
                        float hemisphereRadius) {
  withOutlineState([&] {
    forEachRegionArc(points, regionPolygons, hemisphereRadius, [](const Vec3* arc) {
      glBegin(GL_LINE_STRIP);
      for (int n = 0; n < kRegionArcVertices; ++n) glVertex3f(arc[n].x, arc[n].y, arc[n].z);
      glEnd();
    });
  });
}

void drawSkyHemisphere(const Sky& sky, float skyNormaliser, float hemisphereRadius,
                       bool drawTerrain) {
  std::vector<DomeCell> cells;
  computeDomeCells(sky, skyNormaliser, hemisphereRadius, cells);
  const float alpha = domeAlpha(drawTerrain);
  glBegin(GL_QUADS);
  for (const DomeCell& cell : cells) {
    glColor4f(cell.grey, cell.grey, cell.grey, alpha);
    for (const Vec3& c : cell.corners) glVertex3f(c.x, c.y, c.z);
  }
  glEnd();
}

// ---- From arrays ------------------------------------------------------------------

void drawTerrainBlock(const TerrainArrays* arrays, int gridSizeX, int gridSizeY,
                      float hemisphereRadius) {
  pushTerrainFrame(hemisphereRadius, gridSizeX, gridSizeY);
  if (arrays != nullptr && arrays->drawn) {
    drawArraysInParts(GL_QUADS, arrays->surface.data(), arrays->surfaceColours.data(), 3,
                      vertexCount(arrays->surface), 4);
    for (int side = 0; side < 4; ++side) {
      glColor3f(0.6f, 0.6f, 0.4f);
      {
        ClientArrays wall(arrays->walls[side].data());
        glDrawArrays(GL_QUAD_STRIP, 0, static_cast<GLsizei>(vertexCount(arrays->walls[side])));
      }
      glColor3f(0.42f, 0.42f, 0.28f);
      ClientArrays edges(arrays->edges[side]);
      glDrawArrays(GL_LINES, 0, 4);
    }
    glColor3f(0.6f, 0.6f, 0.4f);
    ClientArrays base(arrays->base);
    glDrawArrays(GL_QUADS, 0, 4);
  }
  glPopMatrix();
}

SphereLists::~SphereLists() {
  for (const Entry& entry : lists_) glDeleteLists(entry.list, 1);
}

unsigned SphereLists::list(float sphereSize, GLUquadric* quadric) {
  for (const Entry& entry : lists_) {
    if (entry.sphereSize == sphereSize && entry.quadric == quadric) return entry.list;
  }
  const unsigned list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  scaledSphere(sphereSize, quadric);
  glEndList();
  lists_.push_back({sphereSize, quadric, list});
  return list;
}

void drawSamplePoints(const Sequence<SamplePoint>& points, float hemisphereRadius,
                      float sphereSize, GLUquadric* quadric, SphereLists& spheres) {
  if (points.numElements == 0) {
    drawSpheres(points, hemisphereRadius, [] {});
    return;
  }
  const unsigned list = spheres.list(sphereSize, quadric);
  drawSpheres(points, hemisphereRadius, [list] { glCallList(list); });
}

LayerList::~LayerList() {
  if (list_ != 0) glDeleteLists(list_, 1);
}

void LayerList::call(int build, const std::function<void()>& draw) {
  if (list_ == 0) list_ = glGenLists(1);
  if (build != build_) {
    glNewList(list_, GL_COMPILE);
    draw();
    glEndList();
    build_ = build;
  }
  glCallList(list_);
}

void drawRegionOutlines(const std::vector<float>& arcs, int build, LayerList& list) {
  withOutlineState([&] {
    list.call(build, [&] {
      if (arcs.empty()) return;
      ClientArrays arrays(arcs.data());
      const size_t vertices = vertexCount(arcs);
      for (size_t first = 0; first < vertices; first += kRegionArcVertices) {
        glDrawArrays(GL_LINE_STRIP, static_cast<GLint>(first), kRegionArcVertices);
      }
    });
  });
}

void drawSkyHemisphere(const DomeArrays& dome) {
  drawArraysInParts(GL_QUADS, dome.positions.data(), dome.colours.data(), 4,
                    vertexCount(dome.positions), 4);
}
