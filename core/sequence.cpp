#include "core/sequence.h"

#include <cstdio>
#include <cstdlib>

void sequenceIndexError(int index, int numElements) {
  std::fprintf(stderr,
               "element: Tried to access an element beyond the range of the sequence: %d(numElements = %d)\n",
               index, numElements);
  std::fflush(stderr);
  std::exit(-1);
}
