#include "app/frame_timing.h"

#include <GL/glut.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/app_state.h"
#include "app/persp_window.h"

namespace {

int framesToTime = 0;

void timeFrames(int) {
  perspWindow* w = appState.appWindow;
  const char* contours = std::getenv("HALVANE_FRAME_TIMING_CONTOURS");
  appState.drawContours = contours != nullptr && contours[0] == '1';
  glutSetWindow(w->windowId);
  w->display();  // warm-up frame, not counted
  glFinish();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < framesToTime; ++i) {
    w->display();
    glFinish();
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("frame timing: %d frames, %.2f ms per frame, contours %s\n", framesToTime,
              1000 * seconds / framesToTime, appState.drawContours ? "on" : "off");
  std::fflush(stdout);
  std::exit(0);
}

}  // namespace

void scheduleFrameTiming() {
  const char* frames = std::getenv("HALVANE_FRAME_TIMING");
  if (frames == nullptr) return;
  framesToTime = std::atoi(frames);
  if (framesToTime <= 0) return;
  // Late enough for the window to be mapped and its first frame drawn.
  glutTimerFunc(1000, timeFrames, 0);
}
