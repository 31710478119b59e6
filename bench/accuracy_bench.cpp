// The accuracy benchmark: how well each kind of sample set reproduces the
// irradiance of the sky on planes of every orientation (the measure of
// sampling/accuracy.h), and how long the accurate set takes.
//
//   build/bench/accuracy_bench                 the tables, then the timings
//   build/bench/accuracy_bench --tables-only   the tables alone (a few minutes)
//   build/bench/accuracy_bench --timings-only  the timings alone (Google
//                                              Benchmark flags apply)
//
// Every set is measured as the sample point file holds it (whole degrees,
// unless a table says otherwise). Figures are relative errors of plane
// irradiance, "RMS / worst" over the planes that receive at least 5% of the
// brightest plane's irradiance.
//
// Index
//   1. Skies and sets
//   2. Table: each set at 145, 250 and 1000 points under a few skies
//   3. Table: the 145-patch baseline against the fitted spiral set
//   4. Table: the dense reference's own error
//   5. Timings
//   6. main
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "sampling/accuracy.h"
#include "sampling/file_directions.h"
#include "sampling/fitted_weights.h"
#include "sampling/patch_set.h"
#include "sampling/sample_points.h"
#include "sampling/spiral_set.h"
#include "sky/sky_model.h"

namespace {

// ---- 1. Skies and sets ------------------------------------------------------------------------

using D = SkyDistribution;

struct NamedSky {
  std::string name;
  Sky sky;
};

// The sun as the tools take it: elevation and compass bearing in degrees.
Sky skyWithSun(D distribution, int generalType, double elevation, double bearing) {
  double azimuth = 90 - bearing;
  if (azimuth < 0) azimuth += 360;
  return Sky(distribution, generalType, static_cast<float>(elevation * 3.14159 / 180),
             static_cast<float>(azimuth * 3.14159 / 180));
}

std::string sunName(double elevation, double bearing) {
  char text[32];
  std::snprintf(text, sizeof text, "sun %g/%g", elevation, bearing);
  return text;
}

enum class SetKind { STRATIFIED, STRATIFIED_LUMINANCE, JITTERED, PATCHES, SPIRAL, SPIRAL_FITTED };

const char* setName(SetKind kind) {
  switch (kind) {
    case SetKind::STRATIFIED: return "stratified";
    case SetKind::STRATIFIED_LUMINANCE: return "stratified, --shares luminance";
    case SetKind::JITTERED: return "jittered";
    case SetKind::PATCHES: return "145 patches";
    case SetKind::SPIRAL: return "spiral";
    case SetKind::SPIRAL_FITTED: return "spiral, --weights fitted";
  }
  return "";
}

// The set as halvane-samples writes it with --decimals `decimals`.
Sequence<SamplePoint> makeSet(SetKind kind, const Sky& sky, int points, int decimals) {
  Sequence<SamplePoint> set;
  switch (kind) {
    case SetKind::STRATIFIED:
      set = computeStratifiedSamples(sky, points, true).samplePoints;
      break;
    case SetKind::STRATIFIED_LUMINANCE:
      set = computeStratifiedSamples(sky, points, false).samplePoints;
      break;
    case SetKind::JITTERED: {
      SampleSet jittered = computeJitteredSamples(sky, points);
      computeSampleWeights(sky, jittered.samplePoints, jittered.regionPolygons);
      set = jittered.samplePoints;
      break;
    }
    case SetKind::PATCHES:
      set = computePatchSamples(sky);
      break;
    case SetKind::SPIRAL:
    case SetKind::SPIRAL_FITTED:
      set = computeSpiralSamples(sky, points);
      break;
  }
  roundToFile(set, decimals);
  if (kind == SetKind::SPIRAL_FITTED) fitSampleWeights(sky, set);
  return set;
}

std::string percent(double error) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3g%%", 100 * error);
  return text;
}

std::string figures(const AccuracyFigures& f) { return percent(f.rmsError) + " / " + percent(f.maxError); }

// ---- 2. Table: each set at 145, 250 and 1000 points under a few skies ----------------------------

