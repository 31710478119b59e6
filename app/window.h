// The window framework: a toolkit (GLUT) window wrapped in an object whose
// virtual operations receive the toolkit's events.
//
//   window          owns the toolkit window, its size and camera, and sets up
//                   the perspective projection
//   arcballWindow   adds mouse control of the camera and picking (app/arcball_window.h)
//   perspWindow     the application window (app/persp_window.h)
//
// Events reach the objects through windowTable (app/window_table.h): the
// plain callbacks registered with the toolkit look up the window that
// received the event and call its operation of the same name.
#pragma once

#include "core/vec3.h"

class window {
 public:
  // Creates the toolkit window at (x, y) with the given size and title,
  // registers it in windowTable and registers the six event callbacks.
  window(int x, int y, int width, int height, const char* title);
  virtual ~window() = default;

  // Draws one frame.
  virtual void display() = 0;
  // Input events; a plain window ignores them.
  virtual void mouse(int button, int state, int x, int y);
  virtual void motion(int x, int y);
  virtual void keyboard(unsigned char key, int x, int y);
  virtual void special(int key, int x, int y);
  // Stores the new size, sets the viewport to the whole window and posts a
  // redisplay.
  virtual void reshape(int width, int height);

  // Loads the perspective projection (aspect width / height) and the camera's
  // look-at matrix; leaves the model-view matrix selected.
  void setProjection();
  // Stores the camera and resets the clipping planes to 1 and 1000.
  void setCamera(Vec3 eye, Vec3 center, Vec3 up, float fovy);

  int windowId;
  int width, height;
  Vec3 eye;
  Vec3 center;
  Vec3 up;
  float fovy;
  float zNear, zFar;
};
