// Camera arithmetic of the mouse: the arcball turn, zoom, pan and dolly.
//
// Pure functions over the camera fields (eye, centre, up, field of view);
// the window reads the GL model-view matrix and passes its 16 values in, so
// nothing here needs GL.
//
// Matrices are 4 x 4 floats in row-major order: element (row i, column k) at
// index 4i + k. A quaternion is (w, x, y, z).
//
// Index
//   1. Matrices and quaternions
//   2. The arcball turn
//   3. Zoom, pan and dolly
#pragma once

#include "core/vec3.h"

// ---- 1. Matrices and quaternions ---------------------------------------------

struct Matrix4 {
  float m[16];
  float at(int row, int column) const { return m[4 * row + column]; }
};

struct Quaternion {
  float w, x, y, z;
};

Matrix4 operator*(const Matrix4& a, const Matrix4& b);

// A x (x, y, z, w) as four floats.
void transformPoint(const Matrix4& a, const float in[4], float out[4]);

// The inverse of a rotation matrix.
Matrix4 invertRotation(const Matrix4& rotation);

// Rotation matrix of a quaternion (the doubled products rounded to float
// before they are combined).
Matrix4 rotationMatrix(const Quaternion& q);

// ---- 2. The arcball turn -----------------------------------------------------

// Point on the unit sphere under window pixel (px, py) (y downwards) for a
// window of width x height; positions outside the circle map to its rim.
Vec3 projectToArcball(int px, int py, int width, int height);

// Rotation that takes sphere point p0 to p1: w = p0 . p1 (at least -1),
// axis p0 x p1.
Quaternion arcballQuaternion(const Vec3& p0, const Vec3& p1);

// The view rotation of a GL model-view matrix read back in GL's column-major
// order, with its translation removed.
Matrix4 viewRotationFromGL(const float glModelview[16]);

struct CameraTurn {
  Vec3 eye;
  Vec3 up;
};

// One arcball step of the mouse from (lastX, lastY) to (x, y): the camera
// turns around `center` at an unchanged distance. `glModelview` is the GL
// model-view matrix of gluLookAt(eye, center, up) read back from GL.
CameraTurn arcballTurn(const Vec3& eye, const Vec3& center, const float glModelview[16],
                       int lastX, int lastY, int x, int y, int width, int height);

// ---- 3. Zoom, pan and dolly ------------------------------------------------------

// Unit vectors of the camera: u along `up`, f from the centre towards the
// eye, r to the right of the view.
struct CameraFrame {
  Vec3 u, f, r;
};
CameraFrame cameraFrame(const Vec3& eye, const Vec3& center, const Vec3& up);

constexpr float kMaxFieldOfView = 135.0f;
constexpr float kMinFieldOfView = 0.001f;

// Field of view after a middle-button drag from lastY to y: moving up by
// 100 pixels widens it by 10 %; kept in 0.001 .. 135 degrees.
float zoomFieldOfView(float fovy, float lastY, float y);

// Displacement of eye and centre for a left-button pan from (lastX, lastY)
// to (x, y); the view moves with the mouse, scaled by the field of view.
Vec3 panOffset(const CameraFrame& frame, float fovy, float lastX, float lastY, float x, float y);

// Displacement of eye and centre for a middle-button dolly from lastY to y
// along the line of sight.
Vec3 dollyOffset(const CameraFrame& frame, float lastY, float y);