void printSetTable() {
  const NamedSky skies[] = {
      {"uniform", skyWithSun(D::UNIFORM, 0, 45, 180)},
      {"overcast", skyWithSun(D::OVERCAST, 0, 45, 180)},
      {"clear, sun 45/180", skyWithSun(D::CLEAR, 0, 45, 180)},
      {"sharp, sun 45/180", skyWithSun(D::SHARP, 0, 45, 180)},
      {"general 12, sun 15/90", skyWithSun(D::GENERAL, 11, 15, 90)},
  };
  const SetKind kinds[] = {SetKind::STRATIFIED, SetKind::STRATIFIED_LUMINANCE, SetKind::JITTERED,
                           SetKind::PATCHES,    SetKind::SPIRAL,               SetKind::SPIRAL_FITTED};
  std::vector<AccuracyReference> references;
  for (const NamedSky& s : skies) references.emplace_back(s.sky);

  for (int masked = 0; masked < 2; ++masked) {
    std::printf(masked ? "\nThe same sets behind the masks: the worst of the three horizons "
                         "(10, 20, 30 degrees over the southern half), RMS / worst\n\n"
                       : "Plane irradiance error of each set, RMS / worst, as the file holds it "
                         "(whole degrees)\n\n");
    std::printf("| set | points |");
    for (const NamedSky& s : skies) std::printf(" %s |", s.name.c_str());
    std::printf("\n|---|---|");
    for (size_t k = 0; k < sizeof skies / sizeof skies[0]; ++k) std::printf("---|");
    std::printf("\n");
    for (SetKind kind : kinds)
      for (int points : {145, 250, 1000}) {
        if (kind == SetKind::PATCHES && points != kPatchSetPoints) continue;
        std::string row;
        int count = 0;
        for (size_t k = 0; k < references.size(); ++k) {
          const Sequence<SamplePoint> set = makeSet(kind, skies[k].sky, points, 0);
          count = set.numElements;
          const SetAccuracy accuracy = references[k].measureAll(set);
          AccuracyFigures shown = accuracy.open;
          if (masked) {
            shown = accuracy.masked[0];
            for (const AccuracyFigures& m : accuracy.masked) {
              shown.rmsError = std::max(shown.rmsError, m.rmsError);
              shown.maxError = std::max(shown.maxError, m.maxError);
            }
          }
          row += " " + figures(shown) + " |";
        }
        // The count of the last sky; the stratified and jittered sets may
        // have fewer points than asked for.
        std::printf("| %s | %d%s |%s\n", setName(kind), points,
                    count == points ? "" : (" (" + std::to_string(count) + ")").c_str(), row.c_str());
        std::fflush(stdout);
      }
  }
  const AccuracyReference clear(skyWithSun(D::CLEAR, 0, 45, 180));
  std::printf("\nTarget: the spiral set alone at 250 points, clear sky, sun 45/180: %s RMS (at most 1%%)\n",
              percent(clear.measure(makeSet(SetKind::SPIRAL, skyWithSun(D::CLEAR, 0, 45, 180), 250, 0))
                          .rmsError)
                  .c_str());
}

// ---- 3. Table: the 145-patch baseline against the fitted spiral set ------------------------------

struct Tally {
  int cases = 0, wins = 0;
  std::vector<std::string> losses;
};

void printBaselineTable() {
  std::vector<std::pair<std::string, std::pair<D, int>>> skies = {
      {"uniform", {D::UNIFORM, 0}}, {"overcast", {D::OVERCAST, 0}}, {"clear", {D::CLEAR, 0}},
      {"sharp", {D::SHARP, 0}},     {"turbid", {D::TURBID, 0}}};
  for (int g = 0; g < 15; ++g) skies.push_back({"general-" + std::to_string(g + 1), {D::GENERAL, g}});
  const double elevations[] = {15, 45, 75};
  const double bearings[] = {0, 90, 135, 180, 270};
  const char* const conditions[] = {"open", "10 deg", "20 deg", "30 deg"};

  std::printf("\n145 points: the 145-patch baseline against --set spiral --weights fitted (whole "
              "degrees), RMS / worst; * marks the spiral set worse in either figure\n\n");
  std::printf("| sky | sun | set |");
  for (const char* c : conditions) std::printf(" %s |", c);
  std::printf("\n|---|---|---|---|---|---|---|\n");
  Tally wholeDegrees, oneDecimal;
  for (const auto& [name, distribution] : skies)
    for (double elevation : elevations)
      for (double bearing : bearings) {
        const Sky sky = skyWithSun(distribution.first, distribution.second, elevation, bearing);
        const AccuracyReference reference(sky);
        const SetAccuracy base = reference.measureAll(makeSet(SetKind::PATCHES, sky, kPatchSetPoints, 0));
        const SetAccuracy fitted =
            reference.measureAll(makeSet(SetKind::SPIRAL_FITTED, sky, kPatchSetPoints, 0));
        const SetAccuracy fittedOneDecimal =
            reference.measureAll(makeSet(SetKind::SPIRAL_FITTED, sky, kPatchSetPoints, 1));
        std::string baseRow, fittedRow;
        for (int c = 0; c < 4; ++c) {
          const AccuracyFigures& b = c == 0 ? base.open : base.masked[c - 1];
          auto judge = [&](const AccuracyFigures& f, Tally& tally, bool mark) {
            const bool wins = f.rmsError < b.rmsError && f.maxError < b.maxError;
            ++tally.cases;
            if (wins) {
              ++tally.wins;
            } else {
              tally.losses.push_back(name + ", " + sunName(elevation, bearing) + ", " + conditions[c] +
                                     ": patches " + figures(b) + ", spiral " + figures(f));
            }
            return std::string(mark && !wins ? " *" : "");
          };
          const AccuracyFigures& f = c == 0 ? fitted.open : fitted.masked[c - 1];
          const std::string mark = judge(f, wholeDegrees, true);
          judge(c == 0 ? fittedOneDecimal.open : fittedOneDecimal.masked[c - 1], oneDecimal, false);
          baseRow += " " + figures(b) + " |";
          fittedRow += " " + figures(f) + mark + " |";
        }
        std::printf("| %s | %s | patches |%s\n", name.c_str(), sunName(elevation, bearing).c_str(),
                    baseRow.c_str());
        std::printf("| | | spiral |%s\n", fittedRow.c_str());
        std::fflush(stdout);
      }
  auto summary = [](const char* what, const Tally& tally) {
    std::printf("\n%s: the fitted spiral set beats the patches in RMS and worst error in %d of %d "
                "cases (sky, sun, horizon)\n",
                what, tally.wins, tally.cases);
    for (const std::string& loss : tally.losses) std::printf("  not in: %s\n", loss.c_str());
  };
  summary("Whole degrees (--decimals 0)", wholeDegrees);
  summary("One decimal (--decimals 1)", oneDecimal);
}

