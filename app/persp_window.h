// perspWindow: the application window. It owns the terrain and its sky grid,
// draws the sky dome over the terrain with its text overlays
// (app/persp_window_drawing.cpp, with the layers of display/), takes the
// keyboard commands and the sky menu (app/persp_window_commands.cpp,
// app/sky_menu.cpp; the recomputations are the commands of app/commands.h),
// runs the line prompt and shows the flash, busy and help messages. The
// program creates exactly one, appState.appWindow.
#pragma once

#include "app/app_state.h"
#include "app/arcball_window.h"
#include "app/commands.h"
#include "app/line_prompt.h"
#include "core/vec3.h"
#include "display/scene.h"
#include "terrain/sky_grid.h"


class perspWindow : public arcballWindow {
 public:
  // Creates the window, reads the terrain file and computes its sky light
  // (a file that cannot be read ends the program with the reader's message
  // and status), and attaches the sky menu to the right button.
  perspWindow(int x, int y, int width, int height, const char* title, bool perspective,
              const char* terrainFileName);

  // Draws the frame and, when HALVANE_STATE_FILE names a file, then writes
  // what the frame showed to it (app/state_report.h); then, with the frame
  // on the screen, prepareTerrainArrays.
  void display() override;
  // Builds the terrain's arrays for the next frames if the terrain or its
  // sky light changed since they were built (not with the immediate
  // renderer, nor while the terrain is hidden).
  void prepareTerrainArrays();
  void drawScene() override;                         // app/persp_window_drawing.cpp
  // The five layers of the scene in order, from arrays or immediately.
  void drawLayersFromArrays();
  void drawLayersImmediately();
  // Whether the next frame draws the terrain from its arrays: they are built
  // for its current version (after the frame that first showed it).
  bool terrainArraysReady() const {
    return sceneArrays.terrainIsCurrent(terrain, appState.terrainVersion);
  }
  void keyCommand(unsigned char key) override;       // app/persp_window_commands.cpp
  void specialKeyCommand(int key) override;          // app/persp_window_commands.cpp
  void pickPoint(float x, float y, float z) override;  // app/persp_window_commands.cpp

  // Menu value 0..6: that distribution; 7..21: GENERAL with generalType
  // value - 7. Recomputes the sky for it.
  void selectDistribution(int value);  // app/persp_window_commands.cpp
  // Builds the sky menu and attaches it to the right button.
  void buildSkyMenu();                 // app/sky_menu.cpp

  // Text overlays, the last step of every frame (app/persp_window_drawing.cpp):
  // the open prompt or the status line, then the busy and flash messages.
  void drawOverlays();
  // The flash message alone (also the whole of a help frame).
  void drawFlashMessage();

  // Shows the text in the next frame. The text is not copied: literals or
  // heap copies that are never freed.
  void setFlashMessage(const char* text);
  // Shows the text at once, before the caller starts a long computation.
  void showBusyMessage(const char* text);

  // The terrain chooser's action: reads the terrain file and computes its
  // sky light; a file that cannot be read keeps the current terrain.
  void loadTerrain(const char* name);  // app/persp_window_commands.cpp
  // Shows the help text in the next frame.
  void showHelp();                     // app/persp_window_commands.cpp

  // The room of the prompt's text, terminator included.
  static constexpr int kPromptCapacity = 100;

  // The terrain last read completely, with its sky grid.
  TerrainSkyGrid terrain;
  char* terrainFile = nullptr;
  bool promptActive = false;
  int promptKind = 0;  // 0 terrain chooser, 1 output file name
  char promptBuffer[kPromptCapacity] = {};
  float sphereSize = 0.6f;
  bool showStatusLine = true;
  bool fixedSizeSpheres = true;
  LinePrompt prompt;
  NameList fileNames;  // names offered by the prompt
  const char* busyMessage = nullptr;
  bool busyShown = false;
  const char* flashMessage = nullptr;
  bool helpRequested = false;
  bool helpShown = false;
  int flashFrames = 0;
  bool perspective = true;
  long framesDrawn = 0;
  // Every vertex drawn with its own call (HALVANE_IMMEDIATE_MODE, see
  // app/start_up.h) rather than from the arrays and lists below, which are
  // rebuilt when what they show changes (appState's versions, the sky).
  bool immediateMode = false;
  SceneArrays sceneArrays;
  SphereLists sphereLists;
  LayerList regionList;

 private:
  // app/persp_window_commands.cpp
  void runCommand(unsigned char key);
  void openTerrainChooser();
  void openOutputPrompt();
  void refreshSkyGrid();
  // computeSkyGrid of the file into `terrain`, counting the terrain's
  // version up: the one way the terrain and its sky grid change.
  bool readTerrain(const char* name, TerrainError& error);
  // The state the commands work on, with this window's terrain step.
  CommandTarget commandTarget();
};

// Posts a redisplay of every window of the application (only appWindow).
void redisplayAll();
