// The mouse of arcballWindow: turning, zooming, panning and dollying the
// camera, and picking a scene point with a click.
//
// With spinMode on (the default) the left button turns the camera around
// the point looked at (an arcball) and the middle button zooms; after F11 the
// left button pans and the middle button moves along the line of sight. A
// press and release without motion is a pick. The arithmetic is in
// app/arcball.cpp.
//
// Index
//   1. Buttons
//   2. Drags
//   3. Pick and the arcball step
#include <GL/glut.h>

#include "app/arcball.h"
#include "app/arcball_window.h"

namespace {

void setIdleCursor(int spinMode) {
  glutSetCursor(spinMode != 0 ? GLUT_CURSOR_CYCLE : GLUT_CURSOR_CROSSHAIR);
}

}  // namespace

// ---- 1. Buttons ------------------------------------------------------------------

void arcballWindow::mouse(int button, int state, int x, int y) {
  lastMouseX = static_cast<float>(x);
  lastMouseY = static_cast<float>(y);
  if (state == GLUT_UP) {
    dragMode = 3;
    if (!dragged) pick(button, x, y);
    setIdleCursor(spinMode);
    return;
  }
  if (button == GLUT_LEFT_BUTTON) {
    dragMode = 0;
  } else if (button == GLUT_MIDDLE_BUTTON) {
    dragMode = 1;
    glutSetCursor(GLUT_CURSOR_RIGHT_ARROW);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelviewMatrix);
    glGetDoublev(GL_PROJECTION_MATRIX, projectionMatrix);
    glGetIntegerv(GL_VIEWPORT, viewport);
  }
  dragged = false;
}

// ---- 2. Drags ----------------------------------------------------------------------

void arcballWindow::motion(int x, int y) {
  const float mouseX = static_cast<float>(x), mouseY = static_cast<float>(y);
  if (spinMode != 0 && dragMode == 1) {
    fovy = zoomFieldOfView(fovy, lastMouseY, mouseY);
  } else if (spinMode != 0 && dragMode == 0) {
    // The camera may turn over the top but never under the ground: a step
    // that would take the eye below it keeps the eye (the up vector turns).
    Vec3 before = eye;
    arcballRotate(x, y);
    if (eye.z < 0) eye = before;
  } else if (spinMode == 0 && (dragMode == 0 || dragMode == 1)) {
    CameraFrame frame = cameraFrame(eye, center, up);
    Vec3 move = dragMode == 0 ? panOffset(frame, fovy, lastMouseX, lastMouseY, mouseX, mouseY)
                              : dollyOffset(frame, lastMouseY, mouseY);
    // Panning and dollying move eye and centre together, but not the eye
    // below the ground.
    if ((eye + move).z >= 0) {
      center += move;
      eye += move;
    }
  }
  dragged = true;
  lastMouseX = mouseX;
  lastMouseY = mouseY;
  glutPostRedisplay();
}

// ---- 3. Pick and the arcball step ---------------------------------------------------

void arcballWindow::pick(int, int x, int y) {
  glGetDoublev(GL_MODELVIEW_MATRIX, modelviewMatrix);
  glGetDoublev(GL_PROJECTION_MATRIX, projectionMatrix);
  glGetIntegerv(GL_VIEWPORT, viewport);
  GLdouble sceneX = 0, sceneY = 0, sceneZ = 0;
  gluUnProject(x + 3, viewport[3] - y - 1 + 3, 0, modelviewMatrix, projectionMatrix, viewport,
               &sceneX, &sceneY, &sceneZ);
  reportPick(static_cast<float>(sceneX), static_cast<float>(sceneY), static_cast<float>(sceneZ),
             x, y);
}

void arcballWindow::arcballRotate(int x, int y) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(eye.x, eye.y, eye.z, center.x, center.y, center.z, up.x, up.y, up.z);
  float view[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, view);
  CameraTurn turn = arcballTurn(eye, center, view, static_cast<int>(lastMouseX),
                                static_cast<int>(lastMouseY), x, y, width, height);
  eye = turn.eye;
  up = turn.up;
}
