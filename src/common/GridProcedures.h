#pragma once

#include "common/bo/ChildCollection.h"
#include "common/bo/DomainList.h"
#include "platform/ui/VSFlexGrid.h"

#include <string>
#include <string_view>

namespace zelk::common {

// Combo list of a grid column that offers a domain's texts and stores their ids:
// "#id;text|#id;text". Empty for a missing or empty list.
std::string BuildComboList(const bo::DomainPtr& list, std::string_view idField,
                           std::string_view textField);

// Orders the domain list by one of its fields.
void SortDomainList(const bo::DomainPtr& list, std::string_view field);

// The data row whose cell in the keyed column equals value; negative when there is none (or
// when the grid has no such column).
long FindGridRow(const VSFlexGrid& grid, const std::string& value, std::string_view colKey);

// Writes each data row's position (1 for the first) into DisplayOrder of the child object
// whose keyField equals the row's RowData. Rows without row data are skipped.
void StoreRowOrder(const VSFlexGrid& grid, bo::IChildCollection& collection,
                   std::string_view keyField, const std::string& userName);

// Sets the property when its value differs from newValue and stamps RecLastModUser on a
// stored object. True when something changed.
bool SetPropertyIfChanged(bo::IChildObject& item, std::string_view property,
                          const std::string& newValue, const std::string& userName);

} // namespace zelk::common
