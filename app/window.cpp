// The window base class and the toolkit callbacks that route events to the
// window objects.
#include "app/window.h"

#include <GL/glu.h>
#include <GL/glut.h>

#include "app/window_table.h"

namespace {

// ---- Toolkit callbacks: each calls the operation of the window that
// received the event.
window* currentWindow() { return windowTable[glutGetWindow()]; }

void displayCallback() { currentWindow()->display(); }
void reshapeCallback(int width, int height) { currentWindow()->reshape(width, height); }
void mouseCallback(int button, int state, int x, int y) { currentWindow()->mouse(button, state, x, y); }
void motionCallback(int x, int y) { currentWindow()->motion(x, y); }
void keyboardCallback(unsigned char key, int x, int y) { currentWindow()->keyboard(key, x, y); }
void specialCallback(int key, int x, int y) { currentWindow()->special(key, x, y); }

}  // namespace

window::window(int x, int y, int width_, int height_, const char* title)
    : width(width_),
      height(height_),
      eye(0, 0, 50),
      center(0, 0, 0),
      up(0, 1, 0),
      fovy(30),
      zNear(1),
      zFar(1000) {
  glutInitWindowPosition(x, y);
  glutInitWindowSize(width, height);
  windowId = glutCreateWindow(title);
  registerWindow(windowId, this);
  glutSetWindow(windowId);
  glutDisplayFunc(displayCallback);
  glutReshapeFunc(reshapeCallback);
  glutMouseFunc(mouseCallback);
  glutMotionFunc(motionCallback);
  glutKeyboardFunc(keyboardCallback);
  glutSpecialFunc(specialCallback);
}

void window::mouse(int, int, int, int) {}
void window::motion(int, int) {}
void window::keyboard(unsigned char, int, int) {}
void window::special(int, int, int) {}

void window::reshape(int width_, int height_) {
  width = width_;
  height = height_;
  glViewport(0, 0, width, height);
  glutPostRedisplay();
}

void window::setProjection() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(fovy, static_cast<double>(width) / height, zNear, zFar);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(eye.x, eye.y, eye.z, center.x, center.y, center.z, up.x, up.y, up.z);
}

void window::setCamera(Vec3 eye_, Vec3 center_, Vec3 up_, float fovy_) {
  eye = eye_;
  center = center_;
  up = up_;
  fovy = fovy_;
  zNear = 1;
  zFar = 1000;
}
