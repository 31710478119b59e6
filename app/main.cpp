// halvane: the window program.
#include "app/start_up.h"

int main(int argc, char** argv) { return startUp(argc, argv); }