// ---- 4. Table: the dense reference's own error ---------------------------------------------------

// The largest relative difference, over the planes that count and the
// masks, between the reference of `rings` rings and one of twice as many.
void printReferenceConvergence() {
  const NamedSky skies[] = {
      {"clear, sun 45/180", skyWithSun(D::CLEAR, 0, 45, 180)},
      {"sharp, sun 15/180", skyWithSun(D::SHARP, 0, 15, 180)},
      {"sharp, sun 75/90", skyWithSun(D::SHARP, 0, 75, 90)},
      {"turbid, sun 45/0", skyWithSun(D::TURBID, 0, 45, 0)},
      {"general 1", skyWithSun(D::GENERAL, 0, 45, 180)},
  };
  std::printf("\nThe dense reference's own error: the largest relative difference of plane "
              "irradiance (planes that count, open and masked) from the reference with twice the "
              "rings\n\n| sky | 180 rings | 360 rings | %d rings (the measure's) |\n|---|---|---|---|\n",
              kReferenceRings);
  for (const NamedSky& s : skies) {
    std::vector<AccuracyReference> references;
    for (int rings : {180, 360, 720, 1440}) references.emplace_back(s.sky, rings);
    std::string row;
    for (int level = 0; level < 3; ++level) {
      double largest = 0;
      for (int mask = -1; mask < kNumMasks; ++mask) {
        const std::vector<double>& fine = references[level + 1].irradiances(mask);
        const std::vector<double>& coarse = references[level].irradiances(mask);
        double brightest = 0;
        for (double e : fine) brightest = std::max(brightest, e);
        for (size_t k = 0; k < fine.size(); ++k)
          if (fine[k] >= kPlaneThreshold * brightest)
            largest = std::max(largest, std::fabs(coarse[k] / fine[k] - 1));
      }
      char text[32];
      std::snprintf(text, sizeof text, " %.2g |", largest);
      row += text;
    }
    std::printf("| %s |%s\n", s.name.c_str(), row.c_str());
    std::fflush(stdout);
  }
}

// ---- 5. Timings -----------------------------------------------------------------------------------

// What --set spiral --weights fitted computes: the set, rounded to whole
// degrees, then fitted.
void BM_SpiralSetFitted(benchmark::State& state) {
  const Sky sky;
  for (auto _ : state) {
    Sequence<SamplePoint> set = computeSpiralSamples(sky, static_cast<int>(state.range(0)));
    roundToFile(set, 0);
    fitSampleWeights(sky, set);
    benchmark::DoNotOptimize(set.data());
  }
}
BENCHMARK(BM_SpiralSetFitted)->Arg(145)->Arg(250)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_SpiralSet(benchmark::State& state) {
  const Sky sky;
  for (auto _ : state) {
    Sequence<SamplePoint> set = computeSpiralSamples(sky, static_cast<int>(state.range(0)));
    benchmark::DoNotOptimize(set.data());
  }
}
BENCHMARK(BM_SpiralSet)->Arg(250)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// What --report adds: the dense reference of the sky, then the measure.
void BM_AccuracyReport(benchmark::State& state) {
  const Sky sky;
  const Sequence<SamplePoint> set = computeSpiralSamples(sky, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    const SetAccuracy accuracy = AccuracyReference(sky).measureAll(set);
    benchmark::DoNotOptimize(accuracy.open.rmsError);
  }
}
BENCHMARK(BM_AccuracyReport)->Arg(250)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

// ---- 6. main --------------------------------------------------------------------------------------

int main(int argc, char** argv) {
  bool tables = true, timings = true;
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--tables-only") == 0) {
      timings = false;
    } else if (std::strcmp(argv[i], "--timings-only") == 0) {
      tables = false;
    } else {
      rest.push_back(argv[i]);
    }
  }
  if (tables) {
    printSetTable();
    printBaselineTable();
    printReferenceConvergence();
    std::printf("\n");
  }
  if (timings) {
    int count = static_cast<int>(rest.size());
    benchmark::Initialize(&count, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
  }
  return 0;
}
