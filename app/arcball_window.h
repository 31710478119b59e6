// arcballWindow: a window whose camera the mouse turns (arcball), zooms, pans
// and dollies, and in which a click without a drag picks a scene point.
#pragma once

#include "app/window.h"

class arcballWindow : public window {
 public:
  arcballWindow(int x, int y, int width, int height, const char* title);

  // Loads the camera, fills front faces, enables the depth test, draws the
  // scene, then flushes and swaps the buffers.
  void display() override;
  void mouse(int button, int state, int x, int y) override;  // app/arcball_mouse.cpp
  void motion(int x, int y) override;                        // app/arcball_mouse.cpp
  // Passes the key alone to keyCommand.
  void keyboard(unsigned char key, int x, int y) override;
  // F11 (key 11) switches spinMode; every other key goes to specialKeyCommand.
  void special(int key, int x, int y) override;

  virtual void drawScene() = 0;
  // A newly allocated text "mouse at X, Y"; the caller frees it.
  virtual char* describePoint(float x, float y);
  virtual void keyCommand(unsigned char key);
  virtual void specialKeyCommand(int key);
  virtual void pickPoint(float x, float y, float z);
  // Calls pickPoint with the scene point.
  virtual void reportPick(float x, float y, float z, int windowX, int windowY);

  // Maps the window point under the mouse back to the scene and reports it.
  void pick(int button, int x, int y);       // app/arcball_mouse.cpp
  // One arcball step of the camera from the last mouse position to (x, y).
  void arcballRotate(int x, int y);          // app/arcball_mouse.cpp

  float lastMouseX = 0, lastMouseY = 0;
  int spinMode = 0;
  int dragMode = 3;  // 0 left button held, 1 middle button held, 3 no drag
  bool dragged = false;
  double modelviewMatrix[16] = {};
  double projectionMatrix[16] = {};
  int viewport[4] = {};
};
