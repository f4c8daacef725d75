#pragma once

#include <string>

namespace zelk::elementgrid {

// The elements of one managed area at all three levels (global, national, subnational), with
// their names, ranks, citing reference and attributes, ordered by display order.
std::string BuildElementQuery(long managedAreaId);

// "UPDATE element_managed_area ..." giving one record its display order.
std::string BuildDisplayOrderUpdate(long position, const std::string& userName, long recordId);

} // namespace zelk::elementgrid
