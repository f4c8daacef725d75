#pragma once

#include <set>

namespace zelk::host {
class DataService;
}

namespace zelk::host::gis {

// Writes the boundaries of the counties and states the database lists (by d_county_id and
// d_state_id) into county_boundary and state_boundary; ones without a boundary are left out.
// Answers how many counties got one.
int WriteReferenceBoundaries(DataService& db, const std::set<int>& counties,
                             const std::set<int>& states);

} // namespace zelk::host::gis
