#include "app/arcball.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The model-view matrix gluLookAt builds, in GL's column-major order.
void lookAtGL(const Vec3& eye, const Vec3& center, const Vec3& up, float gl[16]) {
  Vec3 f = (center - eye).unit();
  Vec3 s = f.cross(up).unit();
  Vec3 u = s.cross(f);
  const float rows[4][4] = {
      {s.x, s.y, s.z, -s.dot(eye)},
      {u.x, u.y, u.z, -u.dot(eye)},
      {-f.x, -f.y, -f.z, f.dot(eye)},
      {0, 0, 0, 1},
  };
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 4; ++col) gl[4 * col + row] = rows[row][col];
  }
}

void expectNear(const Vec3& actual, const Vec3& expected, float tolerance) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

constexpr int kWidth = 1351;
constexpr int kHeight = 1339;

// ---- Sphere projection and rotation -------------------------------------------

TEST(ArcballProjectionTest, CentreIsThePoleAndTopIsUp) {
  expectNear(projectToArcball(500, 500, 1000, 1000), Vec3(0, 0, 1), 0);
  Vec3 up = projectToArcball(500, 250, 1000, 1000);
  expectNear(up, Vec3(0, 0.5f, std::sqrt(0.75f)), 1e-7f);
  Vec3 right = projectToArcball(750, 500, 1000, 1000);
  expectNear(right, Vec3(0.5f, 0, std::sqrt(0.75f)), 1e-7f);
}

TEST(ArcballProjectionTest, PositionsOutsideTheCircleMapToTheRim) {
  for (int corner = 0; corner < 4; ++corner) {
    int x = corner & 1 ? kWidth + 300 : -40;
    int y = corner & 2 ? kHeight - 1 : 0;
    Vec3 p = projectToArcball(x, y, kWidth, kHeight);
    EXPECT_EQ(p.z, 0.0f);
    EXPECT_NEAR(p.x * p.x + p.y * p.y, 1.0f, 1e-6f);
    EXPECT_EQ(p.x > 0, corner & 1 ? true : false);
    EXPECT_EQ(p.y > 0, corner & 2 ? false : true);
  }
}

TEST(RotationMatrixTest, QuarterTurnAboutZTakesXToY) {
  float h = std::sqrt(0.5f);
  Matrix4 r = rotationMatrix(Quaternion{h, 0, 0, h});
  const float x[4] = {1, 0, 0, 1};
  float out[4];
  transformPoint(r, x, out);
  EXPECT_NEAR(out[0], 0, 1e-6f);
  EXPECT_NEAR(out[1], 1, 1e-6f);
  EXPECT_NEAR(out[2], 0, 1e-6f);
  EXPECT_EQ(out[3], 1);
}

TEST(RotationMatrixTest, TransposeInvertsAnArcballRotation) {
  Vec3 p0 = projectToArcball(300, 900, kWidth, kHeight);
  Vec3 p1 = projectToArcball(800, 200, kWidth, kHeight);
  Matrix4 r = rotationMatrix(arcballQuaternion(p0, p1));
  Matrix4 product = r * invertRotation(r);
  for (int i = 0; i < 4; ++i) {
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(product.at(i, k), i == k ? 1 : 0, 1e-6f);
  }
}

TEST(RotationMatrixTest, OppositePointsGiveAtMostAHalfTurn) {
  Quaternion q = arcballQuaternion(Vec3(1, 0, 0), Vec3(-1.0000001f, 0, 0));
  EXPECT_EQ(q.w, -1);
}

TEST(ViewRotationTest, DropsTheTranslationAndTransposesGLOrder) {
  float gl[16];
  lookAtGL(Vec3(39.3064f, -29.7355f, 23.2902f), Vec3(0, 0, 1), Vec3(0, 0, 1), gl);
  Matrix4 v = viewRotationFromGL(gl);
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(v.at(row, 3), 0);
    for (int col = 0; col < 3; ++col) EXPECT_EQ(v.at(row, col), gl[4 * col + row]);
  }
  EXPECT_EQ(v.at(3, 3), 1);
}

// ---- The arcball turn -------------------------------------------------------------

