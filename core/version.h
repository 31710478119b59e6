// The version of Halvane: one string, set once by the build from the project's
// version, that the window and the tools report.
#pragma once

// "MAJOR.MINOR.PATCH", e.g. "1.1.0".
const char* halvaneVersion();
