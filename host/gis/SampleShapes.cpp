#include "host/gis/SampleShapes.h"

#include "host/gis/Boundaries.h"
#include "host/gis/Geodesic.h"
#include "host/gis/Geos.h"
#include "platform/Error.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace zelk::host::gis {

namespace {

constexpr double kArcSecond = 1.0 / 3600.0;
// Below this a mapped area would be lost in the rounding of its acres.
constexpr double kSmallestAcres = 20.0;

double Snap(double v) {
    return std::round(v * 3600.0) * kArcSecond;
}

LonLat Offset(LonLat c, double metres, double bearing) {
    const double lat = c.lat * std::numbers::pi / 180.0;
    return {c.lon + metres * std::sin(bearing) / (111319.49 * std::cos(lat)),
            c.lat + metres * std::cos(bearing) / 111132.95};
}

// An outline that every ray from `c` crosses once, so `c` lies inside it.
Ring Outline(LonLat c, double squareMetres, double ragged, sample::SampleRandom& r) {
    const double radius = std::sqrt(squareMetres / std::numbers::pi);
    const int n = 9 + r.Below(5);
    Ring ring;
    ring.reserve(static_cast<std::size_t>(n) + 1);
    for (int k = 0; k < n; ++k) {
        const double step = 2 * std::numbers::pi / n;
        const double bearing = step * k + (r.Unit() - 0.5) * step * 0.8;
        double d = radius * (0.75 + 0.5 * r.Unit()) * (1.0 + ragged * (r.Unit() - 0.5));
        ring.push_back(Offset(c, std::max(d, 0.4 * radius), bearing));
    }
    // Counter-clockwise outer ring, as the bearings run clockwise.
    std::reverse(ring.begin(), ring.end());
    ring.push_back(ring.front());
    return ring;
}

// The shape's acres to about a percent, from a flat map at each ring's latitude, less a
// margin that keeps it below the geodesic measure even where holes take most of the outline.
double AcresAtLeast(const MultiPolygon& g) {
    double net = 0, total = 0;
    for (const Polygon& p : g)
        for (std::size_t i = 0; i < p.rings.size(); ++i) {
            const Ring& ring = p.rings[i];
            if (ring.size() < 3) continue;
            double twice = 0, lat = 0;
            for (std::size_t k = 0; k + 1 < ring.size(); ++k) {
                twice += ring[k].lon * ring[k + 1].lat - ring[k + 1].lon * ring[k].lat;
                lat += ring[k].lat;
            }
            lat /= static_cast<double>(ring.size() - 1);
            const double square = std::fabs(twice) / 2 * 111132.95 * 111319.49 *
                                  std::cos(lat * std::numbers::pi / 180.0);
            net += i == 0 ? square : -square;
            total += square;
        }
    return (net - 0.05 * total) / kSquareMetresPerAcre;
}

} // namespace

void GeneratedArea::Measure() {
    if (measured) return;
    squareMetres = GeodesicArea(shape);
    acres = squareMetres / kSquareMetresPerAcre;
    measured = true;
}

struct SampleShapes::County {
    const Boundary* boundary = nullptr;
    GeomPtr geom, edge;
    PreparedPtr prepared, preparedEdge;
};

SampleShapes::SampleShapes(const ReferenceGeography& geo)
    : geo_(geo), counties_(geo.counties.size()) {
    for (const auto& [id, at] : geo.countyAt) {
        const Extent& e = geo.counties[at].extent;
        if (id < 0 || !(e.maxLon < 0 && e.minLon > -180)) continue;
        const auto slot = static_cast<std::size_t>(id);
        if (drawableAt_.size() <= slot) drawableAt_.resize(slot + 1, -1);
        drawableAt_[slot] = static_cast<int>(at);
    }
}

SampleShapes::~SampleShapes() = default;

int SampleShapes::DrawableAt(int countyId) const {
    const auto id = static_cast<std::size_t>(countyId);
    return countyId >= 0 && id < drawableAt_.size() ? drawableAt_[id] : -1;
}

bool SampleShapes::Drawable(int countyId) const {
    return DrawableAt(countyId) >= 0;
}

SampleShapes::County& SampleShapes::Get(int countyId) {
    const int at = DrawableAt(countyId);
    if (at < 0)
        Raise(err::InvalidArgument, "The county " + std::to_string(countyId) + " has no boundary.",
              "SampleShapes");
    auto& slot = counties_[static_cast<std::size_t>(at)];
    if (!slot) {
        slot = std::make_unique<County>();
        slot->boundary = &geo_.counties[static_cast<std::size_t>(at)];
        slot->geom = ToGeos(slot->boundary->shape);
        slot->prepared = Prepare(slot->geom.get());
        slot->edge = BoundaryOf(slot->geom.get());
        slot->preparedEdge = Prepare(slot->edge.get());
    }
    return *slot;
}

