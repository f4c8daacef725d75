#include "host/gis/Geodesic.h"

#include <geodesic.h>

#include <cmath>

namespace zelk::host::gis {

namespace {
const geod_geodesic& Wgs84() {
    static const geod_geodesic g = [] {
        geod_geodesic e{};
        geod_init(&e, 6378137.0, 1 / 298.257223563);
        return e;
    }();
    return g;
}

double RingArea(const Ring& ring) {
    geod_polygon p{};
    geod_polygon_init(&p, 0);
    // The closing point repeats the first; the routine closes the ring itself.
    const std::size_t n = ring.size() > 1 && ring.front().lon == ring.back().lon &&
                                  ring.front().lat == ring.back().lat
                              ? ring.size() - 1
                              : ring.size();
    for (std::size_t i = 0; i < n; ++i)
        geod_polygon_addpoint(&Wgs84(), &p, ring[i].lat, ring[i].lon);
    double area = 0;
    geod_polygon_compute(&Wgs84(), &p, 0, 1, &area, nullptr);
    return std::fabs(area);
}
} // namespace

double GeodesicArea(const MultiPolygon& g) {
    double total = 0;
    for (const Polygon& p : g)
        for (std::size_t i = 0; i < p.rings.size(); ++i)
            total += (i == 0 ? 1 : -1) * RingArea(p.rings[i]);
    return total;
}

double GeodesicDistance(LonLat a, LonLat b) {
    double s12 = 0;
    geod_inverse(&Wgs84(), a.lat, a.lon, b.lat, b.lon, &s12, nullptr, nullptr);
    return s12;
}

} // namespace zelk::host::gis
