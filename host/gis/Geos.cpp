#include "host/gis/Geos.h"

#include "platform/Error.h"

#include <geos_c.h>

#include <string>

namespace zelk::host::gis {

namespace {

void OnGeosError(const char* message, void*) {
    // Reported through the return value of the call that failed; the text is kept for it.
    thread_local std::string last;
    last = message ? message : "";
}

struct Context {
    GEOSContextHandle_t h = GEOS_init_r();
    Context() { GEOSContext_setErrorMessageHandler_r(h, OnGeosError, nullptr); }
    ~Context() { GEOS_finish_r(h); }
};

[[noreturn]] void Failed(const char* what) {
    Raise(err::ProviderError, std::string("The geometry operation failed: ") + what + ".",
          "Geometry");
}

GEOSGeometry* LinearRing(const gis::Ring& r, bool shell) {
    GEOSCoordSequence* seq = GEOSCoordSeq_create_r(Geos(), static_cast<unsigned>(r.size()), 2);
    for (unsigned i = 0; i < r.size(); ++i)
        GEOSCoordSeq_setXY_r(Geos(), seq, i, r[i].lon, r[i].lat);
    GEOSGeometry* g = GEOSGeom_createLinearRing_r(Geos(), seq);
    if (!g) Failed(shell ? "an outer ring is not closed" : "a hole is not closed");
    return g;
}

void CollectPolygons(const GEOSGeometry* g, MultiPolygon& out) {
    const int type = GEOSGeomTypeId_r(Geos(), g);
    if (type == GEOS_POLYGON) {
        if (GEOSisEmpty_r(Geos(), g)) return;
        Polygon p;
        auto ring = [&](const GEOSGeometry* lr) {
            const GEOSCoordSequence* seq = GEOSGeom_getCoordSeq_r(Geos(), lr);
            unsigned n = 0;
            GEOSCoordSeq_getSize_r(Geos(), seq, &n);
            gis::Ring r(n);
            for (unsigned i = 0; i < n; ++i)
                GEOSCoordSeq_getXY_r(Geos(), seq, i, &r[i].lon, &r[i].lat);
            p.rings.push_back(std::move(r));
        };
        ring(GEOSGetExteriorRing_r(Geos(), g));
        const int holes = GEOSGetNumInteriorRings_r(Geos(), g);
        for (int i = 0; i < holes; ++i)
            ring(GEOSGetInteriorRingN_r(Geos(), g, i));
        out.push_back(std::move(p));
        return;
    }
    if (type == GEOS_MULTIPOLYGON || type == GEOS_GEOMETRYCOLLECTION) {
        const int n = GEOSGetNumGeometries_r(Geos(), g);
        for (int i = 0; i < n; ++i)
            CollectPolygons(GEOSGetGeometryN_r(Geos(), g, i), out);
    }
}

} // namespace

GEOSContextHandle_t Geos() {
    thread_local Context c;
    return c.h;
}

void GeomDeleter::operator()(GEOSGeometry* g) const {
    GEOSGeom_destroy_r(Geos(), g);
}

void PreparedDeleter::operator()(const GEOSPreparedGeometry* g) const {
    GEOSPreparedGeom_destroy_r(Geos(), g);
}

GeomPtr ToGeos(const MultiPolygon& mp) {
    std::vector<GEOSGeometry*> polys;
    polys.reserve(mp.size());
    for (const Polygon& p : mp) {
        if (p.rings.empty()) continue;
        GEOSGeometry* shell = LinearRing(p.rings[0], true);
        std::vector<GEOSGeometry*> holes;
        for (std::size_t i = 1; i < p.rings.size(); ++i)
            holes.push_back(LinearRing(p.rings[i], false));
        polys.push_back(GEOSGeom_createPolygon_r(Geos(), shell, holes.data(),
                                                 static_cast<unsigned>(holes.size())));
    }
    GEOSGeometry* g = GEOSGeom_createCollection_r(Geos(), GEOS_MULTIPOLYGON, polys.data(),
                                                  static_cast<unsigned>(polys.size()));
    if (!g) Failed("the polygons cannot be put together");
    return GeomPtr(g);
}

GeomPtr GeosPoint(LonLat p) {
    return GeomPtr(GEOSGeom_createPointFromXY_r(Geos(), p.lon, p.lat));
}

MultiPolygon FromGeos(const GEOSGeometry* g) {
    MultiPolygon out;
    if (g) CollectPolygons(g, out);
    return out;
}

PreparedPtr Prepare(const GEOSGeometry* g) {
    return PreparedPtr(GEOSPrepare_r(Geos(), g));
}

bool IsValid(const GEOSGeometry* g) {
    return GEOSisValid_r(Geos(), g) == 1;
}

GeomPtr Valid(GeomPtr g) {
    if (GEOSisValid_r(Geos(), g.get()) == 1) return g;
    GEOSGeometry* fixed = GEOSMakeValid_r(Geos(), g.get());
    if (!fixed) Failed("a repair");
    return GeomPtr(fixed);
}

bool Contains(const GEOSPreparedGeometry* outer, const GEOSGeometry* inner) {
    char r = GEOSPreparedContains_r(Geos(), outer, inner);
    if (r == 2) Failed("a containment test");
    return r == 1;
}

bool Intersects(const GEOSPreparedGeometry* a, const GEOSGeometry* b) {
    char r = GEOSPreparedIntersects_r(Geos(), a, b);
    if (r == 2) Failed("an intersection test");
    return r == 1;
}

GeomPtr Intersection(const GEOSGeometry* a, const GEOSGeometry* b) {
    GEOSGeometry* g = GEOSIntersection_r(Geos(), a, b);
    if (!g) Failed("an intersection");
    return GeomPtr(g);
}

GeomPtr ClipToRect(const GEOSGeometry* g, const Extent& e) {
    GEOSGeometry* c = GEOSClipByRect_r(Geos(), g, e.minLon, e.minLat, e.maxLon, e.maxLat);
    if (!c) Failed("a clip");
    return GeomPtr(c);
}

GeomPtr UnionOf(std::vector<GeomPtr> parts) {
    std::vector<GEOSGeometry*> raw;
    for (GeomPtr& p : parts)
        raw.push_back(p.release());
    GeomPtr all(GEOSGeom_createCollection_r(Geos(), GEOS_GEOMETRYCOLLECTION, raw.data(),
                                            static_cast<unsigned>(raw.size())));
    if (!all) Failed("the parts cannot be put together");
    GEOSGeometry* u = GEOSUnaryUnion_r(Geos(), all.get());
    if (!u) Failed("a union");
    return GeomPtr(u);
}

GeomPtr BoundaryOf(const GEOSGeometry* g) {
    GEOSGeometry* b = GEOSBoundary_r(Geos(), g);
    if (!b) Failed("a boundary");
    return GeomPtr(b);
}

double Distance(const GEOSPreparedGeometry* a, const GEOSGeometry* b) {
    double d = 0;
    if (!GEOSPreparedDistance_r(Geos(), a, b, &d)) Failed("a distance");
    return d;
}

double PlanarArea(const GEOSGeometry* g) {
    double a = 0;
    if (!GEOSArea_r(Geos(), g, &a)) Failed("an area");
    return a;
}

} // namespace zelk::host::gis
