#include "tools/terrain_place.h"

#include "tools/options.h"

TerrainPlace readTerrainPlace(const std::string& terrainFile, int gridSizeX, int gridSizeY) {
  TerrainPlace place;
  place.terrainFile = terrainFile;
  place.status = readGeoreference(terrainFile, gridSizeX, gridSizeY, place.georeference, place.problem);
  return place;
}

double convergenceOrFail(const TerrainPlace& place) {
  if (place.status == GeoreferenceStatus::kBad) failInputOutput(place.problem);
  return place.convergence();
}

Terrain readTerrainGridOrFail(const std::string& terrainFile) {
  TerrainFile file;
  Terrain terrain;
  TerrainError error;
  if (!file.open(terrainFile, terrain, error)) failInputOutput(error.toolLine);
  return terrain;
}

GeoSite siteOfTerrain(const WhenOptions& when, const TerrainPlace& place) {
  if (when.hasSite) return when.site;
  const std::string& name = place.terrainFile;
  switch (place.status) {
    case GeoreferenceStatus::kNone:
      failArgument(name + " has no georeference (" + georeferenceFileName(name) +
                   ") to take the site from: give --site LAT,LON");
    case GeoreferenceStatus::kBad:
      failInputOutput(place.problem + ": give --site LAT,LON");
    case GeoreferenceStatus::kRead:
      break;
  }
  GeoSite site;
  std::string problem;
  if (!georeferenceSite(place.georeference, site, problem))
    failArgument(name + ": " + problem + ": give --site LAT,LON");
  return site;
}

SiteSun typedSunOnGrid(const SkyOptions& sky, double convergence) {
  SiteSun typed;
  typed.elevationDegrees = sky.sunElevationDegrees;
  typed.bearingDegrees = sky.sunBearingDegrees;
  return sunOnGrid(typed, convergence);
}

Sky typedSkyOnGrid(const SkyOptions& sky, double convergence) {
  if (convergence == 0) return sky.sky();
  const SiteSun sun = typedSunOnGrid(sky, convergence);
  return sky.sky(sun.elevation, sun.azimuth);
}
