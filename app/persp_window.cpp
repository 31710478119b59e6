// perspWindow: construction and the messages it shows.
#include "app/persp_window.h"

#include <GL/glut.h>

#include <cstring>

#include "app/app_state.h"
#include "app/state_report.h"
#include "display/status_text.h"

namespace {

// What the next frame will show, taken before it is drawn: drawing the flash
// message uses it up. A help frame shows its text and nothing else.
FrameReport nextFrame(const perspWindow& w) {
  FrameReport r;
  r.help = w.helpRequested;
  if (!r.help) {
    if (w.promptActive) {
      r.prompt = promptQuestion(w.promptKind);
      if (w.prompt.text != nullptr) r.promptText.assign(w.prompt.text, w.prompt.length);
    } else if (w.showStatusLine) {
      r.status = statusText(appState.sky, appState.numSamplePoints);
    }
    if (w.busyMessage != nullptr && w.busyShown) r.busy = w.busyMessage;
    r.points = appState.samplesComputed ? appState.samplePoints.numElements : 0;
    r.regions = appState.drawRegions;
    r.terrain = appState.drawTerrain;
    r.dome = appState.drawHemisphere;
    r.contours = appState.drawContours;
  }
  if (w.flashMessage != nullptr) r.flash = w.flashMessage;
  r.mouseX = static_cast<int>(w.lastMouseX);
  r.mouseY = static_cast<int>(w.lastMouseY);
  if (w.immediateMode) {
    r.renderer = "immediate";
  } else {
    r.renderer = !appState.drawTerrain || w.terrainArraysReady() ? "arrays" : "arrays, terrain immediate";
  }
  return r;
}

}  // namespace

perspWindow::perspWindow(int x, int y, int width, int height, const char* title,
                         bool perspective_, const char* terrainFileName)
    : arcballWindow(x, y, width, height, title) {
  spinMode = 1;
  dragMode = 3;
  glutSetCursor(spinMode ? GLUT_CURSOR_CYCLE : GLUT_CURSOR_CROSSHAIR);

  terrainFile = strdup(terrainFileName);
  TerrainError error;
  if (!readTerrain(terrainFile, error)) exitWithTerrainError(error);

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
  ++appState.sampleSetVersion;

  buildSkyMenu();
}

void perspWindow::display() {
  const char* stateFile = stateReportPath();
  FrameReport shown;
  if (stateFile != nullptr) shown = nextFrame(*this);
  arcballWindow::display();
  ++framesDrawn;
  if (stateFile != nullptr) {
    shown.frame = framesDrawn;
    writeFrameReport(stateFile, shown);
  }
  prepareTerrainArrays();
}

void perspWindow::prepareTerrainArrays() {
  if (!immediateMode && appState.drawTerrain) sceneArrays.terrain(terrain, appState.terrainVersion);
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
