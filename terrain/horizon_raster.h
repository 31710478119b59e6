// The horizons of a terrain as a GeoTIFF of elevation angles, one band per
// direction, for GIS users who compare them with r.horizon and the like.
//
// Band k (1-based) holds direction j = k - 1 of the terrain file: for every
// cell the elevation angle in degrees (-90 .. 90) of the horizon seen from
// the cell's surface towards the direction's centre azimuth, asin(v / 32768
// - 1) of the stored value v. The band's description is "bearing B", B its
// compass bearing in degrees clockwise from north; its metadata repeat it
// (BEARING) with the azimuth counter-clockwise from east that r.horizon
// takes (AZIMUTH_CCW_FROM_EAST). The raster is north up (writeGeoTiffBands),
// and cells without data hold kGeoTiffNoData.
#pragma once

#include <cstdint>
#include <string>

#include "terrain/georeference.h"

// The compass bearing of direction j of n in degrees, 0 <= bearing < 360:
// the terrain's first index runs east and its second north, so the
// direction's azimuth a (directionAzimuth, from +x towards +y) is the
// bearing 90 - a degrees.
double directionBearing(int j, int numDirections);

// The elevation angle in degrees of an encoded horizon value.
float horizonDegrees(uint16_t value);

// Writes the horizons (numDirections blocks of gridSizeX * gridSizeY values,
// as the terrain file holds them) as a GeoTIFF of numDirections bands, with
// the georeference when one is given and no data where `hasData` (one flag
// a cell; null: every cell) is 0. Completely or not at all.
bool writeHorizonGeoTiff(const std::string& fileName, const uint16_t* horizons, int numDirections,
                         int gridSizeX, int gridSizeY, const Georeference* georeference,
                         const unsigned char* hasData, std::string& error);
