// The program's one command-line argument: the initial sky distribution.
#pragma once

#include "app/app_state.h"

// Reads the first argument (after the toolkit has taken its own options), if
// any, as a number 1..8 with atoi and sets the distribution of state.sky:
//   1 UNIFORM, 2 OVERCAST, 3 GENERAL (current generalType), 4 CLEAR,
//   5 SHARP, 6 POINT, 7 COSINE, 8 TURBID.
// Any other number (text without leading digits reads as 0) prints
// "Unknown distribution: N" on standard error and leaves the state alone.
// Further arguments are ignored.
void applyDistributionArgument(int argc, char** argv, AppState& state);
