// The sky menu on the right mouse button: five distributions and the fifteen
// general sky types (labels and values in app/sky_menu_entries.cpp).
#include <GL/glut.h>

#include "app/app_state.h"
#include "app/persp_window.h"
#include "app/sky_menu_entries.h"

namespace {

void skyMenuChosen(int value) { appState.appWindow->selectDistribution(value); }

}  // namespace

void perspWindow::buildSkyMenu() {
  glutCreateMenu(skyMenuChosen);
  for (const SkyMenuEntry& entry : skyMenuEntries()) {
    glutAddMenuEntry(entry.label.c_str(), entry.value);
  }
  glutAttachMenu(GLUT_RIGHT_BUTTON);
}
