#pragma once

#include "host/gis/Geometry.h"
#include "host/sample/SampleRandom.h"

#include <memory>
#include <vector>

namespace zelk::host::gis {

struct ReferenceGeography;

// A generated managed area that fits the real map.
struct GeneratedArea {
    MultiPolygon shape;
    std::vector<int> counties; // d_county_id; the county holding the point first
    LonLat point;              // on whole seconds of arc, inside the shape
    Extent bounds;             // the shape's extent widened to whole seconds of arc
    // The geodesic area of the shape, once measured: Make measures only where its choice
    // depends on it, and a loader calls Measure where it has a core to spare.
    double squareMetres = 0;
    double acres = 0;
    bool measured = false;
    void Measure();
};

// Draws managed area outlines inside the real county boundaries: an irregular outline of
// about the wanted size around a point of the county, cut to the county (or, when it is to
// cross a county line, to the counties of the state it reaches).
class SampleShapes {
public:
    explicit SampleShapes(const ReferenceGeography& geo);
    ~SampleShapes();
    SampleShapes(const SampleShapes&) = delete;
    SampleShapes& operator=(const SampleShapes&) = delete;

    // Counties an area can be drawn in: with a boundary, wholly west of Greenwich (the
    // coordinates are written with a W).
    bool Drawable(int countyId) const;
    // `stateCounties` are the d_county_ids of the state; `near` (0..1, 0..1) places the first
    // try within the county's extent; `ragged` (0..1) makes the outline less even.
    GeneratedArea Make(int countyId, const std::vector<int>& stateCounties, double acres,
                       bool acrossCountyLine, double nearX, double nearY, double ragged,
                       sample::SampleRandom& r);

private:
    struct County;
    County& Get(int countyId);
    // Position in geo_.counties of a drawable county, else -1: asked for every county of the
    // state of every area that crosses a county line, so a plain table rather than a hash.
    int DrawableAt(int countyId) const;
    const ReferenceGeography& geo_;
    std::vector<std::unique_ptr<County>> counties_; // by position in geo_.counties
    std::vector<int> drawableAt_;                   // by d_county_id
};

} // namespace zelk::host::gis
