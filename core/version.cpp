#include "core/version.h"

// HALVANE_VERSION is defined for this file alone, from project(VERSION), so
// that a new version rebuilds nothing else.
const char* halvaneVersion() { return HALVANE_VERSION; }
