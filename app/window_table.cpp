#include "app/window_table.h"

#include <cstdio>
#include <cstdlib>

window* windowTable[kMaxWindows] = {};

void registerWindow(int windowId, window* w) {
  if (windowId < 0 || windowId >= kMaxWindows) {
    std::fprintf(stderr, "New window has windowId %d, which is outside the allowed range 0..%d\n",
                 windowId, kMaxWindows - 1);
    std::fflush(stderr);
    std::exit(-1);
  }
  windowTable[windowId] = w;
}
