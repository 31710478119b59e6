#include "app/start_up.h"

#include <GL/glu.h>
#include <GL/glut.h>

#include <cstdlib>
#include <cstring>

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/commands.h"
#include "app/frame_timing.h"
#include "app/persp_window.h"

namespace {

bool immediateModeRequested() {
  const char* value = std::getenv("HALVANE_IMMEDIATE_MODE");
  return value != nullptr && std::strcmp(value, "1") == 0;
}

}  // namespace

int startUp(int argc, char** argv) {
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);

  applyDistributionArgument(argc, argv, appState);

  perspWindow* w = new perspWindow(0, 0, 1351, 1339, "Halvane", true, "sample.hrz");
  appState.appWindow = w;
  w->immediateMode = immediateModeRequested();
  w->setCamera(Vec3(39.3064f, -29.7355f, 23.2902f), Vec3(0, 0, 1), Vec3(0, 0, 1), 11.619f);

  // The greeting stays for the first two frames.
  w->setFlashMessage("Press `?' for help.");
  w->flashFrames = 2;

  CommandTarget target{appState, {}};
  startUpCommand(target);

  glColor3f(0, 1, 0);
  appState.quadric = gluNewQuadric();
  scheduleFrameTiming();
  glutMainLoop();
  return 0;
}
