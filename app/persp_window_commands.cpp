// The commands of the application window: keys, special keys, the sky
// distribution, a pick, the terrain chooser's action and the help screen.
//
// Every command changes the state and re-runs the stale steps of the pipeline
// in a fixed order (app/commands.h), then asks for a redisplay. The GL-free
// rules (which keys are commands, the steps of the number of points and of
// the sun, the messages) are in app/keyboard.h.
//
// Index
//   1. The terrain step
//   2. ASCII keys
//   3. Special keys
//   4. Sky distribution and pick
//   5. Prompts: terrain chooser and sample point file
//   6. Help screen
#include <GL/glut.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/help_text.h"
#include "app/keyboard.h"
#include "app/persp_window.h"
#include "sampling/sample_file.h"

namespace {

constexpr int kChooserPrompt = 0;
constexpr int kOutputPrompt = 1;

// Messages stay on screen after the command returns: a formatted heap copy,
// never freed.
const char* heapMessage(const char* format, const char* name) {
  char text[1000];
  std::snprintf(text, sizeof text, format, name);
  return strdup(text);
}

// Writes the reader's message for a terrain file that could not be read.
void reportTerrainError(const TerrainError& error) {
  std::fputs(error.message.c_str(), stderr);
  std::fflush(stderr);
}

}  // namespace

// ---- 1. The terrain step ----------------------------------------------------------------

// The version counts up after the change, never before it: a frame drawn
// in between would build the arrays of the old terrain under the new number.
bool perspWindow::readTerrain(const char* name, TerrainError& error) {
  const bool read = computeSkyGrid(name, appState.sky, terrain, error);
  ++appState.terrainVersion;
  return read;
}

// Rereads the terrain file and recomputes its sky grid for the current sky.
// A file deleted or damaged since it was loaded keeps the terrain and grid as
// they were and says so, in the window and with the reader's message on
// standard error.
void perspWindow::refreshSkyGrid() {
  TerrainError error;
  if (!readTerrain(terrainFile, error)) {
    reportTerrainError(error);
    setFlashMessage(heapMessage("Could not load terrain `%s'.", terrainFile));
  }
}

CommandTarget perspWindow::commandTarget() { return {appState, [this] { refreshSkyGrid(); }}; }

// ---- 2. ASCII keys -----------------------------------------------------------------------

void perspWindow::keyCommand(unsigned char key) {
  // Any key leaves the help screen or cancels a pending quit, and does
  // nothing else.
  if (helpShown || (appState.quitRequests > 0 && key != kEscapeKey && key != 'q')) {
    helpShown = false;
    appState.quitRequests = 0;
    glutPostRedisplay();
    return;
  }
  if (promptActive) {
    if (prompt.handleKey(key)) promptActive = false;
    redisplayAll();
    return;
  }
  if (!isCommandKey(key)) {
    setFlashMessage(kUnrecognizedKeyMessage);
    redisplayAll();
    return;
  }
  runCommand(key);
  redisplayAll();
}

void perspWindow::runCommand(unsigned char key) {
  CommandTarget target = commandTarget();
  if (toggleCommand(appState, key)) return;
  switch (key) {
    case kEscapeKey:
    case 'q':
      if (appState.quitRequests > 0) std::exit(0);
      setFlashMessage(kQuitQuestion);
      ++appState.quitRequests;
      break;
    case 'l':
      openTerrainChooser();
      markSamplesStale(appState);
      break;
    case 'o':
      if (appState.samplesComputed) {
        openOutputPrompt();
      } else {
        setFlashMessage(kComputeFirstMessage);
      }
      break;
    case 'p':
      showBusyMessage(kComputingMessage);
      computeSamplePointsCommand(target);
      busyMessage = nullptr;
      glutPostRedisplay();
      break;
    case '+':
    case '=':
      morePointsCommand(target);
      break;
    case '-':
    case '_':
      fewerPointsCommand(target);
      break;
    case '?':
      showHelp();
      break;
    default:
      selectDistribution(distributionKeyMenuValue(key));
      break;
  }
}

// ---- 3. Special keys -------------------------------------------------------------------

void perspWindow::specialKeyCommand(int key) {
  // freeglut reports Shift, Ctrl and Alt on their own; only the key they
  // modify counts.
  if (isModifierSpecialKey(key)) return;
  helpShown = false;  // an arrow key both leaves the help screen and acts
  if (promptActive) {
    // The arrows step through the chooser's names.
    unsigned char asKey = key == GLUT_KEY_UP ? '+' : key == GLUT_KEY_DOWN ? '-' : 0;
    if (asKey != 0 && prompt.handleKey(asKey)) promptActive = false;
    redisplayAll();
    return;
  }
  SunStep step;
  switch (key) {
    case GLUT_KEY_LEFT: step = SunStep::West; break;
    case GLUT_KEY_RIGHT: step = SunStep::East; break;
    case GLUT_KEY_UP: step = SunStep::Up; break;
    case GLUT_KEY_DOWN: step = SunStep::Down; break;
    default:
      redisplayAll();
      return;
  }
  CommandTarget target = commandTarget();
  sunStepCommand(target, step);
  redisplayAll();
}

// ---- 4. Sky distribution and pick ---------------------------------------------------------

void perspWindow::selectDistribution(int value) {
  CommandTarget target = commandTarget();
  selectDistributionCommand(target, value);
  glutPostRedisplay();
}

// A click without a drag leaves the help screen and brings the terrain's
// sky light and the weights up to date.
void perspWindow::pickPoint(float, float, float) {
  helpShown = false;
  CommandTarget target = commandTarget();
  pickCommand(target);
  glutPostRedisplay();
}

// ---- 5. Prompts: terrain chooser and sample point file ------------------------------------

void perspWindow::openTerrainChooser() {
  collectFileNames(fileNames, "./*", ".hrz");
  prompt.startChooser(promptBuffer, kPromptCapacity, [this](const char* name) { loadTerrain(name); },
                      &fileNames, false);
  promptActive = true;
  promptKind = kChooserPrompt;
}

void perspWindow::openOutputPrompt() {
  collectFileNames(fileNames, "./*", ".txt");
  promptBuffer[0] = '\0';
  prompt.startChooser(promptBuffer, kPromptCapacity,
                      [this](const char* name) {
                        std::string message =
                            writeSamplePoints(name, appState.sky, appState.samplePoints);
                        if (!message.empty()) setFlashMessage(strdup(message.c_str()));
                      },
                      &fileNames, true);
  promptActive = true;
  promptKind = kOutputPrompt;
}

// The chooser's action. A file that cannot be read leaves the current
// terrain, its sky grid and the view as they were.
void perspWindow::loadTerrain(const char* name) {
  TerrainError error;
  if (!readTerrain(name, error)) {
    reportTerrainError(error);
    setFlashMessage(heapMessage("Could not load terrain `%s'.", name));
    return;
  }
  terrainFile = strdup(name);
  setFlashMessage(heapMessage("Loaded terrain `%s'.", name));
}

// ---- 6. Help screen ----------------------------------------------------------------------

// The next frame shows only the help text; the next key returns to the scene.
void perspWindow::showHelp() {
  setFlashMessage(helpText());
  helpRequested = true;
}