TEST(ArcballTurnTest, TurnsTwiceTheAngleBetweenTheSpherePoints) {
  // Eye on +x looking at the origin with z up; a drag from the centre to
  // a = 0.5 spans 30 degrees on the sphere and turns the view 60 degrees
  // about the vertical.
  Vec3 eye(10, 0, 0), center(0, 0, 0), up(0, 0, 1);
  float gl[16];
  lookAtGL(eye, center, up, gl);
  CameraTurn turn = arcballTurn(eye, center, gl, 500, 500, 750, 500, 1000, 1000);
  EXPECT_NEAR(turn.eye.length(), 10, 1e-4f);
  EXPECT_NEAR(turn.eye.z, 0, 1e-5f);
  EXPECT_NEAR(std::fabs(std::atan2(turn.eye.y, turn.eye.x)), 3.14159f / 3, 1e-5f);
  expectNear(turn.up, up, 1e-6f);
}

TEST(ArcballTurnTest, KeepsTheEyeDistanceFromTheCentre) {
  Vec3 eye(39.3064f, -29.7355f, 23.2902f), center(0, 0, 1), up(0, 0, 1);
  float distance = (eye - center).length();
  int lastX = 675, lastY = 669;
  const int path[][2] = {{700, 650}, {900, 300}, {1340, 20}, {10, 1300}, {600, 700}};
  for (const auto& p : path) {
    float gl[16];
    lookAtGL(eye, center, up, gl);
    CameraTurn turn = arcballTurn(eye, center, gl, lastX, lastY, p[0], p[1], kWidth, kHeight);
    EXPECT_NEAR((turn.eye - center).length(), distance, distance * 1e-5f);
    EXPECT_NEAR(turn.up.length(), 1, 1e-5f);
    eye = turn.eye;
    up = turn.up;
    lastX = p[0];
    lastY = p[1];
  }
}

TEST(ArcballTurnTest, NoMotionKeepsTheCamera) {
  Vec3 eye(39.3064f, -29.7355f, 23.2902f), center(0, 0, 1), up(0, 0, 1);
  float gl[16];
  lookAtGL(eye, center, up, gl);
  CameraTurn turn = arcballTurn(eye, center, gl, 400, 300, 400, 300, kWidth, kHeight);
  expectNear(turn.eye, eye, 1e-4f);
  // gluLookAt's up is the true up of the view, perpendicular to the line of sight.
  EXPECT_NEAR(turn.up.dot((eye - center).unit()), 0, 1e-6f);
  EXPECT_GT(turn.up.z, 0.7f);
}

// ---- Zoom, pan and dolly -------------------------------------------------------------

TEST(ZoomTest, HundredPixelsUpWidensByTenPercent) {
  EXPECT_EQ(zoomFieldOfView(30, 500, 400), static_cast<float>(30 * 1.1));
  EXPECT_EQ(zoomFieldOfView(30, 400, 500), static_cast<float>(30 * 0.9));
  EXPECT_EQ(zoomFieldOfView(11.619f, 300, 300), 11.619f);
}

TEST(ZoomTest, StaysBetweenTheLimits) {
  EXPECT_EQ(zoomFieldOfView(130, 500, 0), 135);
  EXPECT_EQ(zoomFieldOfView(30, 0, 1000), 0.001f);  // factor 0
  EXPECT_EQ(zoomFieldOfView(30, 0, 5000), 0.001f);  // negative factor
  EXPECT_EQ(zoomFieldOfView(0.001f, 9, 10), 0.001f);
}

TEST(CameraFrameTest, RightUpAndBackwards) {
  CameraFrame frame = cameraFrame(Vec3(0, -10, 0), Vec3(0, 0, 0), Vec3(0, 0, 2));
  expectNear(frame.u, Vec3(0, 0, 1), 0);
  expectNear(frame.f, Vec3(0, -1, 0), 0);
  expectNear(frame.r, Vec3(1, 0, 0), 0);
}

TEST(PanTest, TheSceneFollowsTheMouse) {
  CameraFrame frame = cameraFrame(Vec3(0, -10, 0), Vec3(0, 0, 0), Vec3(0, 0, 1));
  // Mouse right: the camera moves left. Mouse down: the camera moves up.
  expectNear(panOffset(frame, 35, 100, 100, 135, 100), Vec3(-3.5f, 0, 0), 1e-6f);
  expectNear(panOffset(frame, 35, 100, 100, 100, 110), Vec3(0, 0, 1), 1e-6f);
}

TEST(DollyTest, DraggingUpMovesBackAlongTheLineOfSight) {
  CameraFrame frame = cameraFrame(Vec3(0, -10, 0), Vec3(0, 0, 0), Vec3(0, 0, 1));
  expectNear(dollyOffset(frame, 100, 90), Vec3(0, -2, 0), 1e-6f);
  expectNear(dollyOffset(frame, 100, 105), Vec3(0, 1, 0), 1e-6f);
}

}  // namespace
