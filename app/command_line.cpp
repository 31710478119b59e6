#include "app/command_line.h"

#include <cstdio>
#include <cstdlib>

void applyDistributionArgument(int argc, char** argv, AppState& state) {
  if (argc < 2) return;
  static const SkyDistribution byNumber[] = {UNIFORM, OVERCAST, GENERAL, CLEAR,
                                             SHARP,   POINT,    COSINE,  TURBID};
  int number = std::atoi(argv[1]);
  if (number >= 1 && number <= 8) {
    state.distribution = byNumber[number - 1];
  } else {
    std::fprintf(stderr, "Unknown distribution: %d\n", number);
    std::fflush(stderr);
  }
}
