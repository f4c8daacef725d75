#include "host/gis/ReferenceBoundaries.h"

#include "host/gis/Boundaries.h"
#include "host/gis/GeometryStore.h"

namespace zelk::host::gis {

int WriteReferenceBoundaries(DataService& db, const std::set<int>& counties,
                             const std::set<int>& states) {
    const ReferenceGeography& geo = UsBoundaries();
    int written = 0;
    GeometryWriter county(db, CountyTable(), "county_name", true);
    for (const Boundary& b : geo.counties)
        if (counties.count(b.id)) {
            county.Write(b.id, b.shape, b.name);
            ++written;
        }
    GeometryWriter state(db, StateTable(), "state_name", true);
    for (const Boundary& b : geo.states)
        if (states.count(b.id)) state.Write(b.id, b.shape, b.name);
    return written;
}

} // namespace zelk::host::gis
