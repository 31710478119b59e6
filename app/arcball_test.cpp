#include "app/arcball.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The model-view matrix gluLookAt builds, in GL's column-major order.
void lookAtGL(const Vec3& eye, const Vec3& center, const Vec3& up, float gl[16]) {
  Vec3 f = (center - eye).unit(), s = f.cross(up).unit(), u = s.cross(f);
  const float rows[4][4] = {{s.x, s.y, s.z, -s.dot(eye)},
                            {u.x, u.y, u.z, -u.dot(eye)},
                            {-f.x, -f.y, -f.z, f.dot(eye)},
                            {0, 0, 0, 1}};
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 4; ++col) gl[4 * col + row] = rows[row][col];
}

void expectNear(const Vec3& actual, const Vec3& expected, float tolerance) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

constexpr int kWidth = 1351, kHeight = 1339;

TEST(ArcballTest, CentreIsThePoleAndPositionsOutsideTheCircleMapToTheRim) {
  expectNear(projectToArcball(500, 500, 1000, 1000), Vec3(0, 0, 1), 0);
  expectNear(projectToArcball(500, 250, 1000, 1000), Vec3(0, 0.5f, std::sqrt(0.75f)), 1e-7f);
  for (int corner = 0; corner < 4; ++corner) {
    Vec3 p = projectToArcball(corner & 1 ? kWidth + 300 : -40, corner & 2 ? kHeight - 1 : 0,
                              kWidth, kHeight);
    EXPECT_TRUE(p.z == 0 && (p.x > 0) == ((corner & 1) != 0) && (p.y > 0) == ((corner & 2) == 0))
        << corner;
    EXPECT_NEAR(p.x * p.x + p.y * p.y, 1.0f, 1e-6f) << corner;
  }
}

// A drag from the centre to a = 0.5 spans 30 degrees on the sphere and turns
// the view by 60; along any path the eye keeps its distance from the centre
// and the up vector stays a unit vector across the line of sight.
TEST(ArcballTest, TurnsTwiceTheAngleBetweenTheSpherePointsKeepingDistanceAndUp) {
  Vec3 eye(10, 0, 0), up(0, 0, 1);
  float gl[16];
  lookAtGL(eye, Vec3(0, 0, 0), up, gl);
  CameraTurn turn = arcballTurn(eye, Vec3(0, 0, 0), gl, 500, 500, 750, 500, 1000, 1000);
  EXPECT_NEAR(turn.eye.length(), 10, 1e-4f);
  EXPECT_NEAR(turn.eye.z, 0, 1e-5f);
  EXPECT_NEAR(std::fabs(std::atan2(turn.eye.y, turn.eye.x)), 3.14159f / 3, 1e-5f);
  expectNear(turn.up, up, 1e-6f);
  // Opposite sphere points give at most a half turn.
  EXPECT_EQ(arcballQuaternion(Vec3(1, 0, 0), Vec3(-1.0000001f, 0, 0)).w, -1);

  const Vec3 start(39.3064f, -29.7355f, 23.2902f), center(0, 0, 1);
  eye = start;
  const float distance = (eye - center).length();
  int lastX = 400, lastY = 300;
  const int path[][2] = {{400, 300}, {700, 650}, {900, 300}, {1340, 20}, {10, 1300}};
  for (const auto& p : path) {
    lookAtGL(eye, center, up, gl);
    turn = arcballTurn(eye, center, gl, lastX, lastY, p[0], p[1], kWidth, kHeight);
    EXPECT_NEAR((turn.eye - center).length(), distance, distance * 1e-5f);
    EXPECT_NEAR(turn.up.length(), 1, 1e-5f);
    EXPECT_NEAR(turn.up.dot((turn.eye - center).unit()), 0, 1e-5f);
    if (&p == &path[0]) expectNear(turn.eye, start, 1e-4f);  // no motion keeps the camera
    eye = turn.eye, up = turn.up, lastX = p[0], lastY = p[1];
  }
}

TEST(ArcballTest, ZoomPanAndDolly) {
  // Ten percent per hundred pixels, within 0.001 and 135 degrees.
  const struct { float fovy, lastY, y, expected; } cases[] = {
      {30, 500, 400, static_cast<float>(30 * 1.1)}, {30, 400, 500, static_cast<float>(30 * 0.9)},
      {11.619f, 300, 300, 11.619f}, {130, 500, 0, 135}, {30, 0, 1000, 0.001f} /* factor 0 */,
      {30, 0, 5000, 0.001f} /* negative */, {0.001f, 9, 10, 0.001f}};
  for (const auto& c : cases)
    EXPECT_EQ(zoomFieldOfView(c.fovy, c.lastY, c.y), c.expected) << c.fovy << " " << c.lastY << " -> " << c.y;
  // Mouse right: the camera moves left. Mouse down: the camera moves up.
  CameraFrame frame = cameraFrame(Vec3(0, -10, 0), Vec3(0, 0, 0), Vec3(0, 0, 2));
  expectNear(frame.r, Vec3(1, 0, 0), 0);
  expectNear(panOffset(frame, 35, 100, 100, 135, 100), Vec3(-3.5f, 0, 0), 1e-6f);
  expectNear(panOffset(frame, 35, 100, 100, 100, 110), Vec3(0, 0, 1), 1e-6f);
  expectNear(dollyOffset(frame, 100, 90), Vec3(0, -2, 0), 1e-6f);
  expectNear(dollyOffset(frame, 100, 105), Vec3(0, 1, 0), 1e-6f);
}

}  // namespace
