// The window program's commands: the state change of each, then its pipeline
// steps in order.
#include "app/commands.h"

#include "app/sky_menu_entries.h"
#include "sampling/sample_points.h"
#include "sky/sky_model.h"

namespace {

// ---- The pipeline steps --------------------------------------------------------

void computeSkyGrid(CommandTarget& target) {
  if (target.computeSkyGrid) target.computeSkyGrid();
}

void normaliseSky(AppState& state) { state.skyNormaliser = normaliseSky(state.sky); }

// Every step that changes the sample set gives it a new version, so that the
// window draws the new set and not the arrays of the old one.
void replaceSampleSet(AppState& state, SampleSet&& set) {
  state.samplePoints = std::move(set.samplePoints);
  state.regionPolygons = std::move(set.regionPolygons);
  ++state.sampleSetVersion;
}

void computeStratifiedSamples(AppState& state) {
  replaceSampleSet(state,
                   computeStratifiedSamples(state.sky, state.numSamplePoints, state.equalShares));
}

void computeJitteredSamples(AppState& state) {
  replaceSampleSet(state, computeJitteredSamples(state.sky, state.numSamplePoints));
}

void computeSampleWeights(AppState& state) {
  computeSampleWeights(state.sky, state.samplePoints, state.regionPolygons);
  ++state.sampleSetVersion;
}

void computeRegions(AppState& state) {
  state.regionPolygons = computeRegions(state.samplePoints);
  ++state.sampleSetVersion;
}

}  // namespace

void markSamplesStale(AppState& state) {
  state.samplesComputed = false;
  state.drawRegions = false;
}

// ---- The commands ------------------------------------------------------------------

void startUpCommand(CommandTarget& target) {
  normaliseSky(target.state);
  computeJitteredSamples(target.state);
}

void computeSamplePointsCommand(CommandTarget& target) {
  AppState& state = target.state;
  computeStratifiedSamples(state);
  computeSkyGrid(target);
  computeSampleWeights(state);
  computeStratifiedSamples(state);
  state.samplesComputed = true;
  state.drawRegions = true;
}

void morePointsCommand(CommandTarget& target) {
  target.state.numSamplePoints = moreSamplePoints(target.state.numSamplePoints);
  markSamplesStale(target.state);
}

void jitteredSamplePointsCommand(CommandTarget& target) {
  AppState& state = target.state;
  computeJitteredSamples(state);
  computeSkyGrid(target);
  computeSampleWeights(state);
  computeRegions(state);
}

void fewerPointsCommand(CommandTarget& target) {
  target.state.numSamplePoints = fewerSamplePoints(target.state.numSamplePoints);
  jitteredSamplePointsCommand(target);
  markSamplesStale(target.state);
}

void sunStepCommand(CommandTarget& target, SunStep step) {
  AppState& state = target.state;
  stepSun(state.sky, step);
  markSamplesStale(state);
  computeSkyGrid(target);
  normaliseSky(state);
  computeSampleWeights(state);
}

void selectDistributionCommand(CommandTarget& target, int menuValue) {
  AppState& state = target.state;
  applySkyMenuValue(state.sky, menuValue);
  computeSkyGrid(target);
  computeSampleWeights(state);
  normaliseSky(state);
  markSamplesStale(state);
}

void pickCommand(CommandTarget& target) {
  computeSkyGrid(target);
  computeSampleWeights(target.state);
}

bool toggleCommand(AppState& state, unsigned char key) {
  switch (key) {
    case 't': state.drawTerrain = !state.drawTerrain; return true;
    case 'h': state.drawHemisphere = !state.drawHemisphere; return true;
    case 'r': state.drawRegions = !state.drawRegions; return true;
    case 'i': state.drawContours = !state.drawContours; return true;
    case 'j': state.equalShares = !state.equalShares; return true;
    default: return false;
  }
}
