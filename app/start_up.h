// The program entry of the window program.
#pragma once

// Initialises the toolkit, reads the optional
// distribution number (1..8), creates the application window with the terrain
// "sample.hrz", sets the initial camera and greeting, computes the sky
// normaliser and a first (hidden) sample set, and enters the event loop,
// which never returns.
//
// The scene is drawn from vertex arrays kept between frames and the sample
// spheres from display lists. HALVANE_IMMEDIATE_MODE=1 in the environment at
// start-up draws every vertex with its own call instead, as the program once
// did: the same frames, slower; the frame tests and the frame benchmark
// (scripts/bench-frames.sh) compare the two.
int startUp(int argc, char** argv);
