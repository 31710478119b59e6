// The horizons of a terrain as a GeoTIFF of elevation angles, one band per
// direction, for GIS users who compare them with r.horizon and the like.
//
// Band k (1-based) holds direction j = k - 1 of the terrain file: for every
// cell the elevation angle in degrees (-90 .. 90) of the horizon seen from
// the cell's surface towards the direction's centre azimuth, asin(v / 32768
// - 1) of the stored value v. The raster is north up (writeGeoTiffBands),
// and cells without data hold kGeoTiffNoData.
//
// The band's description is "bearing B", B its compass bearing in degrees
// clockwise from true north; its metadata repeat it (BEARING) with the
// azimuth counter-clockwise from true east that r.horizon takes
// (AZIMUTH_CCW_FROM_EAST) and the bearing in the grid (GRID_BEARING). The
// terrain's directions are the grid's: in a projected coordinate system its
// north (the second index) is grid north, which lies off true north by the
// meridian convergence (1.6 degrees in UTM 2.8 degrees of longitude from the
// zone's central meridian at 37 degrees north). The bearings are turned by
// the convergence at the terrain's centre (the georeference's
// meridianConvergence, the dataset's MERIDIAN_CONVERGENCE); without a
// coordinate system grid and true north are the same. The dataset's
// EARTH_CURVATURE says whether the horizons were lowered by the earth's
// curvature, and with which refraction coefficient.
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
// a cell; null: every cell) is 0, into `output` (opened here, committed by
// the caller); on failure output.error() says why.
bool writeHorizonGeoTiff(OutputFile& output, const uint16_t* horizons, int numDirections,
                         int gridSizeX, int gridSizeY, const Georeference* georeference,
                         const unsigned char* hasData);
