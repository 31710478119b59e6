// The window program's commands, without drawing: what each key, menu
// choice, arrow step and pick changes in the state, and the steps of the
// pipeline it then re-runs, in their fixed order. The window, the sample
// tool and the benchmarks all run these, so a sequence exists once.
//
// The pipeline steps:
//   computeSkyGrid            reread the terrain file, recompute its sky light
//   normaliseSky              the normaliser of displayed luminance
//   computeStratifiedSamples  a stratified set and its regions (weighted)
//   computeJitteredSamples    a jittered set and its regions
//   computeSampleWeights      weights from the regions and the luminance
//   computeRegions            the regions round the current points
#pragma once

#include <functional>

#include "app/app_state.h"
#include "app/keyboard.h"

// What the commands work on: the window program's state, and the terrain
// step, which belongs to the window (it owns the terrain and says when its
// file cannot be read). Without a terrain (the tools) the step is empty.
struct CommandTarget {
  AppState& state;
  std::function<void()> computeSkyGrid;
};

// Start-up: the normaliser, then a first jittered set (its weights the
// luminance shares of its points), hidden.
void startUpCommand(CommandTarget& target);

// `p`: a stratified set, the terrain's sky light, the weights, and the
// stratified set once more; the set is then shown with its regions. The
// window shows its busy message around it.
void computeSamplePointsCommand(CommandTarget& target);

// `+`: asks for more points next time; the shown set is hidden.
void morePointsCommand(CommandTarget& target);

// `-`: asks for fewer points, then a jittered set of that many, the terrain's
// sky light, the weights and the regions; the shown set is hidden.
void fewerPointsCommand(CommandTarget& target);

// The steps of `-` after its change of the count: a jittered set of
// numSamplePoints with its regions, the terrain's sky light, the weights and
// the regions again. The sample tool's jittered sets are made by it.
void jitteredSamplePointsCommand(CommandTarget& target);

// An arrow key: the sun moves five degrees, then the terrain's sky light, the
// normaliser and the weights; the shown set is hidden.
void sunStepCommand(CommandTarget& target, SunStep step);

// A sky menu value (0..6 a distribution, 7..21 a general type) or a
// distribution key: the terrain's sky light, the weights and the normaliser;
// the shown set is hidden.
void selectDistributionCommand(CommandTarget& target, int menuValue);

// A click without a drag: the terrain's sky light and the weights.
void pickCommand(CommandTarget& target);

// The sample set no longer matches the state (after `l`, `+`, `-`, an arrow
// key or a sky change): it is hidden, with its regions.
void markSamplesStale(AppState& state);

// The display switches and the share rule: `t`, `h`, `r`, `i` and `j`.
// Returns false for any other key.
bool toggleCommand(AppState& state, unsigned char key);
