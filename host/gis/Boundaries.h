#pragma once

#include "host/gis/Geometry.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace zelk::host::gis {

struct Boundary {
    int id = 0; // d_county_id (state FIPS * 1000 + county FIPS) or d_state_id (state FIPS)
    std::string name;
    MultiPolygon shape;
    Extent extent;
};

// The U.S. Census Bureau's cartographic county and state boundaries (2017, 1:10,000,000) as
// the us-atlas package ships them, read once from the TopoJSON compiled into the library.
struct ReferenceGeography {
    std::vector<Boundary> counties, states;
    std::unordered_map<int, std::size_t> countyAt, stateAt; // id -> position

    const Boundary* County(int id) const;
    const Boundary* State(int id) const;
};
const ReferenceGeography& UsBoundaries();

} // namespace zelk::host::gis
