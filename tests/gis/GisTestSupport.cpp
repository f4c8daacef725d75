#include "gis/GisTestSupport.h"

#include <geodesic.h>

#include <cmath>

namespace zelk::testing::gis {

GEOSContextHandle_t Geos() {
    static GeosHandle h;
    return h.h;
}

Geom FromWkb(const std::string& wkb) {
    GEOSWKBReader* r = GEOSWKBReader_create_r(Geos());
    GEOSGeometry* g = GEOSWKBReader_read_r(
        Geos(), r, reinterpret_cast<const unsigned char*>(wkb.data()), wkb.size());
    GEOSWKBReader_destroy_r(Geos(), r);
    return Geom(g);
}

Geom Point(double lon, double lat) {
    return Geom(GEOSGeom_createPointFromXY_r(Geos(), lon, lat));
}

double Area(const GEOSGeometry* g) {
    double a = 0;
    GEOSArea_r(Geos(), g, &a);
    return a;
}

double GeodesicArea(const host::gis::MultiPolygon& g) {
    geod_geodesic wgs84{};
    geod_init(&wgs84, 6378137.0, 1 / 298.257223563);
    double total = 0;
    for (const auto& poly : g)
        for (std::size_t i = 0; i < poly.rings.size(); ++i) {
            std::vector<double> lats, lons;
            for (std::size_t k = 0; k + 1 < poly.rings[i].size(); ++k) {
                lats.push_back(poly.rings[i][k].lat);
                lons.push_back(poly.rings[i][k].lon);
            }
            double area = 0;
            geod_polygonarea(&wgs84, lats.data(), lons.data(), static_cast<int>(lats.size()), &area,
                             nullptr);
            total += (i == 0 ? 1 : -1) * std::fabs(area);
        }
    return total;
}

double FromDms(const std::string& text) {
    const std::size_t width = text.size() - 1;
    const int degreeDigits = static_cast<int>(width) - 4;
    const double d = std::stod(text.substr(0, static_cast<std::size_t>(degreeDigits)));
    const double m = std::stod(text.substr(static_cast<std::size_t>(degreeDigits), 2));
    const double s = std::stod(text.substr(static_cast<std::size_t>(degreeDigits) + 2, 2));
    const double v = d + m / 60 + s / 3600;
    return text.back() == 'W' || text.back() == 'S' ? -v : v;
}

} // namespace zelk::testing::gis
