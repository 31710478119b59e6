// The scene of the application window, drawn anew in every frame.
//
// Index
//   drawScene            frame set-up, help-only frame, then the layers in order
//   drawTerrainBlock     the terrain surface shaded by its sky light, walls, base
//   drawSamplePoints     the sample points as lit spheres
//   drawRegionOutlines   the outline of each sample point's region on the sky
//   drawSkyHemisphere    the dome shaded by relative luminance
// The contour lines are in display/contour_lines.cpp, the text in
// display/overlays.cpp; the geometry itself comes from display/scene_geometry.h.
#include <GL/glu.h>
#include <GL/glut.h>

#include <vector>

#include "app/app_state.h"
#include "app/persp_window.h"
#include "display/contour_lines.h"
#include "display/light.h"
#include "display/scene_geometry.h"
#include "sky/sky_model.h"
#include "terrain/terrain_file.h"

void perspWindow::drawScene() {
  glClearColor(0.4f, 0.6f, 0.4f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

  // The help text is shown alone.
  if (helpRequested) {
    helpShown = true;
    drawFlashMessage();
    return;
  }

  // Every solid surface is wound counter-clockwise seen from outside, so only
  // its outer side is drawn and the translucent dome is blended once.
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);

  drawTerrainBlock();
  if (appState.samplesComputed) drawSamplePoints();
  if (appState.drawRegions) drawRegionOutlines();
  if (appState.drawHemisphere) drawSkyHemisphere();
  if (appState.drawContours) drawContourLines();
  drawOverlays();
}

void perspWindow::drawTerrainBlock() {
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  const TerrainFrame frame = terrainFrame(appState.hemisphereRadius, gridSizeX, gridSizeY);
  glTranslatef(frame.origin, frame.origin, 0);
  glScalef(frame.scale, frame.scale, frame.scale);

  const float* heights = terrainHeights();
  if (appState.drawTerrain && heights != nullptr && skyGrid != nullptr && gridSizeX > 0 &&
      gridSizeY > 0) {
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

void perspWindow::drawSamplePoints() {
  sceneLight.enable();
  glEnable(GL_NORMALIZE);
  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);

  const float radius = appState.hemisphereRadius;
  const float scale = sampleSphereScale(sphereSize);
  const Sequence<SamplePoint>& points = appState.samplePoints;
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
    gluSphere(appState.quadric, 1.0, 10, 10);
    glPopMatrix();
  }

  glDisable(GL_NORMALIZE);
  glDisable(GL_LIGHTING);
}

void perspWindow::drawRegionOutlines() {
  glLineWidth(1.0f);
  glEnable(GL_LINE_SMOOTH);
  glColor4f(1, 0, 0, 1);
  glDisable(GL_BLEND);

  const float radius = appState.hemisphereRadius;
  const int regions = static_cast<int>(regionPolygons.size());
  for (int i = 0; i < appState.samplePoints.numElements && i < regions; ++i) {
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

void perspWindow::drawSkyHemisphere() {
  // The normaliser follows the current sky in every frame that shows it.
  normaliseSky();
  std::vector<DomeCell> cells;
  computeDomeCells(cells);
  const float alpha = domeAlpha(appState.drawTerrain);
  glBegin(GL_QUADS);
  for (const DomeCell& cell : cells) {
    glColor4f(cell.grey, cell.grey, cell.grey, alpha);
    for (const Vec3& c : cell.corners) glVertex3f(c.x, c.y, c.z);
  }
  glEnd();
}
