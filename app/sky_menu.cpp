// The sky menu on the right mouse button.
#include "app/persp_window.h"

void perspWindow::buildSkyMenu() {}
