// The text over the scene: the open prompt or the status line at the bottom,
// the busy message and the flash message (greeting, refusals, help) at the
// top. Texts and positions come from display/status_text.h.
#include <GL/glut.h>

#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/persp_window.h"
#include "display/status_text.h"

namespace {

// Multi-line white bitmap text whose first line starts at (x, y), in window
// pixels from the bottom left, independent of the camera. Leaves the
// projection matrix selected.
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

// The typed text of the prompt and an underscore cursor, in the wider font,
// from the current raster position.
void drawPrompt(const LinePrompt& prompt) {
  for (int i = 0; i < prompt.length && prompt.text != nullptr; ++i) {
    glutBitmapCharacter(GLUT_BITMAP_9_BY_15, static_cast<unsigned char>(prompt.text[i]));
  }
  glutBitmapCharacter(GLUT_BITMAP_9_BY_15, '_');
}

}  // namespace

void perspWindow::drawOverlays() {
  if (promptActive) {
    glDisable(GL_DEPTH_TEST);
    const char* question = promptQuestion(promptKind);
    drawOverlayText(question, promptQuestionX(width, question), topMessageY(height), width, height);
    drawPrompt(prompt);
  } else if (showStatusLine) {
    glDisable(GL_DEPTH_TEST);
    const std::string status = statusText(appState);
    drawOverlayText(status.c_str(), 10, 10, width, height);
  }

  if (busyMessage != nullptr && busyShown) {
    const int x = centredTextX(width, static_cast<int>(std::strlen(busyMessage)));
    drawOverlayText(busyMessage, x, topMessageY(height), width, height);
  }

  drawFlashMessage();
}

void perspWindow::drawFlashMessage() {
  if (flashMessage == nullptr) return;
  glDisable(GL_DEPTH_TEST);
  const int x = centredTextX(width, longestLineLength(flashMessage));
  drawOverlayText(flashMessage, x, topMessageY(height), width, height);
  if (--flashFrames <= 0) {
    flashMessage = nullptr;
    helpRequested = false;
  }
}
