#include "app/frame_timing.h"

#include <GL/glut.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <time.h>

#include "app/app_state.h"
#include "app/persp_window.h"

namespace {

int framesToTime = 0;

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The processor time of the whole process (the renderer's threads included).
double processMilliseconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return 1e3 * t.tv_sec + 1e-6 * t.tv_nsec;
}

struct FrameTime {
  double wall, processor;  // milliseconds
};

// One frame as the event loop draws it, finished by the renderer.
FrameTime timeOneFrame(perspWindow* w) {
  const auto start = Clock::now();
  const double startProcessor = processMilliseconds();
  w->display();
  glFinish();
  return {millisecondsSince(start), processMilliseconds() - startProcessor};
}

// The chooser's load, then its first frame until it is on the screen (the
// frame alone, as perspWindow::display draws it before its after-work),
// then that after-work: the arrays of the new terrain for the next frames.
void timeLoad(perspWindow* w, const char* file) {
  const auto start = Clock::now();
  const double startProcessor = processMilliseconds();
  w->loadTerrain(file);
  const double load = millisecondsSince(start);
  w->arcballWindow::display();
  glFinish();
  const double shown = millisecondsSince(start);
  const double shownProcessor = processMilliseconds() - startProcessor;
  const auto arraysStart = Clock::now();
  w->prepareTerrainArrays();
  std::printf("load timing: %s, %.1f ms to read and compute, its first frame on the screen after "
              "%.1f ms in all (processor time %.1f ms), then %.1f ms to build its arrays\n",
              file, load, shown, shownProcessor, millisecondsSince(arraysStart));
}

void timeFrames(int) {
  perspWindow* w = appState.appWindow;
  glutSetWindow(w->windowId);
  const char* renderer = w->immediateMode ? "immediate" : "arrays";
  const char* file = std::getenv("HALVANE_FRAME_TIMING_LOAD");
  if (file != nullptr && file[0] != '\0') timeLoad(w, file);
  const char* keysValue = std::getenv("HALVANE_FRAME_TIMING_KEYS");
  const std::string keys = keysValue != nullptr ? keysValue : "";
  for (const char key : keys) w->keyCommand(static_cast<unsigned char>(key));

  timeOneFrame(w);  // warm-up: the arrays of what the keys changed are built here
  std::vector<double> times, processorTimes;
  for (int i = 0; i < framesToTime; ++i) {
    const FrameTime t = timeOneFrame(w);
    times.push_back(t.wall);
    processorTimes.push_back(t.processor);
  }
  std::printf("frame timing: renderer %s, keys \"%s\", %d frames, median %.1f ms, 90th percentile "
              "%.1f ms; processor time (all threads) median %.1f ms, 90th percentile %.1f ms\n",
              renderer, keys.c_str(), framesToTime, frameTimeQuantile(times, 0.5),
              frameTimeQuantile(times, 0.9), frameTimeQuantile(processorTimes, 0.5),
              frameTimeQuantile(processorTimes, 0.9));
  std::fflush(stdout);
  std::exit(0);
}

}  // namespace

double frameTimeQuantile(std::vector<double> times, double q) {
  if (times.empty()) return 0;
  std::sort(times.begin(), times.end());
  const size_t rank = static_cast<size_t>(std::ceil(q * times.size()));
  return times[std::min(times.size(), std::max<size_t>(rank, 1)) - 1];
}

void scheduleFrameTiming() {
  const char* frames = std::getenv("HALVANE_FRAME_TIMING");
  if (frames == nullptr) return;
  framesToTime = std::atoi(frames);
  if (framesToTime <= 0) return;
  // Late enough for the window to be mapped and its first frame drawn.
  glutTimerFunc(1000, timeFrames, 0);
}
