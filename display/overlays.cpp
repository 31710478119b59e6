#include "display/overlays.h"

#include <GL/glut.h>

#include "display/status_text.h"

void drawOverlayText(const char* text, float x, float y, float viewWidth, float viewHeight) {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, viewWidth, 0, viewHeight, 0.5, -0.5);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();

  const OverlayPosition at = placeOverlayText(text, x, y, viewWidth);
  glColor3f(1, 1, 1);
  glRasterPos2f(at.x, at.y);
  int lineBreaks = 0;
  for (const char* c = text; *c; ++c) {
    if (*c == '\n') {
      ++lineBreaks;
      glRasterPos2f(at.x, at.y - 16 * lineBreaks);
    } else {
      glutBitmapCharacter(GLUT_BITMAP_8_BY_13, static_cast<unsigned char>(*c));
    }
  }

  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
}

void drawPromptText(const char* text, int length) {
  for (int i = 0; i < length && text != nullptr; ++i) {
    glutBitmapCharacter(GLUT_BITMAP_9_BY_15, static_cast<unsigned char>(text[i]));
  }
  glutBitmapCharacter(GLUT_BITMAP_9_BY_15, '_');
}