GeneratedArea SampleShapes::Make(int countyId, const std::vector<int>& stateCounties, double acres,
                                 bool acrossCountyLine, double nearX, double nearY, double ragged,
                                 sample::SampleRandom& r) {
    County& home = Get(countyId);
    const Extent& ce = home.boundary->extent;
    for (int attempt = 0; attempt < 24; ++attempt) {
        // A county too small or too narrow for the wanted size gets a smaller area, never one
        // lost in the rounding.
        const double want =
            std::max(acres / std::pow(2.0, attempt / 4), kSmallestAcres * 3) * kSquareMetresPerAcre;
        const bool across = acrossCountyLine && attempt < 4;

        // A point of the county on whole seconds of arc: near its edge when the area is to
        // cross into the next county.
        LonLat c;
        bool found = false;
        for (int t = 0; t < 60 && !found; ++t) {
            if (across && t < 30) {
                const Polygon& p = r.Pick(home.boundary->shape);
                const LonLat v = r.Pick(p.rings.front());
                c = {Snap(v.lon), Snap(v.lat)};
            } else {
                const double u = attempt == 0 && t == 0 ? nearX : r.Unit();
                const double w = attempt == 0 && t == 0 ? nearY : r.Unit();
                c = {Snap(ce.minLon + u * (ce.maxLon - ce.minLon)),
                     Snap(ce.minLat + w * (ce.maxLat - ce.minLat))};
            }
            found = Contains(home.prepared.get(), GeosPoint(c).get());
        }
        if (!found) continue;

        const Ring ring = Outline(c, want, ragged, r);
        double reach = 0; // how far the outline reaches from c, in degrees
        Extent oe;
        for (const LonLat& p : ring) {
            oe.Add(p);
            reach = std::max(reach, std::hypot(p.lon - c.lon, p.lat - c.lat));
        }
        GeomPtr outline = ToGeos({Polygon{{ring}}});
        std::vector<std::pair<int, GeomPtr>> pieces;
        // Far enough from the county line, the outline is inside: no overlay needed.
        const GeomPtr centre = GeosPoint(c);
        const bool cut = Distance(home.preparedEdge.get(), centre.get()) <= reach * 1.01;
        // Cutting costs an overlay: an area not meant to cross the line first tries elsewhere.
        if (cut && !across && attempt < 4) continue;
        if (!cut) {
            pieces.emplace_back(countyId, std::move(outline));
        } else {
            std::vector<int> candidates = {countyId};
            if (across)
                for (int k : stateCounties) {
                    const int at = k == countyId ? -1 : DrawableAt(k);
                    if (at >= 0 &&
                        geo_.counties[static_cast<std::size_t>(at)].extent.Intersects(oe))
                        candidates.push_back(k);
                }
            for (int k : candidates) {
                County& ck = Get(k);
                if (!Intersects(ck.prepared.get(), outline.get())) continue;
                // Only the county's stretch near the outline takes part in the overlay.
                Extent near = oe;
                near.minLon -= 1e-6;
                near.minLat -= 1e-6;
                near.maxLon += 1e-6;
                near.maxLat += 1e-6;
                GeomPtr piece = Intersection(ClipToRect(ck.geom.get(), near).get(), outline.get());
                if (PlanarArea(piece.get()) > 0) pieces.emplace_back(k, std::move(piece));
            }
            // Slivers along a county line are not worth a county row.
            double total = 0;
            for (auto& [k, g] : pieces)
                total += PlanarArea(g.get());
            std::erase_if(pieces, [&](const auto& p) {
                return p.first != countyId && PlanarArea(p.second.get()) < total * 0.02;
            });
        }
        if (pieces.empty() || pieces.front().first != countyId) continue;
        std::stable_sort(pieces.begin() + 1, pieces.end(), [](const auto& a, const auto& b) {
            return PlanarArea(a.second.get()) > PlanarArea(b.second.get());
        });

        GeneratedArea out;
        for (auto& [k, g] : pieces)
            out.counties.push_back(k);
        std::vector<GeomPtr> parts;
        for (auto& [k, g] : pieces)
            parts.push_back(std::move(g));
        GeomPtr whole = parts.size() == 1 ? std::move(parts.front()) : UnionOf(std::move(parts));
        out.shape = cut ? FromGeos(whole.get()) : MultiPolygon{Polygon{{ring}}};
        if (out.shape.empty()) continue;
        if (AcresAtLeast(out.shape) < kSmallestAcres) {
            out.Measure();
            if (out.acres < kSmallestAcres) continue;
        }
        // Uncut, the outline holds c by its making.
        if (cut && !Contains(Prepare(whole.get()).get(), centre.get())) continue;
        out.point = c;
        const Extent e = ExtentOf(out.shape);
        out.bounds.Add(LonLat{std::floor(e.minLon * 3600.0) * kArcSecond,
                              std::floor(e.minLat * 3600.0) * kArcSecond});
        out.bounds.Add(LonLat{std::ceil(e.maxLon * 3600.0) * kArcSecond,
                              std::ceil(e.maxLat * 3600.0) * kArcSecond});
        return out;
    }
    Raise(err::InvalidArgument,
          "No managed area fits into the county " + std::to_string(countyId) + ".", "SampleShapes");
}

} // namespace zelk::host::gis
