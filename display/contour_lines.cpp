#include "display/contour_lines.h"

#include <GL/gl.h>

#include <vector>

#include "display/client_arrays.h"
#include "display/contours.h"

namespace {

void setContourState() {
  glLineWidth(1.0f);
  glEnable(GL_LINE_SMOOTH);
  glColor4f(1, 1, 0, 0.7f);
}

}  // namespace

void drawContourLines(const Sky& sky, float skyNormaliser, float hemisphereRadius,
                      bool drawHemisphere) {
  setContourState();

  // Without the dome, the horizon and the two axes show where the sky is.
  if (!drawHemisphere) {
    const float rc = contourRadius(hemisphereRadius);
    std::vector<Vec3> circle;
    computeHorizonCircle(hemisphereRadius, circle);
    glBegin(GL_LINE_LOOP);
    for (const Vec3& p : circle) glVertex3f(p.x, p.y, p.z);
    glEnd();
    glBegin(GL_LINES);
    glVertex3f(-rc, 0, 0.001f);
    glVertex3f(rc, 0, 0.001f);
    glVertex3f(0, -rc, 0.001f);
    glVertex3f(0, rc, 0.001f);
    glEnd();
  }

  std::vector<Vec3> segments;
  computeContourSegments(sky, skyNormaliser, hemisphereRadius, segments);
  glBegin(GL_LINES);
  for (const Vec3& v : segments) glVertex3f(v.x, v.y, v.z);
  glEnd();
}

void drawContourLines(const ContourArrays& contours, bool drawHemisphere) {
  setContourState();
  if (!drawHemisphere) {
    {
      ClientArrays circle(contours.horizon.data());
      glDrawArrays(GL_LINE_LOOP, 0, static_cast<GLsizei>(vertexCount(contours.horizon)));
    }
    ClientArrays axes(contours.axes);
    glDrawArrays(GL_LINES, 0, 4);
  }
  drawArraysInParts(GL_LINES, contours.segments.data(), nullptr, 0, vertexCount(contours.segments), 2);
}
