#include "app/command_line.h"

#include <cstdio>
#include <cstdlib>

void applyDistributionArgument(int argc, char** argv, AppState& state) {
  if (argc < 2) return;
  using D = SkyDistribution;
  static const D byNumber[] = {D::UNIFORM, D::OVERCAST, D::GENERAL, D::CLEAR,
                               D::SHARP,   D::POINT,    D::COSINE,  D::TURBID};
  int number = std::atoi(argv[1]);
  if (number >= 1 && number <= 8) {
    state.sky.distribution = byNumber[number - 1];
  } else {
    std::fprintf(stderr, "Unknown distribution: %d\n", number);
    std::fflush(stderr);
  }
}
