// perspWindow: construction and the messages it shows.
#include "app/persp_window.h"

#include <GL/glut.h>

#include <cstring>

#include "app/app_state.h"

perspWindow::perspWindow(int x, int y, int width, int height, const char* title,
                         bool perspective_, const char* terrainFileName)
    : arcballWindow(x, y, width, height, title) {
  spinMode = 1;
  dragMode = 3;
  glutSetCursor(spinMode ? GLUT_CURSOR_CYCLE : GLUT_CURSOR_CROSSHAIR);

  terrainFile = strdup(terrainFileName);
  TerrainError error;
  if (!computeSkyGrid(terrainFile, appState.sky, terrain, error)) exitWithTerrainError(error);

  perspective = perspective_;
  if (perspective) setCamera(Vec3(0, 0, 5), Vec3(0, 0, 0), Vec3(0, 1, 0), fovy);

  sphereSize = 0.6f;
  promptActive = false;
  showStatusLine = true;
  fixedSizeSpheres = true;
  busyMessage = nullptr;
  flashMessage = nullptr;
  helpRequested = false;
  helpShown = false;

  appState.regionPolygons = RegionPolygons(1);

  buildSkyMenu();
}

void perspWindow::setFlashMessage(const char* text) {
  flashMessage = text;
  flashFrames = 1;
}

void perspWindow::showBusyMessage(const char* text) {
  busyMessage = text;
  busyShown = true;
  display();
}

void redisplayAll() {
  perspWindow* w = appState.appWindow;
  if (w == nullptr) return;
  glutSetWindow(w->windowId);
  glutPostRedisplay();
}
