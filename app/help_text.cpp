#include "app/help_text.h"

#include <string>

namespace {

// Empty lines keep the groups apart and give the screen its fixed layout.
const char* const kHelpLines[] = {
    "MOUSE    right click to select sky distribution.",
    "         drag with left button to change viewpoint.",
    "         drag up/down with middle button to zoom.",
    "",
    "ARROWS   move light source",
    "",
    "",
    "p        compute a set of sample points",
    "r        draw/hide regions around sample points",
    "h        draw/hide hemisphere",
    "t        draw/hide terrain",
    "+        increase the number of sample points (press 'p' after increasing)",
    "-        decrease the number of sample points (press 'p' after decreasing)",
    "",
    "l        load a terrain file (in the folder of the application).",
    "o        output sample points to a file (in the folder of the application).",
    "",
    "",
    "q or ESC quit",
    "",
    "",
    "",
    "Press any key to return to the terrain.",
};

std::string composeHelpText() {
  std::string text;
  for (const char* line : kHelpLines) {
    text += line;
    text += '\n';
  }
  return text;
}

}  // namespace

const char* helpText() {
  static const std::string text = composeHelpText();
  return text.c_str();
}
