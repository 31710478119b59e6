// The table that routes toolkit events to window objects.
//
// The toolkit reports events by window identifier; each identifier from 0 to
// 19 indexes one entry. The table holds no GL types, so registration (and its
// fatal range check) lives in the GL-free library.
#pragma once

class window;

constexpr int kMaxWindows = 20;

// All null at start; an entry is set when its window is created and never
// cleared.
extern window* windowTable[kMaxWindows];

// Stores the window under its identifier (a later window with the same
// identifier replaces the earlier). An identifier outside 0..19 prints one
// line to standard error and ends the process with status -1.
void registerWindow(int windowId, window* w);
