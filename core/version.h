// The version of Halvane, one string for the program and every tool; the
// build sets it from the project's version.
#pragma once

#ifndef HALVANE_VERSION
#error "HALVANE_VERSION comes from the build (CMake's project version)"
#endif

constexpr const char* kHalvaneVersion = HALVANE_VERSION;
