// halvane: the window program.
#include <cstdio>
#include <cstring>

#include "app/start_up.h"
#include "core/version.h"

int main(int argc, char** argv) {
  // Beside the distribution number, the one question answered without a window.
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("halvane %s\n", halvaneVersion());
    return 0;
  }
  return startUp(argc, argv);
}
