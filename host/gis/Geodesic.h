#pragma once

#include "host/gis/Geometry.h"

namespace zelk::host::gis {

constexpr double kSquareMetresPerAcre = 4046.8564224;
constexpr double kSquareMetresPerHectare = 10000.0;
constexpr double kHectaresPerAcre = kSquareMetresPerAcre / kSquareMetresPerHectare;

// The area on the WGS 84 ellipsoid in square metres: outer rings less their holes, whatever
// the direction the rings run in.
double GeodesicArea(const MultiPolygon& g);
// The distance in metres between two points on the ellipsoid.
double GeodesicDistance(LonLat a, LonLat b);

} // namespace zelk::host::gis
