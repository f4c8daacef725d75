#pragma once

#include "host/gis/Geometry.h"

#include <memory>

// The GEOS C interface, reentrant form, one context per thread.
typedef struct GEOSContextHandle_HS* GEOSContextHandle_t;
typedef struct GEOSGeom_t GEOSGeometry;
typedef struct GEOSPrepGeom_t GEOSPreparedGeometry;

namespace zelk::host::gis {

GEOSContextHandle_t Geos();

struct GeomDeleter {
    void operator()(GEOSGeometry* g) const;
};
struct PreparedDeleter {
    void operator()(const GEOSPreparedGeometry* g) const;
};
using GeomPtr = std::unique_ptr<GEOSGeometry, GeomDeleter>;
using PreparedPtr = std::unique_ptr<const GEOSPreparedGeometry, PreparedDeleter>;

GeomPtr ToGeos(const MultiPolygon& g);
GeomPtr GeosPoint(LonLat p);
// The polygons of any geometry (the lines and points an intersection can leave are dropped).
MultiPolygon FromGeos(const GEOSGeometry* g);
PreparedPtr Prepare(const GEOSGeometry* g);
bool IsValid(const GEOSGeometry* g);
// The geometry itself when valid, else its repaired form.
GeomPtr Valid(GeomPtr g);

bool Contains(const GEOSPreparedGeometry* outer, const GEOSGeometry* inner);
bool Intersects(const GEOSPreparedGeometry* a, const GEOSGeometry* b);
GeomPtr Intersection(const GEOSGeometry* a, const GEOSGeometry* b);
// The part of `g` within the rectangle (fast: no overlay of the whole of `g`).
GeomPtr ClipToRect(const GEOSGeometry* g, const Extent& e);
// One geometry covering all of `parts` (each consumed), with shared edges dissolved.
GeomPtr UnionOf(std::vector<GeomPtr> parts);
double PlanarArea(const GEOSGeometry* g);
// The outline of a polygon, as lines.
GeomPtr BoundaryOf(const GEOSGeometry* g);
// The planar distance (in the coordinates' units) from the prepared geometry to `g`.
double Distance(const GEOSPreparedGeometry* a, const GEOSGeometry* b);

} // namespace zelk::host::gis
