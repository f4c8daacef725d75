#pragma once

#include "host/data/DataService.h"
#include "host/gis/Geometry.h"
#include "support/Shell.h"

#include <geos_c.h>

#include <memory>
#include <string>

namespace zelk::testing::gis {

// GEOS with its own context, so the checks measure apart from the code they check.
struct GeosHandle {
    GEOSContextHandle_t h = GEOS_init_r();
    ~GeosHandle() { GEOS_finish_r(h); }
};
GEOSContextHandle_t Geos();

struct GeomDeleter {
    void operator()(GEOSGeometry* g) const { GEOSGeom_destroy_r(Geos(), g); }
};
using Geom = std::unique_ptr<GEOSGeometry, GeomDeleter>;

Geom FromWkb(const std::string& wkb);
Geom Point(double lon, double lat);
double Area(const GEOSGeometry* g);

// The geodesic area in square metres, by PROJ's routines.
double GeodesicArea(const host::gis::MultiPolygon& g);

// A degrees value from the module's coordinate text ("401230N", "0961100W"): west and south
// negative.
double FromDms(const std::string& text);

using zelk::testing::HaveProgram;
using zelk::testing::Shell;
using zelk::testing::ShellRun;

} // namespace zelk::testing::gis
