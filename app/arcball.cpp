// Camera arithmetic of the mouse.
//
// Index
//   1. Matrices and quaternions
//   2. The arcball turn
//   3. Zoom, pan and dolly
#include "app/arcball.h"

#include <cmath>

// ---- 1. Matrices and quaternions ---------------------------------------------

Matrix4 operator*(const Matrix4& a, const Matrix4& b) {
  Matrix4 p;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += a.at(i, k) * b.at(k, j);
      p.m[4 * i + j] = sum;
    }
  }
  return p;
}

void transformPoint(const Matrix4& a, const float in[4], float out[4]) {
  for (int i = 0; i < 4; ++i) {
    float sum = 0.0f;
    for (int k = 0; k < 4; ++k) sum += a.at(i, k) * in[k];
    out[i] = sum;
  }
}

// A rotation matrix is orthogonal: its transpose is its inverse.
Matrix4 invertRotation(const Matrix4& rotation) {
  Matrix4 t;
  for (int i = 0; i < 4; ++i) {
    for (int k = 0; k < 4; ++k) t.m[4 * i + k] = rotation.at(k, i);
  }
  return t;
}

Matrix4 rotationMatrix(const Quaternion& q) {
  const float xx = 2 * q.x * q.x, yy = 2 * q.y * q.y, zz = 2 * q.z * q.z;
  const float xy = 2 * q.x * q.y, xz = 2 * q.x * q.z, yz = 2 * q.y * q.z;
  const float wx = 2 * q.w * q.x, wy = 2 * q.w * q.y, wz = 2 * q.w * q.z;
  return Matrix4{{
      1 - (yy + zz), xy - wz, xz + wy, 0,
      xy + wz, 1 - (xx + zz), yz - wx, 0,
      xz - wy, yz + wx, 1 - (xx + yy), 0,
      0, 0, 0, 1,
  }};
}

// ---- 2. The arcball turn -----------------------------------------------------

Vec3 projectToArcball(int px, int py, int width, int height) {
  float a = static_cast<float>((px - width * 0.5) * 2 / width);
  float b = static_cast<float>((py - height * 0.5) * -2 / height);
  float g = a * a + b * b;
  if (g > 1) {
    float scale = 1 / std::sqrt(g);
    return Vec3(a * scale, b * scale, 0);
  }
  return Vec3(a, b, std::sqrt(1 - g));
}

Quaternion arcballQuaternion(const Vec3& p0, const Vec3& p1) {
  float w = p0.dot(p1);
  if (w < -1) w = -1;
  Vec3 axis = p0.cross(p1);
  return Quaternion{w, axis.x, axis.y, axis.z};
}

Matrix4 viewRotationFromGL(const float glModelview[16]) {
  Matrix4 v;
  for (int k = 0; k < 16; ++k) v.m[4 * (k % 4) + k / 4] = glModelview[k];
  for (int row = 0; row < 3; ++row) v.m[4 * row + 3] = 0;
  v.m[15] = 1;
  return v;
}

CameraTurn arcballTurn(const Vec3& eye, const Vec3& center, const float glModelview[16],
                       int lastX, int lastY, int x, int y, int width, int height) {
  Vec3 p0 = projectToArcball(lastX, lastY, width, height);
  Vec3 p1 = projectToArcball(x, y, width, height);
  Matrix4 turnBack = invertRotation(rotationMatrix(arcballQuaternion(p0, p1)));
  Matrix4 viewToWorld = invertRotation(viewRotationFromGL(glModelview));
  Matrix4 p = viewToWorld * turnBack;

  // In the camera's frame the eye lies at distance d along +z from the
  // centre and the up vector is +y.
  float d = (eye - center).length();
  const float eyeInView[4] = {0, 0, d, 1};
  const float upInView[4] = {0, 1, 0, 1};
  float e[4], u[4];
  transformPoint(p, eyeInView, e);
  transformPoint(p, upInView, u);
  return CameraTurn{Vec3(e[0] / e[3], e[1] / e[3], e[2] / e[3]) + center,
                    Vec3(u[0] / u[3], u[1] / u[3], u[2] / u[3])};
}

// ---- 3. Zoom, pan and dolly ------------------------------------------------------

CameraFrame cameraFrame(const Vec3& eye, const Vec3& center, const Vec3& up) {
  Vec3 u = up.unit();
  Vec3 f = (eye - center).unit();
  Vec3 r = u.cross(f).unit();
  return CameraFrame{u, f, r};
}

float zoomFieldOfView(float fovy, float lastY, float y) {
  float dz = lastY - y;
  fovy = static_cast<float>(fovy * (1 + dz * 0.001));
  if (fovy > kMaxFieldOfView) fovy = kMaxFieldOfView;
  if (fovy < kMinFieldOfView) fovy = kMinFieldOfView;
  return fovy;
}

Vec3 panOffset(const CameraFrame& frame, float fovy, float lastX, float lastY, float x, float y) {
  float dy = y - lastY;
  float s = fovy / 350;
  return (frame.u * dy + frame.r * (lastX - x)) * s;
}

Vec3 dollyOffset(const CameraFrame& frame, float lastY, float y) {
  float dz = lastY - y;
  return frame.f * static_cast<float>(dz * 0.2);
}
