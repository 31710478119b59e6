#include "display/contour_lines.h"

#include <GL/gl.h>

#include <vector>

#include "display/contours.h"

void drawContourLines(const Sky& sky, float skyNormaliser, float hemisphereRadius,
                      bool drawHemisphere) {
  glLineWidth(1.0f);
  glEnable(GL_LINE_SMOOTH);
  glColor4f(1, 1, 0, 0.7f);

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
