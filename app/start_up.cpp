#include "app/start_up.h"

#include <GL/glu.h>
#include <GL/glut.h>

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/frame_timing.h"
#include "app/persp_window.h"
#include "sampling/sample_points.h"
#include "sky/sky_model.h"

int startUp(int argc, char** argv) {
  // Everything computed from here on, the terrain's sky light first, sees the
  // sun at its default angles.
  appState.sunDirection = angleToVector(appState.sunAzimuth, appState.sunElevation);

  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);

  applyDistributionArgument(argc, argv, appState);

  perspWindow* w = new perspWindow(0, 0, 1351, 1339, "Halvane", true, "sample.hrz");
  appState.appWindow = w;
  w->setCamera(Vec3(39.3064f, -29.7355f, 23.2902f), Vec3(0, 0, 1), Vec3(0, 0, 1), 11.619f);

  // The greeting stays for the first two frames.
  w->setFlashMessage("Press `?' for help.");
  w->flashFrames = 2;

  normaliseSky();
  computeJitteredSamples(w->regionPolygons);

  glColor3f(0, 1, 0);
  appState.quadric = gluNewQuadric();
  scheduleFrameTiming();
  glutMainLoop();
  return 0;
}
