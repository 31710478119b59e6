// The layers of the scene, drawn anew in every frame.
//
// Index
//   drawTerrainBlock     the terrain surface shaded by its sky light, walls, base
//   drawSamplePoints     the sample points as lit spheres
//   drawRegionOutlines   the outline of each sample point's region on the sky
//   drawSkyHemisphere    the dome shaded by relative luminance
// The geometry itself comes from display/scene_geometry.h.
#include "display/scene.h"

#include <GL/glu.h>

#include <vector>

#include "display/light.h"
#include "display/scene_geometry.h"

void drawTerrainBlock(const TerrainSkyGrid& terrain, float hemisphereRadius, bool drawTerrain) {
  const int gridSizeX = terrain.terrain.gridSizeX, gridSizeY = terrain.terrain.gridSizeY;
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  const TerrainFrame frame = terrainFrame(hemisphereRadius, gridSizeX, gridSizeY);
  glTranslatef(frame.origin, frame.origin, 0);
  glScalef(frame.scale, frame.scale, frame.scale);

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
  sceneLight.enable();
  glEnable(GL_NORMALIZE);
  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);

  const float radius = hemisphereRadius;
  const float scale = sampleSphereScale(sphereSize);
  for (int i = 0; i < points.numElements; ++i) {
    const SamplePoint& p = points.element(i);
    if (p.colour != nullptr) {
      glColor3ub(p.colour[0], p.colour[1], p.colour[2]);
    } else {
      glColor3f(0.9529412f, 0.67058825f, 0.0627451f);  // (243, 171, 16) / 255
    }
    const Vec3 at = samplePointPosition(p.elevation, p.azimuth, radius);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(at.x, at.y, at.z);
    glScalef(scale, scale, scale);
    gluSphere(quadric, 1.0, 10, 10);
    glPopMatrix();
  }

  glDisable(GL_NORMALIZE);
  glDisable(GL_LIGHTING);
}

void drawRegionOutlines(const Sequence<SamplePoint>& points, const RegionPolygons& regionPolygons,
                        float hemisphereRadius) {
  glLineWidth(1.0f);
  glEnable(GL_LINE_SMOOTH);
  glColor4f(1, 0, 0, 1);
  glDisable(GL_BLEND);

  const float radius = hemisphereRadius;
  const int regions = static_cast<int>(regionPolygons.size());
  for (int i = 0; i < points.numElements && i < regions; ++i) {
    const Sequence<Vec3>& corners = regionPolygons[i];
    const int m = corners.numElements;
    for (int k = 0; k < m; ++k) {
      Vec3 arc[kRegionArcVertices];
      regionArc(corners.element(k), corners.element((k + 1) % m), radius, arc);
      glBegin(GL_LINE_STRIP);
      for (const Vec3& v : arc) glVertex3f(v.x, v.y, v.z);
      glEnd();
    }
  }

  glEnable(GL_BLEND);
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
