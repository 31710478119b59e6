// perspWindow's frames: the scene's layers in order, then the text overlays.
//
// Index
//   drawScene         frame set-up, help-only frame, then the layers in order,
//                     from arrays (drawLayersFromArrays) or immediately
//   drawOverlays      the open prompt or the status line, the busy message
//   drawFlashMessage  the flash message, counted down frame by frame
#include <GL/glut.h>

#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/persp_window.h"
#include "display/contour_lines.h"
#include "display/overlays.h"
#include "display/scene.h"
#include "display/status_text.h"
#include "sky/sky_model.h"

void perspWindow::drawScene() {
  glClearColor(0.4f, 0.6f, 0.4f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

  // The help text is shown alone.
  if (helpRequested) {
    helpShown = true;
    drawFlashMessage();
    return;
  }

  // Every solid surface is wound counter-clockwise seen from outside, so only
  // its outer side is drawn and the translucent dome is blended once.
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);

  if (immediateMode) {
    drawLayersImmediately();
  } else {
    drawLayersFromArrays();
  }
  drawOverlays();
}

// Each array is rebuilt by sceneArrays when what it shows has changed, and
// only when its layer is drawn. The terrain's are the exception: a frame
// never waits for them (a 1024 x 1024 terrain takes tens of milliseconds).
// The first frame after the terrain or its sky light changed draws it
// immediately, as fast as ever, and display() builds its arrays once that
// frame is on the screen, for the frames that follow.
void perspWindow::drawLayersFromArrays() {
  const AppState& s = appState;
  const int nx = terrain.terrain.gridSizeX, ny = terrain.terrain.gridSizeY;
  const TerrainArrays* block = nullptr;
  if (s.drawTerrain && terrainArraysReady()) block = &sceneArrays.terrain(terrain, s.terrainVersion);
  if (s.drawTerrain && (block == nullptr || block->outOfMemory)) {
    drawTerrainBlock(terrain, s.hemisphereRadius, true);
  } else {
    drawTerrainBlock(block, nx, ny, s.hemisphereRadius);
  }
  if (s.samplesComputed) {
    drawSamplePoints(s.samplePoints, s.hemisphereRadius, sphereSize, s.quadric, sphereLists);
  }
  if (s.drawRegions) {
    const std::vector<float>& arcs = sceneArrays.regionOutlines(
        s.samplePoints, s.regionPolygons, s.sampleSetVersion, s.hemisphereRadius);
    drawRegionOutlines(arcs, sceneArrays.builds().regions, regionList);
  }
  if (s.drawHemisphere) {
    // The normaliser follows the current sky in every frame that shows it.
    appState.skyNormaliser = sceneArrays.skyNormaliser(s.sky);
    drawSkyHemisphere(
        sceneArrays.dome(s.sky, s.skyNormaliser, s.hemisphereRadius, s.drawTerrain));
  }
  if (s.drawContours) {
    drawContourLines(sceneArrays.contours(s.sky, s.skyNormaliser, s.hemisphereRadius),
                     s.drawHemisphere);
  }
}

void perspWindow::drawLayersImmediately() {
  const AppState& s = appState;
  drawTerrainBlock(terrain, s.hemisphereRadius, s.drawTerrain);
  if (s.samplesComputed) drawSamplePoints(s.samplePoints, s.hemisphereRadius, sphereSize, s.quadric);
  if (s.drawRegions) drawRegionOutlines(s.samplePoints, s.regionPolygons, s.hemisphereRadius);
  if (s.drawHemisphere) {
    appState.skyNormaliser = normaliseSky(s.sky);
    drawSkyHemisphere(s.sky, s.skyNormaliser, s.hemisphereRadius, s.drawTerrain);
  }
  if (s.drawContours) drawContourLines(s.sky, s.skyNormaliser, s.hemisphereRadius, s.drawHemisphere);
}

void perspWindow::drawOverlays() {
  if (promptActive) {
    glDisable(GL_DEPTH_TEST);
    const char* question = promptQuestion(promptKind);
    drawOverlayText(question, promptQuestionX(width, question), topMessageY(height), width, height);
    drawPromptText(prompt.text, prompt.length);
  } else if (showStatusLine) {
    glDisable(GL_DEPTH_TEST);
    const std::string status = statusText(appState.sky, appState.numSamplePoints);
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
