// Where a terrain lies on the earth, for the tools that relate its grid to
// true bearings: its georeference read once, the meridian convergence that
// turns a true bearing into the grid's, and the site of its centre.
//
// A DEM's grid north lies off true north by the convergence that
// halvane-terrain --dem stored beside the terrain (TERRAIN.hrz.json); the
// grids of other terrains are taken to face true north (convergence 0).
#pragma once

#include <string>

#include "sky/site_sun.h"
#include "sky/sky.h"
#include "terrain/georeference.h"
#include "terrain/terrain_file.h"
#include "tools/sky_options.h"
#include "tools/time_options.h"

// A terrain's georeference as read beside it.
struct TerrainPlace {
  std::string terrainFile;
  GeoreferenceStatus status = GeoreferenceStatus::kNone;
  Georeference georeference;
  std::string problem;  // why it cannot be used, with kBad

  // The meridian convergence of the georeference, 0 without one that was
  // read: grid bearing = true bearing - convergence.
  double convergence() const {
    return status == GeoreferenceStatus::kRead ? georeference.meridianConvergence : 0;
  }
};

// The convergence for turning true bearings into the grid, or the end of
// the tool with one line and status 1 when the georeference beside the
// terrain cannot be read: its grid's north is then unknown, and taking it
// as true north would turn the sun silently.
double convergenceOrFail(const TerrainPlace& place);

// Reads the georeference beside `terrainFile` for a terrain of gridSizeX x
// gridSizeY cells; one that is missing is kNone, one that cannot be used
// kBad with the reason in `problem`.
TerrainPlace readTerrainPlace(const std::string& terrainFile, int gridSizeX, int gridSizeY);

// The terrain file's sizes and heights, its header checked against its
// length, without its horizons (for a tool that needs only its grid), or
// the end of the tool with one line and status 1.
Terrain readTerrainGridOrFail(const std::string& terrainFile);

// The site of a time: --site when given, else the centre of the terrain's
// georeference. Without one it is a bad argument (status 2); one that
// cannot be read, a failed input (status 1).
GeoSite siteOfTerrain(const WhenOptions& when, const TerrainPlace& place);

// The typed sun (--sun, or the default, a true bearing) on a grid whose
// north lies off true north by `convergence` degrees.
SiteSun typedSunOnGrid(const SkyOptions& sky, double convergence);

// The sky of the typed sun on that grid: exactly the typed sky when the
// convergence is 0.
Sky typedSkyOnGrid(const SkyOptions& sky, double convergence);
