// The GL-free rules of the key commands: which keys are commands, the
// messages they show, the steps of the number of sample points, the sun
// movement of the arrow keys and the distribution keys.
//
// The window (`keyCommand`, `specialKeyCommand`) applies these through the
// commands of app/commands.h, which run the recomputations.
#pragma once

#include "sky/sky.h"

// ---- Messages -----------------------------------------------------------------

constexpr const char* kUnrecognizedKeyMessage = "Unrecognized key.  Press `?' for help.";
constexpr const char* kQuitQuestion =
    "Press `ESC' or `q' again to exit.  Press any other key to cancel.";
constexpr const char* kComputeFirstMessage =
    "Before outputting sample points, compute them by pressing `p'.";
constexpr const char* kComputingMessage = "Computing a set of sample points ... please wait.";

// ---- Keys ----------------------------------------------------------------------

constexpr unsigned char kEscapeKey = 27;

// The twenty command keys: "jiqlothrp+=-_", Ctrl-C, Ctrl-G, Ctrl-O, Ctrl-S,
// Ctrl-U, ESC and `?`.
bool isCommandKey(unsigned char key);

// The sky menu value chosen by a distribution key (Ctrl-U UNIFORM, Ctrl-O
// OVERCAST, Ctrl-C CLEAR, Ctrl-S SHARP, Ctrl-G general type 12), or -1.
int distributionKeyMenuValue(unsigned char key);

// freeglut reports Shift, Ctrl and Alt themselves as special keys (codes 112
// to 117) just before the key they modify; they are no commands.
inline bool isModifierSpecialKey(int key) { return key >= 112 && key <= 117; }

// ---- Number of sample points ------------------------------------------------------

constexpr int kMaxSamplePoints = 10000;

// `+`: steps of 1 below 10, 10 below 100, then 50; at most 10000.
int moreSamplePoints(int count);
// `-`: steps of 50 above 100, 10 above 10, then 1; at least 1.
int fewerSamplePoints(int count);

// ---- Sun movement ----------------------------------------------------------------------

enum class SunStep { West, East, Up, Down };  // left, right, up, down arrow

// Moves the sun of the sky five degrees (3.14159 / 36). The azimuth wraps to
// exactly 0 or 6.28318; the elevation stops at 0 and 1.570795.
void stepSun(Sky& sky, SunStep step);
