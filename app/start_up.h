// The program entry of the window program.
#pragma once

// Initialises the toolkit, reads the optional
// distribution number (1..8), creates the application window with the terrain
// "sample.hrz", sets the initial camera and greeting, computes the sky
// normaliser and a first (hidden) sample set, and enters the event loop,
// which never returns.
int startUp(int argc, char** argv);
