#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelk::host::gis {

// Geometry as the database keeps it: WGS 84 longitude and latitude in degrees.
struct LonLat {
    double lon = 0, lat = 0;
};
// A closed ring: the last point repeats the first.
using Ring = std::vector<LonLat>;
// The outer ring first, then its holes.
struct Polygon {
    std::vector<Ring> rings;
};
using MultiPolygon = std::vector<Polygon>;

struct Extent {
    double minLon = 0, minLat = 0, maxLon = 0, maxLat = 0;
    bool empty = true;

    void Add(LonLat p);
    void Add(const Extent& e);
    bool Intersects(const Extent& e) const {
        return !empty && !e.empty && minLon <= e.maxLon && e.minLon <= maxLon &&
               minLat <= e.maxLat && e.minLat <= maxLat;
    }
};
Extent ExtentOf(const MultiPolygon& g);
std::size_t PointCount(const MultiPolygon& g);

// ISO well-known binary (little endian) of a MULTIPOLYGON.
std::string ToWkb(const MultiPolygon& g);
// A POLYGON or MULTIPOLYGON in well-known binary of either byte order; anything else, or a
// truncated text, raises ComError.
MultiPolygon FromWkb(std::string_view wkb);

// The GeoPackage binary form: the "GP" header with SRS 4326 and the envelope, then the WKB.
std::string ToGpkgBlob(const MultiPolygon& g);
MultiPolygon FromGpkgBlob(std::string_view blob);
// The envelope of a GeoPackage geometry, read from its header or else from its WKB; nothing
// for an empty geometry. Raises ComError on a blob that is no GeoPackage geometry.
std::optional<Extent> GpkgBlobExtent(std::string_view blob);
bool GpkgBlobIsEmpty(std::string_view blob);

std::string ToHex(std::string_view bytes);
std::string FromHex(std::string_view hex);

} // namespace zelk::host::gis
