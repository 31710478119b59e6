// arcballWindow: frame set-up and the routing of keys. The mouse handling is
// in app/arcball_mouse.cpp.
#include "app/arcball_window.h"

#include <GL/glut.h>

#include <cstdio>
#include <cstring>

arcballWindow::arcballWindow(int x, int y, int width, int height, const char* title)
    : window(x, y, width, height, title) {}

void arcballWindow::display() {
  setProjection();
  glPolygonMode(GL_FRONT, GL_FILL);
  glEnable(GL_DEPTH_TEST);
  drawScene();
  glFlush();
  glutSwapBuffers();
}

void arcballWindow::keyboard(unsigned char key, int, int) { keyCommand(key); }

void arcballWindow::special(int key, int, int) {
  if (key == GLUT_KEY_F11) {
    spinMode = spinMode == 0 ? 1 : 0;
  } else {
    specialKeyCommand(key);
  }
}

char* arcballWindow::describePoint(float x, float y) {
  char text[1000];
  std::snprintf(text, sizeof text, "mouse at %g, %g", static_cast<double>(x), static_cast<double>(y));
  return strdup(text);
}

void arcballWindow::keyCommand(unsigned char) {}
void arcballWindow::specialKeyCommand(int) {}
void arcballWindow::pickPoint(float, float, float) {}

void arcballWindow::reportPick(float x, float y, float z, int, int) { pickPoint(x, y, z); }
