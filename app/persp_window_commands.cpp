// The commands of the application window: keys, special keys, the sky
// distribution and a pick.
#include "app/persp_window.h"

void perspWindow::keyCommand(unsigned char) {}

void perspWindow::specialKeyCommand(int) {}

void perspWindow::pickPoint(float, float, float) {}

void perspWindow::selectDistribution(int) {}
